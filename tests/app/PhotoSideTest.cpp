#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "WindowTest.h"
#include "app/MainUnit.h"
#include "engine/EngineParams.h"
#include "engine/Hanalyzthread.h"
#include "photos/Archive.h"
#include "photos/Jpeg.h"
#include "platform/MainWindow.h"
#include "platform/Question.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"
#include "ui_MainForm.h"

using gui_test::ClickSquare;
using gui_test::DeliverPosted;
using gui_test::WaitFor;

namespace {

// Writes archive `number`.p_g into the current folder: a thumbnail of the
// given shade and `photos` photos, each its own colour.
void WriteOpponent(int number, int photos, const EngineParams& params, uint8_t shade) {
    std::vector<std::vector<uint8_t>> jpegs;
    for (int k = 0; k < photos; ++k)
        jpegs.push_back(EncodeJpeg(
            gui_test::SolidImage(291, 433, uint8_t(40 * k), 120, uint8_t(250 - 40 * k)), 95));
    const std::vector<uint8_t> thumb =
        EncodeJpeg(gui_test::SolidImage(137, 137, shade, shade, 60), 95);
    const std::vector<uint8_t> file = WriteArchive(kScrambledKind, params, thumb, jpegs);
    QFile out(QString("%1.p_g").arg(number));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
}

QImage Pixels(const Image& picture) {
    return QImage(picture.rgb.data(), picture.width, picture.height, 3 * picture.width,
                  QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

QImage Shown(const ImageControl* image) {
    QImage shown = image->Canvas().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1.0);
    return shown;
}

class PhotoSideTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        answer = [] { return true; };
    }

    const HData& girl() { return *form->Girls()[form->CurrentGirl()]; }

    void ChooseOpponent(int index) {
        QTest::mouseClick(*form->GirlIcons()[index], Qt::LeftButton, {}, QPoint(60, 60));
    }

    bool ShowsPhoto(int k) {
        Image pixels;
        std::string reason;
        return DecodeJpeg((*girl().photos[k])->jpeg, pixels, reason) &&
               Shown(ui().GirlImage) == Pixels(pixels);
    }

    // Ends the game through the window's messages as the game does when the
    // side to move has no legal move.
    void EndGame(const char* fen) {
        gui_test::SetPosition(party(), fen);
        DeliverPosted();
        ASSERT_TRUE(endShown());
    }
    void Win() { EndGame("B:Wc3:B"); }
    void Lose() { EndGame("W:W:Bc5"); }
};

// ---------------------------------------------------------------- chooser

