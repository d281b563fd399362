// Random events on the real window, from a seed: clicks on the board and the
// thumbnails, menu commands and their shortcuts, photo keys, timer ticks and
// worker notices at any moment. After each event the board, its picture and
// the game's state must agree, and no search may run once a game is over.
//
// PELVANTA_SOAK_EVENTS sets the number of events (bounded by default),
// PELVANTA_SOAK_SEED the seed; a failure names both and the event.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/AboutUnit.h"
#include "app/MainUnit.h"
#include "app/RulesUnit.h"
#include "engine/EngineParams.h"
#include "photos/Archive.h"
#include "photos/Jpeg.h"
#include "platform/Os.h"
#include "platform/Question.h"
#include "platform/ShellOpen.h"
#include "rules/Hparty.h"
#include "ui_AboutForm.h"
#include "ui_MainForm.h"

namespace {

int EnvNumber(const char* name, int fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= 0 ? number : fallback;
}

// Opponents of low depths (0 is the greedy one), so the computer answers
// quickly even under the sanitizers.
void WriteGallery() {
    const int depths[] = {0, 1, 2, 3, 2, 1};
    for (int i = 0; i < 6; ++i) {
        std::vector<std::vector<uint8_t>> photos;
        for (int k = 0; k < 2 + i % 3; ++k)
            photos.push_back(EncodeJpeg(
                gui_test::SolidImage(291, 433, uint8_t(50 * k), 90, uint8_t(30 * i)), 80));
        const std::vector<uint8_t> thumb =
            EncodeJpeg(gui_test::SolidImage(137, 137, uint8_t(40 * i), 80, 60), 80);
        const std::vector<uint8_t> file =
            WriteArchive(kScrambledKind, EngineParams{depths[i], 5, 7, 1, 3}, thumb, photos);
        QFile out(QString("%1.p_g").arg(3000 + i));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    }
}

class Soak {
public:
    explicit Soak(uint32_t seed) : rng(seed) {}

    void Open() {
        form = std::make_unique<TMainForm>();
        form->show();
        SeedRandom(uint32_t(rng()));  // the computer's tie-breaks follow the seed too
        LearnPictures();
        Activate();
    }

    void Close() { form.reset(); }

    // One event chosen at random; its name is kept for the failure message.
    void Event() {
        const uint32_t roll = rng() % 100;
        if (roll < 40) return BoardClick();
        if (roll < 50)
            return Fire("animation tick", party().animTimer, [&] { party().AnimateStep(); });
        if (roll < 52) return Fire("blink tick", party().blinkTimer, [&] { party().BlinkTick(); });
        if (roll < 54)
            return Fire("thinking tick", party().thinkTimer, [&] { party().TakeResult(); });
        if (roll < 62) {
            name = "posted messages";
            return gui_test::DeliverPosted();
        }
        if (roll < 71) {
            name = "event loop";
            return QTest::qWait(int(1 + rng() % 20));
        }
        if (roll < 75) return ThumbnailClick();
        if (roll < 78) {
            name = "photo click";
            if (!ui().PhotoPanel->isVisible()) return;
            const bool wasInGame = form->InGame();
            QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
            if (!wasInGame && form->InGame()) ++gamesAgainstTheComputer;
            return;
        }
        if (roll < 89) return Menu();
        if (roll < 99) return Key();
        name = "close the rules";
        if (form->RulesViewer() != nullptr) form->RulesViewer()->close();
    }

    // Everything that must hold between events.
    void Check() {
        HParty& p = party();
        const HDoska& board = p.board;
        ASSERT_TRUE(board.KingCountersHold());
        int pieces[4] = {0, 0, 0, 0};
        for (const Point square : kSquareOrder) {
            const HFigura& cell = board.At(square);
            if (cell.owner != Bottom && cell.owner != Top) continue;
            ++pieces[cell.owner];
            if (cell.king == 0) {
                ASSERT_NE(square.y, CrowningRow(cell.owner)) << "a man on its crowning row";
            }
        }
        ASSERT_LE(pieces[Bottom], 12);
        ASSERT_LE(pieces[Top], 12);

        if (p.duel != 0) {
            ASSERT_EQ(p.LiveSearches(), 0) << "a search in a duel";
        }
        if (!form->InGame()) {
            ASSERT_EQ(p.LiveSearches(), 0) << "a search after the game";
            ASSERT_FALSE(p.animTimer.Enabled());
            ASSERT_FALSE(p.blinkTimer.Enabled());
            ASSERT_FALSE(p.thinkTimer.Enabled());
            ASSERT_FALSE(ui()._pPartyArea->isEnabled());
        } else {
            ASSERT_TRUE(ui()._pPartyArea->isEnabled());
        }
        if (ui().IntroBox->isVisible() && !ui().IntroBox->visibleRegion().isEmpty()) {
            ASSERT_FALSE(form->InGame());
            ASSERT_EQ(pieces[Bottom] + pieces[Top], 0) << "the chooser beside a board in play";
        }
        if (form->InGame() && !p.animTimer.Enabled()) {
            // The listed moves are those of the side to move on this board.
            HListMoves fresh;
            HDoska copy = board;
            const int32_t n = fresh.Generate(p.sideToMove, copy);
            ASSERT_EQ(p.moves.Count(), n);
            for (int32_t i = 0; i < n; ++i)
                ASSERT_EQ(p.moves.Move(i).PathText(), fresh.Move(i).PathText());
        }
        CheckPicture();
    }

