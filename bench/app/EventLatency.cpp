// How long the window's event loop takes to answer a posted event while the
// computer ponders: a thread posts timestamped events at a steady pace, the
// loop notes when each one is handled. Run with and without search workers.
//
//   bench_event_latency [events per scenario]

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/PiecePictures.h"
#include "engine/EngineParams.h"
#include "platform/ImageControl.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"

namespace {

using Clock = std::chrono::steady_clock;

const QEvent::Type kProbe = QEvent::Type(QEvent::registerEventType());

struct ProbeEvent : QEvent {
    explicit ProbeEvent(Clock::time_point sent) : QEvent(kProbe), sent(sent) {}
    Clock::time_point sent;
};

class Receiver : public QObject {
public:
    std::vector<double> delaysUs;
    size_t wanted = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != kProbe) return QObject::event(event);
        const auto delay = Clock::now() - static_cast<ProbeEvent*>(event)->sent;
        delaysUs.push_back(std::chrono::duration<double, std::micro>(delay).count());
        if (delaysUs.size() == wanted) QCoreApplication::exit(0);
        return true;
    }
};

int Busy(const HParty& party) {
    int n = 0;
    for (const HAnalyzThread& worker : party.workers) n += worker.Stopped() ? 0 : 1;
    return n;
}

void Measure(const char* name, HParty& party, size_t events) {
    Receiver receiver;
    receiver.wanted = events;
    const int busyAtStart = Busy(party);
    std::thread poster([&] {
        for (size_t i = 0; i < events; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            QCoreApplication::postEvent(&receiver, new ProbeEvent(Clock::now()));
        }
    });
    QApplication::exec();
    poster.join();
    const int busyAtEnd = Busy(party);
    std::vector<double>& d = receiver.delaysUs;
    std::sort(d.begin(), d.end());
    auto at = [&](double q) { return d[std::min(d.size() - 1, size_t(q * double(d.size())))]; };
    std::printf(
        "%-34s workers searching %2d -> %2d   events %zu   median %7.1f us   p90 %7.1f us"
        "   p99 %7.1f us   max %8.1f us\n",
        name, busyAtStart, busyAtEnd, d.size(), at(0.5), at(0.9), at(0.99), d.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const size_t events = argc > 1 ? size_t(std::max(10, std::atoi(argv[1]))) : 400;

    QWidget window;
    ImageControl board(&window);
    board.SetCanvasSize(QSize(384, 384));
    const qreal ratio = board.CanvasRatio();
    const QPixmap bm = PaintPiece(Bottom, false, ratio), tm = PaintPiece(Top, false, ratio);
    const QPixmap bk = PaintPiece(Bottom, true, ratio), tk = PaintPiece(Top, true, ratio);
    const QPixmap cell = PaintEmptySquare(ratio);
    QLineEdit line;
    HParty party(&window, &board);
    party.bottomManPicture = &bm;
    party.topManPicture = &tm;
    party.bottomKingPicture = &bk;
    party.topKingPicture = &tk;
    party.cellPicture = &cell;
    party.movesList = &line;
    window.show();
    engineParams.searchDepth = 25;

    Measure("no game", party, events);

    party.NewGame(Bottom, 0);
    Measure("start position (7 ponderers)", party, events);

    std::string error;
    auto many =
        ParseFen("W:WKd6,Ka3,Ka1,Ka5,Kc1,Kh6,Ka7,Kh4,Kg1,Kh2,Ke1,Kf6:Bb8,d8,f8,h8,c7,e7", error);
    if (!many) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    party.Halt();
    party.board = many->board;
    party.sideToMove = Bottom;
    party.Redraw();
    party.NextTurn();
    const std::string label = "kings (" + std::to_string(party.ponderCount) + " ponderers)";
    Measure(label.c_str(), party, events);
    Measure("  the same, a while later", party, events);
    party.Halt();
    return 0;
}