TEST_F(PhotoSideTest, MissingAndBrokenFilesLeaveNoGapInTheGrid) {
    WriteOpponent(3000, 3, {3, 1, 2, 1, 3}, 200);
    WriteOpponent(3002, 3, {4, 1, 2, 1, 3}, 150);
    WriteOpponent(3003, 3, {5, 1, 2, 1, 3}, 100);
    QFile broken("3004.p_g");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not an archive at all");
    broken.close();
    QDir().mkdir("3005.p_g");  // a folder named like an archive
    Open();

    ASSERT_EQ(form->Girls().Count(), 3);
    ASSERT_EQ(form->GirlIcons().Count(), 3);
    const QPoint places[] = {{5, 5}, {147, 5}, {5, 147}};
    const int depths[] = {3, 4, 5};
    for (int i = 0; i < 3; ++i) {
        ImageControl* icon = *form->GirlIcons()[i];
        EXPECT_EQ(icon->geometry(), QRect(places[i], QSize(137, 137)));
        EXPECT_EQ(icon->parentWidget(), ui().IntroBoxContents);
        EXPECT_EQ(Shown(icon), Pixels(*form->Girls()[i]->icon));
        EXPECT_EQ(icon->CursorKindShown(), CursorKind::Hand);
        EXPECT_EQ(form->Girls()[i]->searchDepth, depths[i]);  // file order
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the hourglass is gone again
}

TEST_F(PhotoSideTest, WithoutArchivesOnlyADuelCanBePlayed) {
    Open();
    EXPECT_EQ(form->Girls().Count(), 0);
    EXPECT_TRUE(ui().IntroBoxContents->findChildren<ImageControl*>().isEmpty());
    ui().NDuel->trigger();
    EXPECT_TRUE(form->InGame());
}

TEST_F(PhotoSideTest, ManyOpponentsScrollInTwoColumns) {
    for (int i = 0; i < 9; ++i) WriteOpponent(3000 + i, 2, {2, 1, 1, 1, 2}, uint8_t(20 * i));
    Open();
    ASSERT_EQ(form->GirlIcons().Count(), 9);
    EXPECT_EQ((*form->GirlIcons()[8])->pos(), QPoint(5, 5 + 142 * 4));
    EXPECT_GE(ui().IntroBoxContents->height(), 5 + 142 * 4 + 137);
    EXPECT_TRUE(WaitFor([&] { return ui().IntroBox->verticalScrollBar()->isVisible(); }, 2000));
    // Both columns stay whole beside the scroll bar.
    EXPECT_LE(147 + 137, ui().IntroBox->viewport()->width());
}

TEST_F(PhotoSideTest, ChoosingAnOpponentHandsHerNumbersToTheEngine) {
    WriteOpponent(3000, 3, {1, 0, 0, 0, 0}, 200);
    WriteOpponent(3001, 3, {3, 4, 6, 1, 2}, 100);
    Open();
    party().SetThinkTime(77);
    ChooseOpponent(1);
    EXPECT_EQ(form->CurrentGirl(), 1);
    EXPECT_EQ(engineParams, (EngineParams{3, 4, 6, 1, 2}));
    EXPECT_EQ(party().thinkTimer.Interval(), 1000);
    EXPECT_TRUE(ui().IntroBox->isHidden());
    EXPECT_FALSE(ui().PhotoPanel->isHidden());
    EXPECT_TRUE(ShowsPhoto(0));
    EXPECT_TRUE(form->InGame());
    EXPECT_FALSE(ui().GirlImage->isEnabled());
    EXPECT_TRUE(ui().NCheat->isVisible());
    EXPECT_EQ(party().ponderCount, 7);
}

// An opponent of depth 0 plays greedily; she has her place in the gallery and
// answers the player's move.
TEST_F(PhotoSideTest, GreedyOpponentIsInTheGalleryAndPlays) {
    WriteOpponent(3000, 2, {0, 5, 7, 1, 3}, 200);
    WriteOpponent(3001, 2, {-2, 5, 7, 1, 3}, 100);
    Open();
    ASSERT_EQ(form->GirlIcons().Count(), 2);
    ChooseOpponent(1);
    EXPECT_EQ(engineParams.searchDepth, -2);
    ui().NGirls->trigger();  // back to the chooser
    ChooseOpponent(0);
    ASSERT_EQ(engineParams.searchDepth, 0);
    ClickSquare(ui()._pPartyArea, gui_test::Sq("c3"));
    ClickSquare(ui()._pPartyArea, gui_test::Sq("d4"));
    EXPECT_TRUE(WaitFor([&] { return ui().MovesList->text().count(" > ") == 2; }));
}

// ---------------------------------------------------------------- photo schedule

TEST_F(PhotoSideTest, FivePhotosRevealedWinByWin) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    const char* texts[] = {"Ты победил!", "Ты победил!", "Ты победил!", "Полная победа!",
                           "Полная победа!"};
    const int photos[] = {1, 2, 3, 4, 4};
    for (int win = 0; win < 5; ++win) {
        Win();
        EXPECT_EQ(endText(), texts[win]) << "win " << win + 1;
        EXPECT_EQ(girl().level, photos[win]);
        EXPECT_EQ(girl().shown, photos[win]);
        EXPECT_TRUE(ShowsPhoto(photos[win])) << "win " << win + 1;
        EXPECT_TRUE(ui().GirlImage->isEnabled());
        EXPECT_FALSE(ui().NNextPhoto->isEnabled());
        EXPECT_TRUE(ui().NPreviousPhoto->isEnabled());
        EXPECT_FALSE(form->InGame());
        EXPECT_FALSE(ui().NDraw->isEnabled());
        QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));  // play again
        ASSERT_TRUE(form->InGame());
        EXPECT_FALSE(ui().GirlImage->isEnabled());
        EXPECT_FALSE(endShown());
    }
    EXPECT_EQ(questions.size(), 0u);  // the photo starts a game without asking
}