    void CountMoment() {
        HParty& p = party();
        if (p.animTimer.Enabled()) ++duringAnimation;
        if (form->InGame() && p.duel == 0 && p.sideToMove == Top && !p.animTimer.Enabled())
            ++whileThinking;
        if (!ui()._pEndPanel->isHidden() && ui()._pEndPanel->text() == QString("Ни за что!"))
            ++duringPause;
    }

    Ui::MainForm& ui() { return form->Controls(); }
    HParty& party() { return form->Party(); }

    std::mt19937 rng;
    std::unique_ptr<TMainForm> form;
    std::string name;
    int gamesAgainstTheComputer = 0, duels = 0, ends = 0, restarts = 0;
    int duringAnimation = 0, whileThinking = 0, duringPause = 0;

private:
    template <class Tick>
    void Fire(const char* what, const Timer& timer, Tick tick) {
        name = what;
        if (timer.Enabled()) tick();
    }

    // Mostly a click that plays on (the next square of a legal move), at
    // times anywhere on the board, with either button.
    void BoardClick() {
        HParty& p = party();
        ImageControl* image = ui()._pPartyArea;
        if (rng() % 20 < 17 && p.moves.Count() > 0) {
            name = "board click on a move";
            Point square = p.moves.Move(int32_t(rng() % uint32_t(p.moves.Count()))).From().pos;
            if (p.blinkTimer.Enabled() && p.currentMove != nullptr && rng() % 10 != 0 &&
                p.stepIndex < p.currentMove->stepCount)
                square = p.currentMove->steps[p.stepIndex].pos;
            gui_test::ClickSquare(image, square);
            return;
        }
        name = "board click anywhere";
        const QPoint at(int(rng() % 384), int(rng() % 384));
        QTest::mouseClick(image, rng() % 8 == 0 ? Qt::RightButton : Qt::LeftButton, {}, at);
    }

    void ThumbnailClick() {
        name = "thumbnail click";
        const int count = form->GirlIcons().Count();
        if (!ui().IntroBox->isVisible() || count == 0) return;
        ImageControl* icon = *form->GirlIcons()[int32_t(rng() % uint32_t(count))];
        ui().IntroBox->ensureWidgetVisible(icon);
        QTest::mouseClick(icon, Qt::LeftButton, {}, QPoint(60, 60));
        if (form->InGame()) ++gamesAgainstTheComputer;
    }

    void Menu() {
        QAction* items[] = {ui().NGirls, ui().NDuel,       ui().NCheat,     ui().NDraw,
                            ui().NRules, ui().NOffOnPhoto, ui().NNextPhoto, ui().NPreviousPhoto,
                            ui().NExit,  ui().NAbout};
        const uint32_t pick = rng() % 10;
        QAction* item = items[pick];
        name = "menu " + item->text().toStdString();
        if (!item->isEnabled() || !item->isVisible()) return;
        // Leaving a game is rarer than playing on, so that games reach their end.
        const bool leaves = item == ui().NGirls || item == ui().NDuel || item == ui().NExit;
        if (leaves && form->InGame() && rng() % 10 != 0) return;
        if (item == ui().NAbout && rng() % 4 != 0) return;
        if (item == ui().NAbout) {
            // The box is modal: close it from inside its own loop.
            QTimer::singleShot(0, [] {
                if (auto* about = qobject_cast<TAboutForm*>(QApplication::activeModalWidget()))
                    about->Controls().Button1->click();
            });
        }
        item->trigger();
        Counted(item);
        if (item == ui().NExit && !form->isVisible()) {
            // The window closed: the program ends and is started again.
            ++restarts;
            Close();
            Open();
        }
    }

    void Counted(QAction* item) {
        if (item == ui().NDuel && form->InGame() && party().duel != 0) ++duels;
    }

