#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "GuiTestSupport.h"
#include "platform/ImageControl.h"
#include "platform/MainWindow.h"
#include "platform/Os.h"
#include "platform/Question.h"
#include "platform/ShellOpen.h"
#include "platform/Timer.h"
#include "tests/platform/TestProbe.h"

using gui_test::WaitFor;

namespace {

// Until every launcher started by ShellOpen has ended and been heard.
bool WaitForLaunchers() {
    return WaitFor([] { return qApp->findChildren<QProcess*>().isEmpty(); }, 30000);
}

// ---------------------------------------------------------------- timer

TEST(ToolkitTimer, TicksOnlyWhileEnabled) {
    int ticks = 0;
    Timer timer(5, [&] { ++ticks; });
    EXPECT_FALSE(timer.Enabled());
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);

    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    EXPECT_EQ(timer.Ticks(), ticks);

    timer.SetEnabled(false);
    const int stoppedAt = ticks;
    QTest::qWait(40);
    EXPECT_EQ(ticks, stoppedAt);
}

TEST(ToolkitTimer, EveryStartIsToldWithTheIntervalItRunsAt) {
    TestProbe::Get().TakeTimerStarts();
    Timer timer(60000, [] {});
    timer.SetEnabled(true);
    timer.SetEnabled(true);  // already running: not a new start
    timer.SetInterval(70000);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    timer.SetEnabled(false);
    EXPECT_EQ(TestProbe::Get().TakeTimerStarts(),
              (std::vector<std::pair<const void*, int>>{{&timer, 60000}, {&timer, 70000}}));
}

TEST(ToolkitTimer, IntervalChangesWhileDisabled) {
    Timer timer(300, [] {});
    timer.SetInterval(1000);
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_FALSE(timer.Enabled());
}

TEST(ToolkitTimer, HandlerMayStopItsOwnTimer) {
    int ticks = 0;
    Timer* self = nullptr;
    Timer timer(1, [&] {
        ++ticks;
        self->SetEnabled(false);
    });
    self = &timer;
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return ticks == 1; }));
    QTest::qWait(20);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
}

// ---------------------------------------------------------------- image control

QPixmap Square(QColor colour, int side) {
    QPixmap picture(side, side);
    picture.fill(colour);
    return picture;
}

TEST(ToolkitImage, DrawsUnscaledAtPixelPositions) {
    ImageControl image;
    image.SetCanvasSize(QSize(100, 60));
    EXPECT_EQ(image.size(), QSize(100, 60));
    ASSERT_EQ(image.CanvasRatio(), 1.0);  // the offscreen screen

    image.DrawPicture(QPoint(10, 20), Square(Qt::red, 8));
    image.FillRect(QRect(50, 0, 5, 5), Qt::blue);
    const QImage& canvas = image.Canvas();
    EXPECT_EQ(canvas.pixelColor(10, 20), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(17, 27), QColor(Qt::red));
    EXPECT_NE(canvas.pixelColor(18, 27), QColor(Qt::red));
    EXPECT_NE(canvas.pixelColor(9, 20), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(54, 4), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(99, 59), image.palette().color(QPalette::Window));
}

TEST(ToolkitImage, ShowsItsCanvasWhenPainted) {
    ImageControl image;
    image.SetCanvasSize(QSize(40, 40));
    image.FillRect(QRect(0, 0, 40, 40), QColor(10, 200, 30));
    image.DrawPicture(QPoint(20, 20), Square(QColor(250, 0, 250), 20));
    const QImage grabbed = image.grab().toImage();
    EXPECT_EQ(grabbed.pixelColor(5, 5), QColor(10, 200, 30));
    EXPECT_EQ(grabbed.pixelColor(30, 30), QColor(250, 0, 250));
}

TEST(ToolkitImage, CrispAtAHighPixelRatio) {
    // A picture painted at ratio 2 keeps its 2 x 2 device pixels per logical
    // pixel when drawn on a ratio 2 canvas.
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(2.0);
    canvas.fill(Qt::white);
    QPixmap picture(4, 4);
    picture.setDevicePixelRatio(2.0);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        painter.fillRect(QRectF(0, 0, 0.5, 0.5), Qt::red);  // one device pixel
    }
    QPainter painter(&canvas);
    painter.drawPixmap(QPoint(1, 1), picture);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(3, 2), QColor(Qt::black));
}

TEST(ToolkitImage, MouseDownGivesButtonAndPosition) {
    ImageControl image;
    image.SetCanvasSize(QSize(100, 100));
    image.show();
    std::vector<std::tuple<Qt::MouseButton, int, int>> presses;
    image.onMouseDown = [&](Qt::MouseButton b, int x, int y) { presses.emplace_back(b, x, y); };
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(7, 93));
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(50, 2));
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0], std::make_tuple(Qt::LeftButton, 7, 93));
    EXPECT_EQ(presses[1], std::make_tuple(Qt::RightButton, 50, 2));
}

