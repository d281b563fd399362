// What starting the window costs with a folder of opponent archives: the time
// to build the main window (which reads and checks every archive), the time
// until it is first painted, and the memory the process holds then; and what
// showing a photo costs, which is decoded as it is shown.
//
//   bench_startup FOLDER

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/MainUnit.h"
#include "photos/ImageStore.h"
#include "photos/Jpeg.h"

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
    std::printf("pictures kept         %zu (%.1f MiB of pixels and JPEG data)\n",
                ImageStore::Instance().Count(),
                double(ImageStore::Instance().PixelBytes()) / (1024.0 * 1024.0));
    std::printf("window built in       %.1f ms\n", built);
    std::printf("first painted after   %.1f ms\n", shown);
    std::printf("resident memory       %.1f MiB before, %.1f MiB after (peak %.1f MiB)\n",
                double(rss0) / 1024.0, double(rss1) / 1024.0, double(peak1) / 1024.0);

    // Every photo decoded as the photo panel decodes the one it shows.
    double total = 0, slowest = 0;
    int32_t photos = 0;
    for (int32_t g = 0; g < form.Girls().Count(); ++g) {
        for (int32_t k = 0; k < (*form.Girls()[g]).photos.Count(); ++k) {
            Image pixels;
            std::string reason;
            clock.restart();
            DecodeJpeg((*(*form.Girls()[g]).photos[k])->jpeg, pixels, reason);
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            total += ms;
            slowest = std::max(slowest, ms);
            ++photos;
        }
    }
    std::printf("a photo decoded in    %.2f ms on average, %.2f ms at most (%d photos)\n",
                photos > 0 ? total / photos : 0.0, slowest, photos);
    return 0;
}