TEST_F(PhotoSideTest, TwoPhotosMakeTheFirstWinComplete) {
    WriteOpponent(3000, 2, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    EXPECT_EQ(endText(), "Полная победа!");
    EXPECT_TRUE(ShowsPhoto(1));
}

TEST_F(PhotoSideTest, BrowsingStaysWithinThePhotosReached) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    Win();
    ASSERT_TRUE(ShowsPhoto(2));
    EXPECT_FALSE(ui().NNextPhoto->isEnabled());
    EXPECT_TRUE(ui().NPreviousPhoto->isEnabled());

    ui().NPreviousPhoto->trigger();
    EXPECT_TRUE(ShowsPhoto(1));
    EXPECT_TRUE(ui().NPreviousPhoto->isEnabled());
    EXPECT_TRUE(ui().NNextPhoto->isEnabled());
    ui().NPreviousPhoto->trigger();
    EXPECT_TRUE(ShowsPhoto(0));
    EXPECT_FALSE(ui().NPreviousPhoto->isEnabled());
    ui().NPreviousPhoto->trigger();  // disabled: nothing
    EXPECT_EQ(girl().shown, 0);

    ui().NNextPhoto->trigger();
    ui().NNextPhoto->trigger();
    EXPECT_TRUE(ShowsPhoto(2));
    EXPECT_FALSE(ui().NNextPhoto->isEnabled());
    ui().NNextPhoto->trigger();
    EXPECT_EQ(girl().shown, 2);
    EXPECT_EQ(girl().level, 2);
}

TEST_F(PhotoSideTest, PageKeysBrowseThePhotos) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_PageDown);  // previous
    EXPECT_TRUE(ShowsPhoto(0));
    QTest::keyClick(form.get(), Qt::Key_PageUp);  // next
    EXPECT_TRUE(ShowsPhoto(1));
}

// With the photo items disabled the page keys fall through to whatever has
// the focus; the hidden chooser must not take them, and it opens at its top.
TEST_F(PhotoSideTest, PageKeysNeverScrollTheHiddenChooser) {
    for (int i = 0; i < 12; ++i) WriteOpponent(3000 + i, 2, {2, 1, 1, 1, 2}, uint8_t(20 * i));
    Open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QScrollBar* scroll = ui().IntroBox->verticalScrollBar();
    ASSERT_TRUE(WaitFor([&] { return scroll->maximum() > 0; }, 2000));
    ChooseOpponent(0);
    Lose();
    ASSERT_FALSE(ui().NNextPhoto->isEnabled());
    ASSERT_FALSE(ui().NPreviousPhoto->isEnabled());
    for (int i = 0; i < 4; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), Qt::Key_PageDown);
        QTest::keyClick(ui().IntroBox, Qt::Key_PageDown);  // even if it kept the focus
        QTest::keyClick(ui().IntroBox, Qt::Key_End);
    }
    EXPECT_EQ(scroll->value(), 0);
    ui().NGirls->trigger();
    ASSERT_TRUE(ui().IntroBox->isVisible());
    EXPECT_EQ(scroll->value(), 0);

    // Scrolled down by the player, it still opens at its top next time.
    QTest::keyClick(ui().IntroBox, Qt::Key_PageDown);
    ASSERT_GT(scroll->value(), 0);
    ChooseOpponent(1);
    Lose();
    ui().NGirls->trigger();
    EXPECT_EQ(scroll->value(), 0);
}