TEST(ToolkitImage, DisabledTakesNoMouseInput) {
    ImageControl image;
    image.SetCanvasSize(QSize(50, 50));
    image.show();
    int presses = 0, clicks = 0;
    image.onMouseDown = [&](Qt::MouseButton, int, int) { ++presses; };
    image.onClick = [&] { ++clicks; };
    image.setEnabled(false);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(clicks, 0);
    image.setEnabled(true);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(ToolkitImage, ClickNeedsPressAndReleaseOverTheControl) {
    ImageControl image;
    image.SetCanvasSize(QSize(50, 50));
    image.show();
    int clicks = 0;
    image.onClick = [&] { ++clicks; };
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(80, 10));  // let go outside
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(49, 49));
    EXPECT_EQ(clicks, 1);
}

TEST(ToolkitImage, CursorIsSetAndReadBack) {
    ImageControl image;
    EXPECT_EQ(image.CursorKindShown(), CursorKind::Default);
    image.SetCursorKind(CursorKind::HourGlass);
    EXPECT_EQ(image.CursorKindShown(), CursorKind::HourGlass);
    EXPECT_EQ(image.cursor().shape(), Qt::WaitCursor);
    image.SetCursorKind(CursorKind::Hand);
    EXPECT_EQ(image.CursorKindShown(), CursorKind::Hand);
    EXPECT_EQ(image.cursor().shape(), Qt::PointingHandCursor);
}

