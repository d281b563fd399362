// What starting the window costs with a folder of opponent archives: the time
// to build the main window (which reads and decodes every archive), the time
// until it is first painted, and the memory the process holds then.
//
//   bench_startup FOLDER

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "app/MainUnit.h"
#include "photos/ImageStore.h"

namespace {

// VmRSS and VmHWM of this process, in KiB.
void Memory(long& rss, long& peak) {
    rss = peak = -1;
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) rss = line.mid(6).trimmed().split(' ')[0].toLong();
        if (line.startsWith("VmHWM:")) peak = line.mid(6).trimmed().split(' ')[0].toLong();
    }
}

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: bench_startup FOLDER\n");
        return 2;
    }
    long rss0, peak0;
    Memory(rss0, peak0);

    QElapsedTimer clock;
    clock.start();
    TMainForm form;
    const double built = double(clock.nsecsElapsed()) / 1e6;
    PaintWatch watch;
    form.installEventFilter(&watch);
    form.show();
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double shown = double(clock.nsecsElapsed()) / 1e6;

    long rss1, peak1;
    Memory(rss1, peak1);
    std::printf("opponents loaded      %d\n", form.Girls().Count());
    std::printf("pictures kept         %zu (%.1f MiB of pixels)\n", ImageStore::Instance().Count(),
                double(ImageStore::Instance().PixelBytes()) / (1024.0 * 1024.0));
    std::printf("window built in       %.1f ms\n", built);
    std::printf("first painted after   %.1f ms\n", shown);
    std::printf("resident memory       %.1f MiB before, %.1f MiB after (peak %.1f MiB)\n",
                double(rss0) / 1024.0, double(rss1) / 1024.0, double(peak1) / 1024.0);
    return 0;
}