TEST_F(PhotoSideTest, LossKeepsThePhotoAndThePhotoStartsTheNextGame) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    Win();
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    Lose();
    EXPECT_EQ(endText(), "Ты проиграл!");
    EXPECT_TRUE(ShowsPhoto(2));
    EXPECT_EQ(girl().level, 2);
    EXPECT_FALSE(ui().NNextPhoto->isEnabled());  // as the last win left them
    EXPECT_TRUE(ui().NPreviousPhoto->isEnabled());
    EXPECT_TRUE(ui().GirlImage->isEnabled());
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(form->InGame());
    EXPECT_TRUE(ShowsPhoto(2));
}

TEST_F(PhotoSideTest, PickingTheSameOpponentAgainStartsOver) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    Win();
    ui().NGirls->trigger();  // no game in progress: nothing asked
    EXPECT_EQ(questions.size(), 0u);
    EXPECT_FALSE(ui().IntroBox->isHidden());
    EXPECT_FALSE(ui().NNextPhoto->isEnabled());
    EXPECT_FALSE(ui().NPreviousPhoto->isEnabled());
    ChooseOpponent(0);
    EXPECT_TRUE(ShowsPhoto(0));
    Win();
    EXPECT_EQ(endText(), "Ты победил!");
    EXPECT_TRUE(ShowsPhoto(1));
}

TEST_F(PhotoSideTest, AcceptedDrawLeavesThePhotosAndAllowsPlayingAgain) {
    WriteOpponent(3000, 5, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    Win();
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    gui_test::SetPosition(party(), "W:WKa1,c3:Bf6,h8");
    ui().NDraw->trigger();
    EXPECT_EQ(endText(), "Ничья");
    EXPECT_TRUE(ShowsPhoto(1));
    EXPECT_EQ(girl().level, 1);
    EXPECT_TRUE(ui().GirlImage->isEnabled());
    QTest::mouseClick(ui().GirlImage, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(form->InGame());
}

// ---------------------------------------------------------------- hiding the photo side

TEST_F(PhotoSideTest, SpaceHidesAndShowsThePhotoSide) {
    WriteOpponent(3000, 3, {1, 0, 0, 0, 0}, 200);
    Open();
    ASSERT_EQ(OuterWidth(form.get()), 716);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_EQ(OuterWidth(form.get()), 418);
    EXPECT_EQ(ui().NOffOnPhoto->text().toStdString(), "Показать фото");
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_EQ(OuterWidth(form.get()), 716);
    EXPECT_EQ(ui().NOffOnPhoto->text().toStdString(), "Спрятать фото");
}

TEST_F(PhotoSideTest, HiddenSideComesBackWithTheChooser) {
    WriteOpponent(3000, 3, {1, 0, 0, 0, 0}, 200);
    Open();
    ChooseOpponent(0);
    ui().NOffOnPhoto->trigger();
    ASSERT_EQ(OuterWidth(form.get()), 418);
    ui().NGirls->trigger();  // during a game: asked, answered Yes
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(OuterWidth(form.get()), 716);
    EXPECT_EQ(ui().NOffOnPhoto->text().toStdString(), "Спрятать фото");
    EXPECT_FALSE(ui().IntroBox->isHidden());
    EXPECT_TRUE(ui().PhotoPanel->isHidden());
}

TEST_F(PhotoSideTest, DuelCutsThePhotoSideOffAndDisablesTheItem) {
    WriteOpponent(3000, 3, {1, 0, 0, 0, 0}, 200);
    Open();
    ui().NDuel->trigger();
    EXPECT_EQ(OuterWidth(form.get()), 418);
    EXPECT_FALSE(ui().NOffOnPhoto->isEnabled());
}

// ---------------------------------------------------------------- by keyboard

// The arrows walk the thumbnails (stopping at the last), Tab finds no other
// stop while the board is locked, Enter picks; after a win the photo has the
// keyboard, and Enter on it plays again.
TEST_F(PhotoSideTest, ArrowsAndEnterPickAnOpponentAndEnterOnThePhotoPlaysAgain) {
    for (int i = 0; i < 3; ++i) WriteOpponent(3000 + i, 3, {1, 0, 0, 0, 0}, uint8_t(60 * i));
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    ImageControl* second = *form->GirlIcons()[1];
    ASSERT_TRUE((*form->GirlIcons()[0])->hasFocus());
    EXPECT_FALSE((*form->GirlIcons()[0])->FocusMarkShown());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left, Qt::Key_Tab}) press(key);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_TRUE(second->FocusMarkShown());
    EXPECT_EQ(second->accessibleName(), "Соперница 2 из 3");
    press(Qt::Key_Return);
    EXPECT_EQ(form->CurrentGirl(), 1);
    EXPECT_TRUE(ui()._pPartyArea->hasFocus());
    EXPECT_EQ(ui().GirlImage->accessibleName(), "Фото 1 из 3");
    Win();
    EXPECT_TRUE(ui().GirlImage->hasFocus());
    EXPECT_EQ(ui().GirlImage->accessibleName(), "Фото 2 из 3");
    press(Qt::Key_Return);
    EXPECT_TRUE(form->InGame());
}

