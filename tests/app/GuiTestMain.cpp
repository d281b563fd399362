#include <gtest/gtest.h>

#include <QApplication>

#include "app/Application.h"

// The window tests drive real widgets without a screen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication();  // as the program does: names, icon, Russian buttons
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
