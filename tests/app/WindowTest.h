#pragma once

// The window tests' one fixture: the real main window, made in a folder of
// its own (Cyrillic, with a space, like a player's), with the Yes/No question
// and the shell's open answered and noted by the test, and the engine's
// numbers put back afterwards.

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/MainUnit.h"
#include "engine/EngineParams.h"
#include "platform/Question.h"
#include "platform/ShellOpen.h"
#include "rules/Hparty.h"
#include "ui_MainForm.h"

struct Question {
    QString caption;
    QString text;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = engineParams;
        previousFolder = QDir::currentPath();
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        SetQuestionAnswerer([this](QWidget*, const QString& caption, const QString& text) {
            questions.push_back({caption, text});
            return answer ? answer() : false;
        });
        SetShellOpener([this](const QUrl& url) {
            opened.push_back(url);
            return desktopOpens;
        });
    }

    void TearDown() override {
        form.reset();
        QDir::setCurrent(previousFolder);
        SetQuestionAnswerer({});
        SetShellOpener({});
        engineParams = saved;
    }

    // Makes and shows the window, which reads the folder's archives.
    void Open() {
        form = std::make_unique<TMainForm>();
        form->show();
    }

    Ui::MainForm& ui() { return form->Controls(); }
    HParty& party() { return form->Party(); }
    ImageControl* board() { return ui()._pPartyArea; }
    bool endShown() { return !ui()._pEndPanel->isHidden(); }
    std::string endText() { return ui()._pEndPanel->text().toStdString(); }

    EngineParams saved;
    QString previousFolder;
    QTemporaryDir folder{QDir::tempPath() + QStringLiteral("/Мои соперники XXXXXX")};
    std::unique_ptr<TMainForm> form;
    std::vector<Question> questions;
    std::function<bool()> answer;  // Yes when it says so; No without it
    std::vector<QUrl> opened;
    bool desktopOpens = true;  // whether the desktop has a program for the page
};