// ---------------------------------------------------------------- a real game in the demo gallery

#ifdef PELVANTA_ARCHIVE_TOOL
TEST_F(PhotoSideTest, BeatingTheBeginnerOfTheDemoGalleryRevealsHerSecondPhoto) {
    QProcess tool;
    tool.start(PELVANTA_ARCHIVE_TOOL, {"demo", folder.path()});
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    Open();
    ASSERT_GE(form->Girls().Count(), 8);

    // The beginner is the one who looks least far ahead.
    int beginner = 0;
    for (int i = 1; i < form->Girls().Count(); ++i)
        if (form->Girls()[i]->searchDepth < form->Girls()[beginner]->searchDepth) beginner = i;
    ChooseOpponent(beginner);
    ASSERT_EQ(form->CurrentGirl(), beginner);
    const EngineParams hers = engineParams;
    EXPECT_EQ(hers, girl().Params());
    ASSERT_TRUE(ShowsPhoto(0));
    party().animTimer.SetInterval(10);

    // The player's moves come from the engine's own search, with weights
    // that value material.
    const EngineParams player{5, 5, 7, 1, 3};
    auto searcher = std::make_unique<HAnalyzThread>();
    int plies = 0;
    while (plies < 300) {
        ASSERT_TRUE(WaitFor(
            [&] {
                return endShown() ||
                       (party().sideToMove == Bottom && !party().animTimer.Enabled() &&
                        party().activeWorker == nullptr);
            },
            30000));
        if (endShown()) break;
        HDoska position = party().board;
        HListMoves list;
        list.Generate(Bottom, position);
        engineParams = player;
        searcher->SearchHere(list);
        const HMove move = *searcher->PickMove();
        engineParams = hers;  // the computer's searches keep her numbers
        for (int32_t i = 0; i < move.stepCount; ++i)
            ClickSquare(ui()._pPartyArea, move.steps[i].pos);
        ++plies;
    }
    ASSERT_TRUE(endShown()) << "no result after " << plies << " moves";
    EXPECT_EQ(endText(), "Ты победил!");
    EXPECT_TRUE(ShowsPhoto(1));
    EXPECT_TRUE(ui().GirlImage->isEnabled());
    EXPECT_FALSE(form->InGame());
}
#endif

}  // namespace
