#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "platform/Question.h"

namespace {

// The desktop appends the display name to every caption when one is set
// ("Выход — Pelvanta"); with none set, applicationDisplayName() follows the
// application's name, and captions stay as the windows give them.
TEST(Application, NoDisplayNameIsAddedToCaptions) {
    EXPECT_TRUE(SetUpApplication());
    EXPECT_EQ(QCoreApplication::applicationName(), QString("Pelvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString followed = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(QStringLiteral("Pelvanta"));
    EXPECT_EQ(followed, QString("probe"));
}

// The real box, as the player sees it: Russian buttons, No the default,
// Escape answers No. The box lives on the asking function's stack: it is
// read only while open.
TEST(Application, QuestionButtonsAreRussianAndEscapeAnswersNo) {
    SetQuestionAnswerer({});
    QString yes, no, byDefault, caption;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        watcher.stop();
        caption = box->windowTitle();
        if (box->button(QMessageBox::Yes) != nullptr) yes = box->button(QMessageBox::Yes)->text();
        if (box->button(QMessageBox::No) != nullptr) no = box->button(QMessageBox::No)->text();
        if (box->defaultButton() != nullptr) byDefault = box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    watcher.start();
    EXPECT_FALSE(AskYesNo(nullptr, "Выход", "Прекратить текущую партию?"));
    EXPECT_EQ(caption, QString("Выход"));
    EXPECT_EQ(QString(yes).remove('&'), QString("Да"));
    EXPECT_EQ(QString(no).remove('&'), QString("Нет"));
    EXPECT_EQ(byDefault, no);
}

}  // namespace
