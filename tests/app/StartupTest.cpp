#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

// Runs the game binary with the environment given and returns what it wrote
// to its error stream; the exit code goes to code.
QString RunGame(const QProcessEnvironment& environment, int& code) {
    QProcess game;
    game.setProcessEnvironment(environment);
    game.start(PELVANTA_BINARY, {});
    if (!game.waitForFinished(30000)) {
        game.kill();
        game.waitForFinished();
        code = -1000;
        return {};
    }
    code = game.exitStatus() == QProcess::NormalExit ? game.exitCode() : -1;
    return QString::fromUtf8(game.readAllStandardError());
}

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    return environment;
}

TEST(Startup, WithoutADisplayTheGameSaysSoInOneLine) {
    int code = 0;
    const QString errors = RunGame(WithoutDisplay(), code);
    EXPECT_EQ(code, 1);  // not a crash, not success
    EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("display")) << errors.toStdString();
}

TEST(Startup, AnUnreachableDisplayEndsTheSameWay) {
    QProcessEnvironment environment = WithoutDisplay();
    environment.insert("DISPLAY", ":93");  // no X server answers there
    int code = 0;
    const QString errors = RunGame(environment, code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("display")) << errors.toStdString();
}

}  // namespace