    void Key() {
        static const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            const char* what;
        } keys[] = {{Qt::Key_D, Qt::ControlModifier, "Ctrl+D"},
                    {Qt::Key_Space, Qt::NoModifier, "Space"},
                    {Qt::Key_PageUp, Qt::NoModifier, "Page Up"},
                    {Qt::Key_PageDown, Qt::NoModifier, "Page Down"},
                    {Qt::Key_F1, Qt::NoModifier, "F1"}};
        const auto& k = keys[rng() % 5];
        name = std::string("key ") + k.what;
        if (!Activate()) return;
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), Qt::Key(k.key), k.modifiers);
    }

    bool Activate() {
        if (QApplication::activeWindow() == form.get()) return true;
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get(), 1000);
    }

    // The pictures in the board's own pixel format, to compare squares with.
    void LearnPictures() {
        const QImage::Format format = ui()._pPartyArea->Canvas().format();
        const QPixmap* sources[5] = {party().cellPicture, party().bottomManPicture,
                                     party().bottomKingPicture, party().topManPicture,
                                     party().topKingPicture};
        for (int i = 0; i < 5; ++i) pictures[i] = sources[i]->toImage().convertToFormat(format);
    }

    static int PictureOf(const HFigura& cell) {
        if (cell.owner == Bottom) return cell.king ? 2 : 1;
        if (cell.owner == Top) return cell.king ? 4 : 3;
        return 0;
    }

    bool ShowsPicture(Point square, const QImage& picture) const {
        const QImage& canvas = form->Controls()._pPartyArea->Canvas();
        const int side = picture.height();
        const QPoint at = HParty::SquareTopLeft(square) * canvas.devicePixelRatio();
        const int bytes = picture.bytesPerLine();
        const int offset = at.x() * canvas.depth() / 8;
        for (int row = 0; row < side; ++row)
            if (std::memcmp(canvas.constScanLine(at.y() + row) + offset, picture.constScanLine(row),
                            size_t(bytes)) != 0)
                return false;
        return true;
    }

    // Outside an animation every square shows what the board holds, except
    // the squares of a piece being entered, which blinks.
    void CheckPicture() {
        HParty& p = party();
        if (p.animTimer.Enabled()) return;
        for (const Point square : kSquareOrder) {
            if (p.blinkTimer.Enabled() && p.currentMove != nullptr) {
                bool entered = false;
                for (int32_t i = 0; i < p.stepIndex && i < p.currentMove->stepCount; ++i)
                    entered = entered || p.currentMove->steps[i].pos == square;
                if (entered) continue;
            }
            ASSERT_TRUE(ShowsPicture(square, pictures[PictureOf(p.board.At(square))]))
                << "square " << square.Text() << " does not show what the board holds";
        }
    }

    QImage pictures[5];
};

TEST(Soak, RandomEventsOnTheRealWindow) {
    const int events = EnvNumber("PELVANTA_SOAK_EVENTS", 20000);
    const uint32_t seed = uint32_t(EnvNumber("PELVANTA_SOAK_SEED", 1));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    WriteGallery();
    const EngineParams saved = engineParams;

    Soak soak(seed);
    // The questions are answered at random; at times the event loop runs
    // under them, as under the real box.
    int questions = 0;
    SetQuestionAnswerer([&](QWidget*, const QString&, const QString&) {
        ++questions;
        if (soak.rng() % 4 == 0) QTest::qWait(int(soak.rng() % 5));
        return soak.rng() % 2 == 0;
    });
    // Now and then the desktop has no program for the rules page.
    SetShellOpener([&](const QUrl&) { return soak.rng() % 5 != 0; });
    soak.Open();

    int done = 0;
    for (int i = 0; i < events && !::testing::Test::HasFatalFailure(); ++i, ++done) {
        const bool wasInGame = soak.form->InGame();
        soak.Event();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", event " + std::to_string(i) + ": " +
                     soak.name);
        soak.Check();
        soak.CountMoment();
        // A game over with its result shown (not abandoned for a new one).
        if (wasInGame && !soak.form->InGame() && !soak.ui()._pEndPanel->isHidden()) ++soak.ends;
    }
    std::printf(
        "soak: seed %u, %d events, %d questions, %d computer games, %d duels, "
        "%d ended, %d restarts; events during animation %d, while thinking %d, during a refusal "
        "pause %d\n",
        seed, events, questions, soak.gamesAgainstTheComputer, soak.duels, soak.ends, soak.restarts,
        soak.duringAnimation, soak.whileThinking, soak.duringPause);
    soak.Close();
    SetQuestionAnswerer({});
    SetShellOpener({});
    engineParams = saved;
    QDir::setCurrent(before);
    if (events >= 2000) {
        // The walk met the moments that matter.
        EXPECT_GT(soak.gamesAgainstTheComputer, 0);
        EXPECT_GT(soak.duels, 0);
        EXPECT_GT(soak.ends, 0);
        EXPECT_GT(soak.duringAnimation, 0);
        EXPECT_GT(soak.whileThinking, 0);
        EXPECT_GT(soak.duringPause, 0);
        EXPECT_GT(questions, 0);
    }
}

}  // namespace