TEST(ToolkitCursor, ScreenCursorComesBackToDefault) {
    SetScreenCursor(CursorKind::HourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetScreenCursor(CursorKind::Hand);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    SetScreenCursor(CursorKind::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// ---------------------------------------------------------------- posted messages

class MessageWindow : public QWidget {
public:
    std::vector<uint32_t> received;
    std::vector<bool> onOwnThread;

protected:
    bool event(QEvent* event) override {
        if (IsAppMessage(event->type())) {
            received.push_back(uint32_t(event->type()));
            onOwnThread.push_back(QThread::currentThread() == thread());
            return true;
        }
        return QWidget::event(event);
    }
};

TEST(ToolkitMessages, PostedFromOtherThreadsArriveOnTheWindowThread) {
    MessageWindow window;
    ASSERT_TRUE(AttachMainWindowMessages(&window));
    std::vector<std::thread> posters;
    for (uint32_t message : {kMsgWorkerReady, kMsgBottomCannotMove, kMsgTopCannotMove})
        posters.emplace_back([message] {
            for (int i = 0; i < 100; ++i) PostToMainWindow(message);
        });
    for (std::thread& t : posters) t.join();
    EXPECT_TRUE(window.received.empty());  // nothing runs until the loop does
    ASSERT_TRUE(WaitFor([&] { return window.received.size() == 300; }));
    DetachMainWindowMessages();
    for (uint32_t message : {kMsgWorkerReady, kMsgBottomCannotMove, kMsgTopCannotMove})
        EXPECT_EQ(std::count(window.received.begin(), window.received.end(), message), 100);
    EXPECT_TRUE(std::all_of(window.onOwnThread.begin(), window.onOwnThread.end(),
                            [](bool b) { return b; }));
}

TEST(ToolkitMessages, OneThreadsMessagesKeepTheirOrder) {
    MessageWindow window;
    ASSERT_TRUE(AttachMainWindowMessages(&window));
    std::thread([] {
        PostToMainWindow(kMsgTopCannotMove);
        PostToMainWindow(kMsgWorkerReady);
        PostToMainWindow(kMsgBottomCannotMove);
    }).join();
    gui_test::DeliverPosted();
    DetachMainWindowMessages();
    EXPECT_EQ(window.received,
              (std::vector<uint32_t>{kMsgTopCannotMove, kMsgWorkerReady, kMsgBottomCannotMove}));
}

TEST(ToolkitMessages, NothingArrivesAfterDetaching) {
    MessageWindow window;
    ASSERT_TRUE(AttachMainWindowMessages(&window));
    DetachMainWindowMessages();
    PostToMainWindow(kMsgWorkerReady);
    gui_test::DeliverPosted();
    EXPECT_TRUE(window.received.empty());
}

TEST(ToolkitMessages, OtherEventTypesAreNotMessages) {
    EXPECT_TRUE(IsAppMessage(QEvent::Type(1025)));
    EXPECT_TRUE(IsAppMessage(QEvent::Type(1027)));
    EXPECT_FALSE(IsAppMessage(QEvent::Type(1024)));
    EXPECT_FALSE(IsAppMessage(QEvent::Type(1028)));
    EXPECT_FALSE(IsAppMessage(QEvent::MouseButtonPress));
}

// ---------------------------------------------------------------- question, shell, width

TEST(ToolkitQuestion, AnswererSeesCaptionAndText) {
    QString caption, text;
    SetQuestionAnswerer([&](QWidget*, const QString& c, const QString& t) {
        caption = c;
        text = t;
        return true;
    });
    EXPECT_TRUE(AskYesNo(nullptr, "Выход", "Прекратить текущую партию?"));
    SetQuestionAnswerer({});
    EXPECT_EQ(caption, QString("Выход"));
    EXPECT_EQ(text, QString("Прекратить текущую партию?"));
}

TEST(ToolkitQuestion, RealBoxDefaultsToNoAndKeepsTimersRunning) {
    int ticks = 0;
    Timer timer(10, [&] { ++ticks; });
    timer.SetEnabled(true);
    QString defaultText, noText;
    int ticksWhileOpen = -1;
    int ticksAtOpen = 0;
    QElapsedTimer open;
    // Watch for the box; once it is up, let a few ticks pass under it, then
    // press Enter. The box lives on the asking function's stack: read it only
    // while it is open.
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (!open.isValid()) {
            open.start();
            ticksAtOpen = ticks;
            if (box->defaultButton() != nullptr) defaultText = box->defaultButton()->text();
            if (box->button(QMessageBox::No) != nullptr)
                noText = box->button(QMessageBox::No)->text();
            return;
        }
        if (ticks - ticksAtOpen < 3 && open.elapsed() < gui_test::kPatienceMs) return;
        ticksWhileOpen = ticks - ticksAtOpen;
        watcher.stop();
        QTest::keyClick(box, Qt::Key_Return);
    });
    watcher.start();
    const bool yes = AskYesNo(nullptr, "Новая", "Прекратить текущую партию?");
    EXPECT_FALSE(yes);  // Enter chose the default
    EXPECT_FALSE(noText.isEmpty());
    EXPECT_EQ(defaultText, noText);
    EXPECT_GE(ticksWhileOpen, 3);
}

TEST(ToolkitShell, OpenerReceivesTheUrlAndItsAnswerDecidesTheFallback) {
    QUrl opened;
    bool answer = true;
    int failures = 0;
    SetShellOpener([&](const QUrl& url) {
        opened = url;
        return answer;
    });
    ShellOpen(QUrl("mailto:someone@example.org"), [&] { ++failures; });
    EXPECT_EQ(opened, QUrl("mailto:someone@example.org"));
    EXPECT_EQ(failures, 0);
    answer = false;
    ShellOpen(QUrl("mailto:someone@example.org"), [&] { ++failures; });
    ShellOpen(QUrl("mailto:someone@example.org"));  // nobody to tell: nothing happens
    SetShellOpener({});
    EXPECT_EQ(failures, 1);
}

// The desktop's launcher says it failed only by its exit code: a launcher
// standing in for it on PATH exits with each code in turn.
TEST(ToolkitShell, LauncherExitCodeTellsWhetherThePageOpened) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    const QString seen = QDir(bin.path()).absoluteFilePath("seen");
    const QUrl page = QUrl::fromLocalFile("/nowhere/Правила страница.htm");
    for (const int code : {0, 3, 4}) {
        QFile launcher(QDir(bin.path()).absoluteFilePath("xdg-open"));
        ASSERT_TRUE(launcher.open(QIODevice::WriteOnly | QIODevice::Truncate));
        launcher.write(QString("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit %2\n")
                           .arg(seen)
                           .arg(code)
                           .toUtf8());
        launcher.close();
        launcher.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(seen);
        int failures = 0;
        ShellOpen(page, [&] { ++failures; });
        // The launcher's end is awaited without blocking: its process object
        // goes once it has been heard.
        EXPECT_TRUE(WaitForLaunchers()) << code;
        EXPECT_EQ(failures, code == 0 ? 0 : 1) << code;
        QFile written(seen);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << code;
        EXPECT_EQ(QUrl::fromEncoded(written.readAll()), page) << code;
    }
    qputenv("PATH", savedPath);
}

TEST(ToolkitWindow, OuterWidthIsTheClientPlusBorders) {
    QWidget window;
    window.setFixedSize(710, 441);
    EXPECT_EQ(OuterWidth(&window), 716);
    SetOuterWidth(&window, 418);
    EXPECT_EQ(window.width(), 412);
    EXPECT_EQ(window.height(), 441);
    EXPECT_EQ(OuterWidth(&window), 418);
}

}  // namespace
