#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "WindowTest.h"
#include "app/AboutUnit.h"
#include "app/MainUnit.h"
#include "app/RulesUnit.h"
#include "engine/EngineParams.h"
#include "platform/MainWindow.h"
#include "platform/Os.h"
#include "platform/Question.h"
#include "platform/ShellOpen.h"
#include "platform/Timer.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"
#include "tests/platform/TestProbe.h"
#include "ui_AboutForm.h"
#include "ui_MainForm.h"
#include "ui_RulesForm.h"

using namespace gui_test;

namespace {

class MainFormTest : public WindowTest {
protected:
    void playDuelToTheEnd(uint8_t winner);

    void SetUp() override {
        WindowTest::SetUp();
        Open();
    }

    QString movesText() { return ui().MovesList->text(); }
    int moveCount() { return int(movesText().count(" > ")); }
    std::string lastMove() {
        const QString text = movesText();
        return text.mid(text.lastIndexOf(" > ")).toStdString();
    }
    bool allWorkersStopped() {
        for (const HAnalyzThread& worker : party().workers)
            if (!worker.Stopped()) return false;
        return true;
    }

    // Waits until the side to move can be clicked: no animation, no thinking.
    bool waitForTurn() {
        return WaitFor([&] {
            return endShown() || (!party().animTimer.Enabled() && party().activeWorker == nullptr &&
                                  board()->CursorKindShown() == CursorKind::Hand);
        });
    }

    void clickPath(const HMove& move) {
        for (int32_t i = 0; i < move.stepCount; ++i) ClickSquare(board(), move.steps[i].pos);
    }

    void clickPath(const std::vector<const char*>& squares) {
        for (const char* s : squares) ClickSquare(board(), Sq(s));
    }

    // Replaces the game's position during a game and starts that side's turn.
    void setPosition(const char* fen) { gui_test::SetPosition(party(), fen); }

    static std::set<std::string> legalTexts(HDoska board, uint8_t side) {
        HListMoves list;
        list.Generate(side, board);
        std::set<std::string> texts;
        for (int32_t i = 0; i < list.Count(); ++i) texts.insert(list.Move(i).Text());
        return texts;
    }

    void expectBoardShowsPosition() {
        for (const Point& square : kSquareOrder)
            EXPECT_EQ(Shown(party(), square), Held(party().board, square)) << square.Text();
    }
};

// ---------------------------------------------------------------- start-up and layout

TEST_F(MainFormTest, StartsChoosingWithAnEmptyLockedBoard) {
    EXPECT_EQ(form->windowTitle().toStdString(), "Pelvanta");
    EXPECT_EQ(ui().ClientArea->size(), QSize(710, 441));
    EXPECT_EQ(OuterWidth(form.get()), 716);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());  // fixed size
    EXPECT_EQ(board()->geometry(), QRect(21, 3, 384, 384));
    EXPECT_FALSE(board()->isEnabled());
    for (const Point& square : kSquareOrder) EXPECT_EQ(Shown(party(), square), "empty");
    EXPECT_FALSE(ui().NDraw->isEnabled());
    EXPECT_FALSE(ui().NNextPhoto->isEnabled());
    EXPECT_FALSE(ui().NPreviousPhoto->isEnabled());
    EXPECT_FALSE(ui().NCheat->isVisible());
    EXPECT_TRUE(ui().NOffOnPhoto->isEnabled());
    EXPECT_FALSE(ui().IntroBox->isHidden());
    EXPECT_TRUE(ui().PhotoPanel->isHidden());
    EXPECT_FALSE(endShown());
    EXPECT_TRUE(movesText().isEmpty());
    EXPECT_FALSE(form->InGame());
    EXPECT_EQ(engineParams.searchDepth, 25);
    EXPECT_EQ(ui().IntroBox->geometry(), QRect(414, 3, 293, 435));
    EXPECT_EQ(ui().PhotoPanel->geometry(), QRect(414, 3, 293, 435));
    EXPECT_EQ(ui().GirlImage->geometry(), QRect(1, 1, 291, 433));
    EXPECT_EQ(ui().MovesList->geometry(), QRect(12, 410, 390, 25));
    EXPECT_TRUE(ui().MovesList->isReadOnly());
    // Wider than the original 129 and centred as it was, so the duel's
    // results fit in bold MS Sans Serif.
    EXPECT_EQ(ui()._pEndPanel->geometry(), QRect(141, 176, 151, 33));
    EXPECT_TRUE(ui()._pEndPanel->font().bold());
    EXPECT_EQ(ui().MovesList->font().pixelSize(), 19);
}

// Every caption and text fits its place in the font it is shown in, which
// differs between the systems: the same check runs on Windows, with
// nothing but Windows' own fonts.
TEST_F(MainFormTest, EveryTextFitsItsPlaceInTheWindowFont) {
    // A text fits when it is no wider than its place and its inked pixels
    // are no taller.
    auto fits = [](const QWidget* place, const QString& text) {
        const QFontMetrics metrics(place->font());
        const int width = metrics.horizontalAdvance(text);
        const int inked = metrics.tightBoundingRect(text).height();
        return ::testing::AssertionResult(width <= place->contentsRect().width() &&
                                          inked <= place->height())
               << width << "x" << inked << " in " << place->contentsRect().width() << "x"
               << place->height() << " (" << QFontInfo(place->font()).family().toStdString() << ")";
    };
    if (QFontInfo(form->font()).family().isEmpty())
        GTEST_SKIP() << "this platform plugin reads none of the system's fonts";
    QList<QLabel*> labels = ui().ClientArea->findChildren<QLabel*>();
    labels.removeOne(ui()._pEndPanel);
    Ui::AboutForm& about = form->About().Controls();
    labels << about.Label1 << about.Label2 << about.Label3 << about.StaticText1;
    for (const QLabel* label : labels)
        EXPECT_TRUE(fits(label, label->text())) << label->objectName().toStdString();
    for (const char* text : {"Ты проиграл!", "Ты победил!", "Полная победа!", "Верхние выиграли!",
                             "Нижние выиграли!", "Ничья", "Ни за что!"})
        EXPECT_TRUE(fits(ui()._pEndPanel, QString::fromUtf8(text))) << text;
    EXPECT_TRUE(fits(about.Button1, about.Button1->text()));
    EXPECT_TRUE(fits(ui().MovesList, QStringLiteral(" > c3:e5:g7:e5")));
    // The menu bar holds its three menus on one line.
    for (QAction* menu : ui().MainMenu1->actions())
        EXPECT_EQ(ui().MainMenu1->actionGeometry(menu).top(), 0) << menu->text().toStdString();
#ifdef _WIN32
    // On Windows' own window system the font is there, not stood in for.
    if (QGuiApplication::platformName() == QStringLiteral("windows")) {
        EXPECT_EQ(QFontInfo(form->font()).family().toStdString(), "MS Sans Serif");
    }
#endif
}

TEST_F(MainFormTest, CoordinateLabelsSitBesideTheirSquares) {
    const int rowTops[] = {355, 308, 260, 212, 163, 116, 67, 19};
    const int columnLefts[] = {39, 87, 134, 183, 231, 282, 327, 377};
    for (int i = 0; i < 8; ++i) {
        auto* row = ui().ClientArea->findChild<QLabel*>(QString("Row%1").arg(i + 1));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(), QString::number(i + 1));
        EXPECT_EQ(row->geometry().topLeft(), QPoint(5, rowTops[i]));
        // Each label's middle lies within its row of squares.
        const int middle = row->geometry().center().y();
        EXPECT_GE(middle, 3 + (7 - i) * 48);
        EXPECT_LT(middle, 3 + (8 - i) * 48);
        auto* column = ui().ClientArea->findChild<QLabel*>(QString("Column%1").arg(QChar('A' + i)));
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(column->text(), QString(QChar('a' + i)));
        EXPECT_EQ(column->geometry().topLeft(), QPoint(columnLefts[i], 389));
        EXPECT_GE(column->geometry().left(), 21 + i * 48);
        EXPECT_LT(column->geometry().left(), 21 + (i + 1) * 48);
        EXPECT_TRUE(column->font().bold());
        EXPECT_EQ(column->font().pixelSize(), 13);
    }
}

TEST_F(MainFormTest, MenuCaptionsShortcutsAndOrder) {
    auto titles = [](QMenu* menu) {
        std::vector<std::string> t;
        for (QAction* a : menu->actions()) t.push_back(a->text().toStdString());
        return t;
    };
    std::vector<std::string> bar;
    for (QAction* a : ui().MainMenu1->actions()) bar.push_back(a->text().toStdString());
    EXPECT_EQ(bar, (std::vector<std::string>{"Игра", "Вид", "Помощь"}));
    EXPECT_EQ(titles(ui().N1),
              (std::vector<std::string>{"Новая", "Фора", "Предложить ничью", "Выход"}));
    EXPECT_EQ(titles(ui().NNew), (std::vector<std::string>{"Девочки", "Дуэль"}));
    EXPECT_EQ(titles(ui().NView),
              (std::vector<std::string>{"Спрятать фото", "Следущее фото", "Предыдущее фото"}));
    EXPECT_EQ(titles(ui().N4), (std::vector<std::string>{"Правила", "О программе"}));
    EXPECT_EQ(ui().NDraw->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(ui().NOffOnPhoto->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(ui().NNextPhoto->shortcut(), QKeySequence(Qt::Key_PageUp));
    EXPECT_EQ(ui().NPreviousPhoto->shortcut(), QKeySequence(Qt::Key_PageDown));
    EXPECT_EQ(ui().NRules->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(MainFormTest, StartUpMessagesReachTheWindow) {
    // The window claimed the three numbers and receives what workers post.
    form->StartGirlGame();
    party().SetThinkTime(600000);
    setPosition("W:Wa1:Bh8");  // a move for Bottom, then Top's single reply
    clickPath({"a1", "b2"});
    DeliverPosted();  // the single reply's notice, posted at once
    EXPECT_EQ(moveCount(), 2);
}

// ---------------------------------------------------------------- duel

// The side meant to win takes as much as it can; the other offers pieces.
int32_t ChooseDuelMove(HParty& party, uint8_t winner) {
    int32_t best = 0;
    int32_t bestGain = -1;
    for (int32_t i = 0; i < party.moves.Count(); ++i) {
        const HMove& move = party.moves.Move(i);
        int32_t gain = move.capturedCount;
        if (party.sideToMove != winner) {
            HDoska after = party.board;
            after.ApplyMove(move);
            HListMoves replies;
            replies.Generate(winner, after);
            gain = 0;
            for (int32_t j = 0; j < replies.Count(); ++j)
                gain = std::max(gain, replies.Move(j).capturedCount);
        }
        if (gain > bestGain) {
            bestGain = gain;
            best = i;
        }
    }
    return best;
}

void MainFormTest::playDuelToTheEnd(uint8_t winner) {
    party().animTimer.SetInterval(5);
    int plies = 0;
    while (!endShown() && plies < 400) {
        ASSERT_TRUE(waitForTurn());
        if (endShown()) break;
        const HMove move = party().moves.Move(ChooseDuelMove(party(), winner));
        const int before = moveCount();
        clickPath(move);
        ASSERT_EQ(moveCount(), before + 1) << "the clicks did not play" << move.Text();
        EXPECT_EQ(lastMove(), move.Text());
        ++plies;
        EXPECT_TRUE(allWorkersStopped());
        ASSERT_TRUE(waitForTurn());
        DeliverPosted();
    }
    ASSERT_TRUE(endShown()) << "no end after " << plies << " plies";
    expectBoardShowsPosition();
}

TEST_F(MainFormTest, DuelPlayedByClicksUntilBottomWins) {
    ui().NDuel->trigger();
    EXPECT_EQ(OuterWidth(form.get()), 418);
    EXPECT_FALSE(ui().NOffOnPhoto->isEnabled());
    EXPECT_FALSE(ui().NDraw->isEnabled());
    EXPECT_TRUE(board()->isEnabled());
    EXPECT_TRUE(form->InGame());
    playDuelToTheEnd(Bottom);
    EXPECT_EQ(endText(), "Нижние выиграли!");
    EXPECT_FALSE(form->InGame());
    EXPECT_FALSE(board()->isEnabled());
    EXPECT_FALSE(ui().NDraw->isEnabled());
    EXPECT_EQ(OuterWidth(form.get()), 418);  // the photo side stays cut off
    EXPECT_TRUE(questions.empty());
}

TEST_F(MainFormTest, DuelPlayedByClicksUntilTopWins) {
    ui().NDuel->trigger();
    playDuelToTheEnd(Top);
    EXPECT_EQ(endText(), "Верхние выиграли!");
    EXPECT_FALSE(form->InGame());
    EXPECT_FALSE(board()->isEnabled());
    // A new game after the end asks nothing.
    ui().NDuel->trigger();
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(endShown());
    EXPECT_TRUE(movesText().isEmpty());
}

// ---------------------------------------------------------------- against the computer

TEST_F(MainFormTest, PlayerClicksC3D4AndTheComputerAnswers) {
    engineParams.searchDepth = 3;
    form->StartGirlGame();
    EXPECT_TRUE(form->InGame());
    EXPECT_TRUE(ui().NDraw->isEnabled());
    EXPECT_TRUE(ui().NCheat->isVisible());
    EXPECT_TRUE(ui().IntroBox->isHidden());
    EXPECT_FALSE(ui().PhotoPanel->isHidden());
    EXPECT_FALSE(ui().GirlImage->isEnabled());
    EXPECT_EQ(party().ponderCount, 7);  // pondering from the first moment

    clickPath({"c3", "d4"});
    EXPECT_EQ(movesText().toStdString(), " > c3-d4");
    EXPECT_FALSE(ui().NCheat->isVisible());  // gone with the first press
    EXPECT_EQ(board()->CursorKindShown(), CursorKind::HourGlass);
    ASSERT_TRUE(WaitFor([&] { return moveCount() == 2; }));

    HDoska after;
    after.SetInitial();
    HListMoves first;
    first.Generate(Bottom, after);
    after.ApplyMove(first.Move(2));  // c3-d4
    EXPECT_EQ(legalTexts(after, Top).count(lastMove()), 1u) << lastMove();
    ASSERT_TRUE(waitForTurn());
    expectBoardShowsPosition();
    EXPECT_EQ(party().sideToMove, Bottom);
}

TEST_F(MainFormTest, KeptWorkerThatHasFinishedMovesWithoutWaitingForTheTimer) {
    engineParams.searchDepth = 3;
    form->StartGirlGame();
    party().SetThinkTime(600000);
    ASSERT_TRUE(WaitFor([&] { return allWorkersStopped(); }));
    clickPath({"c3", "d4"});
    EXPECT_EQ(moveCount(), 1);
    DeliverPosted();  // the notice is the next thing the window handles
    EXPECT_EQ(moveCount(), 2);
    EXPECT_EQ(party().thinkTimer.Ticks(), 0);
}

// Notes every timer start of the running program, with its interval.
using Starts = std::vector<std::pair<const Timer*, int>>;

class TimerStarts {
public:
    TimerStarts() { TestProbe::Get().TakeTimerStarts(); }
    const Starts& starts() {
        for (const auto& [timer, ms] : TestProbe::Get().TakeTimerStarts())
            seen_.push_back({static_cast<const Timer*>(timer), ms});
        return seen_;
    }
    void clear() {
        starts();
        seen_.clear();
    }

private:
    Starts seen_;
};

TEST_F(MainFormTest, EachTimerRunsAtItsIntervalAsTheGameStartsIt) {
    engineParams.searchDepth =
        25;  // the reply is still being searched when the thinking time is up
    TimerStarts noted;
    form->StartGirlGame();
    noted.clear();

    // Selecting a man: it blinks at 200 ms, gone on one tick, back on the next.
    clickPath({"c3"});
    EXPECT_EQ(noted.starts(), (Starts{{&party().blinkTimer, 200}}));
    ASSERT_TRUE(WaitFor([&] { return Shown(party(), Sq("c3")) == "empty"; }));
    ASSERT_TRUE(WaitFor([&] { return Shown(party(), Sq("c3")) == "bottom man"; }));
    noted.clear();

    // Completing the move: its animation at 300 ms, a quiet move done at once,
    // then the computer's thinking time of 1000 ms, whose tick takes the move.
    clickPath({"d4"});
    EXPECT_EQ(noted.starts(), (Starts{{&party().animTimer, 300}, {&party().thinkTimer, 1000}}));
    noted.clear();
    ASSERT_TRUE(WaitFor([&] { return moveCount() == 2; }));
    EXPECT_EQ(party().thinkTimer.Ticks(), 1);
    // The computer's move is animated at 300 ms as well.
    ASSERT_FALSE(noted.starts().empty());
    EXPECT_EQ(noted.starts().front(), (std::pair<const Timer*, int>{&party().animTimer, 300}));
    ASSERT_TRUE(waitForTurn());
    noted.clear();

    // A refused draw: "Ни за что!" stays for 600 ms, hidden by that timer's tick.
    ui().NDraw->trigger();
    ASSERT_EQ(endText(), "Ни за что!");
    ASSERT_EQ(noted.starts().size(), 1u);
    const Timer* pause = noted.starts()[0].first;
    EXPECT_EQ(noted.starts()[0].second, 600);
    for (const Timer* own : {&party().animTimer, &party().thinkTimer, &party().blinkTimer})
        EXPECT_NE(pause, own) << "the window's own pause timer";
    ASSERT_TRUE(WaitFor([&] { return !endShown(); }));
    EXPECT_EQ(pause->Ticks(), 1);
    party().Halt();
}

TEST_F(MainFormTest, DrawRefusedWithoutAKingAndAcceptedWithOne) {
    engineParams.searchDepth = 25;
    form->StartGirlGame();
    ui().NDraw->trigger();
    EXPECT_TRUE(endShown());
    EXPECT_EQ(endText(), "Ни за что!");
    EXPECT_TRUE(board()->isEnabled());  // play goes on
    EXPECT_TRUE(form->InGame());
    EXPECT_FALSE(allWorkersStopped());  // and so does the pondering
    ASSERT_TRUE(WaitFor([&] { return !endShown(); }));
    EXPECT_TRUE(board()->isEnabled());

    setPosition("W:WKa1,c3:Bf6,h8");
    ASSERT_TRUE(party().AcceptsDraw());
    ui().NDraw->trigger();
    EXPECT_EQ(endText(), "Ничья");
    EXPECT_TRUE(endShown());
    EXPECT_FALSE(board()->isEnabled());
    EXPECT_TRUE(ui().GirlImage->isEnabled());
    EXPECT_FALSE(form->InGame());
    EXPECT_TRUE(allWorkersStopped());
    EXPECT_TRUE(ui().NDraw->isEnabled());
    QTest::qWait(700);
    EXPECT_TRUE(endShown());  // an accepted draw stays on the board

    ui().NDraw->trigger();  // asked again: the same answer, nothing else
    EXPECT_EQ(endText(), "Ничья");
    EXPECT_FALSE(board()->isEnabled());
}

// The draw is accepted at any moment: the ended board shows the position
// the game ended in, not the picture of that moment.
TEST_F(MainFormTest, DrawAcceptedWhileAPieceIsBlinkedAwayShowsIt) {
    form->StartGirlGame();
    setPosition("W:WKa1,c3:Bf6,h8");
    ClickSquare(board(), Sq("a1"));
    ASSERT_TRUE(party().blinkTimer.Enabled());
    for (int i = 0; i < 2 && Shown(party(), Sq("a1")) != "empty"; ++i) party().BlinkTick();
    ASSERT_EQ(Shown(party(), Sq("a1")), "empty");
    ui().NDraw->trigger();
    ASSERT_EQ(endText(), "Ничья");
    expectBoardShowsPosition();
    QTest::qWait(300);  // and nothing blinks it away afterwards
    expectBoardShowsPosition();
}

TEST_F(MainFormTest, DrawAcceptedDuringThePlayersCaptureShowsItsEnd) {
    form->StartGirlGame();
    setPosition("W:WKa1,c3:Bd4,h8");
    clickPath({"c3", "e5"});
    ASSERT_TRUE(party().animTimer.Enabled());
    ASSERT_EQ(Shown(party(), Sq("d4")), "top man");  // taken only at the next tick
    ui().NDraw->trigger();
    ASSERT_EQ(endText(), "Ничья");
    expectBoardShowsPosition();
    EXPECT_EQ(Shown(party(), Sq("d4")), "empty");
}

TEST_F(MainFormTest, DrawAcceptedDuringTheComputersCaptureShowsItsEnd) {
    form->StartGirlGame();
    setPosition("B:WKa1,d4,d2:Be5");  // one move: e5:c3:e1, crowned
    party().TakeResult();
    ASSERT_TRUE(party().animTimer.Enabled());
    ASSERT_EQ(Shown(party(), Sq("e5")), "top man");  // not yet shown moving
    ASSERT_TRUE(party().AcceptsDraw());
    ui().NDraw->trigger();
    ASSERT_EQ(endText(), "Ничья");
    expectBoardShowsPosition();
    EXPECT_EQ(Shown(party(), Sq("e1")), "top king");
    EXPECT_EQ(Shown(party(), Sq("d2")), "empty");
}

TEST_F(MainFormTest, DrawRefusedWhenTheComputersLastMoveWasWinning) {
    form->StartGirlGame();
    setPosition("W:WKa1,c3:Bf6,h8");
    party().lastComputerValue = -5;
    ui().NDraw->trigger();
    EXPECT_EQ(endText(), "Ни за что!");
    EXPECT_TRUE(form->InGame());
}

TEST_F(MainFormTest, RefusalPauseDoesNotHideTheResultThatFollows) {
    form->StartGirlGame();
    ui().NDraw->trigger();
    ASSERT_EQ(endText(), "Ни за что!");
    // The game ends before the pause is over: its result must stay.
    setPosition("W:W:Bf6");
    DeliverPosted();
    ASSERT_EQ(endText(), "Ты проиграл!");
    QTest::qWait(800);
    EXPECT_TRUE(endShown());
    EXPECT_EQ(endText(), "Ты проиграл!");
    EXPECT_TRUE(ui().GirlImage->isEnabled());
    EXPECT_FALSE(ui().NDraw->isEnabled());
}

TEST_F(MainFormTest, HandicapFourTimesEmptiesTheFrontRowAndTheReplyRespectsIt) {
    engineParams.searchDepth = 3;
    form->StartGirlGame();
    // Let the first pondering finish, so replies worked out on the full
    // position would be ready to be played if they were kept.
    ASSERT_TRUE(WaitFor([&] { return allWorkersStopped(); }));
    const char* removed[] = {"b6", "d6", "f6", "h6"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ui().NCheat->isVisible());
        ui().NCheat->trigger();
        EXPECT_EQ(Held(party().board, Sq(removed[i])), "empty");
        EXPECT_EQ(Shown(party(), Sq(removed[i])), "empty");
        EXPECT_EQ(ui().NCheat->isVisible(), i < 3);
        EXPECT_EQ(party().ponderCount, 7);  // pondering started afresh
    }
    for (const char* kept : {"a7", "c7", "e7", "g7", "b8", "d8", "f8", "h8"})
        EXPECT_EQ(Held(party().board, Sq(kept)), "top man");

    party().SetThinkTime(600000);
    ASSERT_TRUE(WaitFor([&] { return allWorkersStopped(); }));
    HDoska expected = party().board;
    HListMoves own;
    own.Generate(Bottom, expected);
    expected.ApplyMove(own.Move(2));  // c3-d4
    clickPath({"c3", "d4"});
    ASSERT_EQ(movesText().toStdString(), own.Move(2).Text());
    ASSERT_TRUE(WaitFor([&] { return moveCount() == 2; }));
    const std::set<std::string> legal = legalTexts(expected, Top);
    EXPECT_EQ(legal.count(lastMove()), 1u) << lastMove();
    for (const char* gone : removed)
        EXPECT_EQ(lastMove().find(std::string(" > ") + gone), std::string::npos) << lastMove();
}

TEST_F(MainFormTest, FirstPressOnTheBoardHidesTheHandicapEvenWithTheRightButton) {
    form->StartGirlGame();
    ASSERT_TRUE(ui().NCheat->isVisible());
    ClickSquare(board(), Sq("b1"), Qt::RightButton);
    EXPECT_FALSE(ui().NCheat->isVisible());
    EXPECT_TRUE(movesText().isEmpty());
}

// ---------------------------------------------------------------- abandoning a game

TEST_F(MainFormTest, CloseAnsweredNoKeepsTheGameAndItsThinking) {
    engineParams.searchDepth = 25;
    form->StartGirlGame();
    clickPath({"c3", "d4"});
    HAnalyzThread* thinking = party().activeWorker;
    ASSERT_NE(thinking, nullptr);
    ASSERT_FALSE(thinking->Stopped());
    answer = [] {
        QTest::qWait(100);  // the box's own loop keeps running meanwhile
        return false;
    };
    EXPECT_FALSE(form->close());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption.toStdString(), "Выход");
    EXPECT_EQ(questions[0].text.toStdString(), "Прекратить текущую партию?");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->InGame());
    if (moveCount() == 1) {  // the computer may have moved under the box
        EXPECT_EQ(party().activeWorker, thinking);
        EXPECT_FALSE(thinking->Stopped());
        EXPECT_TRUE(party().thinkTimer.Enabled());
    }
    ASSERT_TRUE(WaitFor([&] { return moveCount() == 2; }));
    ASSERT_TRUE(waitForTurn());
    EXPECT_EQ(board()->CursorKindShown(), CursorKind::Hand);
    EXPECT_TRUE(board()->isEnabled());
}

TEST_F(MainFormTest, ComputerMayMoveWhileTheCloseQuestionIsShown) {
    engineParams.searchDepth = 25;
    form->StartGirlGame();
    party().SetThinkTime(200);
    clickPath({"c3", "d4"});
    answer = [this] {
        WaitFor([&] { return moveCount() == 2; });
        return false;
    };
    EXPECT_FALSE(form->close());
    EXPECT_EQ(moveCount(), 2);
    EXPECT_TRUE(form->InGame());
    ASSERT_TRUE(waitForTurn());
    EXPECT_EQ(party().ponderCount, party().moves.Count() < 50 ? party().moves.Count() : 50);
}

TEST_F(MainFormTest, CloseAnsweredYesClosesAndCloseOutsideAGameAsksNothing) {
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(questions.empty());
    form->show();
    form->StartGirlGame();
    answer = [] { return true; };
    EXPECT_TRUE(form->close());
    EXPECT_EQ(questions.size(), 1u);
}

// The program's own end, in a process of its own: the window closes during a
// game and the process ends at once, with the searches still running. Under
// the sanitizers a search thread that touched freed memory, or anything that
// ran on the way out, would end it otherwise.
TEST_F(MainFormTest, ClosingDuringAGameStopsEverySearchAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            engineParams.searchDepth = 25;
            form->StartGirlGame();
            answer = [this] {
                if (allWorkersStopped()) EndProcessNow(2);  // nothing in flight to test
                return true;
            };
            QTimer::singleShot(0, form.get(), [this] { form->close(); });
            const int code = QApplication::exec();
            // As the program's entry ends, with every search told to stop.
            EndProcessNow(code + (form->isVisible() ? 3 : 0) + (allWorkersStopped() ? 0 : 5));
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainFormTest, NewGameWhileTheComputerThinksStopsEveryWorkerFirst) {
    engineParams.searchDepth = 25;
    form->StartGirlGame();
    clickPath({"c3", "d4"});
    ASSERT_NE(party().activeWorker, nullptr);
    bool searchingWhenAsked = false;
    answer = [&] {
        searchingWhenAsked = !allWorkersStopped();
        return true;
    };
    ui().NGirls->trigger();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption.toStdString(), "Новая");
    EXPECT_EQ(questions[0].text.toStdString(), "Прекратить текущую партию?");
    EXPECT_TRUE(searchingWhenAsked);
    EXPECT_TRUE(allWorkersStopped());
    EXPECT_EQ(party().activeWorker, nullptr);
    EXPECT_FALSE(party().thinkTimer.Enabled());
    EXPECT_FALSE(form->InGame());
    EXPECT_FALSE(board()->isEnabled());
    EXPECT_FALSE(ui().NDraw->isEnabled());
    EXPECT_TRUE(movesText().isEmpty());
    for (const Point& square : kSquareOrder) EXPECT_EQ(Shown(party(), square), "empty");
    EXPECT_FALSE(ui().IntroBox->isHidden());
    EXPECT_EQ(OuterWidth(form.get()), 716);

    QTest::qWait(1300);  // a late notice or tick must not play anything
    EXPECT_TRUE(movesText().isEmpty());
    for (const Point& square : kSquareOrder) EXPECT_EQ(Held(party().board, square), "empty");
}

TEST_F(MainFormTest, NewGameAnsweredNoChangesNothing) {
    engineParams.searchDepth = 25;
    form->StartGirlGame();
    clickPath({"c3", "d4"});
    HAnalyzThread* thinking = party().activeWorker;
    answer = [] { return false; };
    ui().NDuel->trigger();
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(form->InGame());
    EXPECT_EQ(party().duel, 0);
    EXPECT_FALSE(movesText().isEmpty());
    EXPECT_EQ(OuterWidth(form.get()), 716);
    if (moveCount() == 1) {
        EXPECT_EQ(party().activeWorker, thinking);
    }
    ASSERT_TRUE(WaitFor([&] { return moveCount() == 2; }));
}

// ---------------------------------------------------------------- help

TEST_F(MainFormTest, RulesOpenFromTheCurrentFolderWithoutDisturbingTheGame) {
    engineParams.searchDepth = 25;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    form->StartGirlGame();
    clickPath({"c3", "d4"});
    HAnalyzThread* thinking = party().activeWorker;
    ui().NRules->trigger();
    QDir::setCurrent(before);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QDir(folder.path()).absoluteFilePath("Rules.htm")));
    EXPECT_TRUE(opened[0].isLocalFile());
    if (moveCount() == 1) {
        EXPECT_EQ(party().activeWorker, thinking);
        EXPECT_FALSE(thinking->Stopped());
    }
    EXPECT_TRUE(form->InGame());
}

TEST_F(MainFormTest, F1OpensTheRules) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].path().endsWith("/Rules.htm"));
}

TEST_F(MainFormTest, RulesShownByTheProgramWhenTheDesktopCannot) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString page = "<html><body><p><a href=\"#far\">Далеко</a></p>";
    for (int i = 0; i < 200; ++i) page += QString("<p>Строка %1</p>").arg(i);
    page += "<h2 id=\"far\">Конец страницы</h2></body></html>";
    QFile file(QDir(folder.path()).absoluteFilePath("Rules.htm"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(page.toUtf8());
    file.close();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    form->StartGirlGame();
    desktopOpens = false;
    ui().NRules->trigger();
    QDir::setCurrent(before);

    ASSERT_EQ(opened.size(), 1u);  // the desktop was asked first
    TRulesForm* viewer = form->RulesViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->windowTitle().toStdString(), "Правила");
    QTextBrowser* text = viewer->Controls().RulesText;
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->source(), QUrl::fromLocalFile(file.fileName()));
    EXPECT_TRUE(text->toPlainText().contains("Конец страницы"));
    EXPECT_TRUE(form->InGame());  // the game goes on beside it

    // A link to the page's own section scrolls there, inside the viewer.
    ASSERT_TRUE(WaitFor([&] { return text->verticalScrollBar()->maximum() > 0; }, 3000));
    EXPECT_EQ(text->verticalScrollBar()->value(), 0);
    const QTextCursor link = text->document()->find("Далеко");
    ASSERT_FALSE(link.isNull());
    QTextCursor inside(text->document());
    inside.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(inside).center());
    EXPECT_TRUE(WaitFor([&] { return text->verticalScrollBar()->value() > 0; }, 3000));
    EXPECT_EQ(text->source().fragment().toStdString(), "far");
    EXPECT_EQ(opened.size(), 1u);  // nothing went out to the desktop

    ui().NRules->trigger();  // asked again: the same window, the page from its top
    EXPECT_EQ(form->RulesViewer(), viewer);
}

TEST_F(MainFormTest, RulesOpenedByTheDesktopNeedNoViewer) {
    ui().NRules->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(form->RulesViewer(), nullptr);
}

TEST_F(MainFormTest, CtrlDOffersADraw) {
    form->StartGirlGame();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(endText(), "Ни за что!");
}

TEST_F(MainFormTest, AboutBoxIsOneDialogShownAgainAndItsLinkWritesMail) {
    TAboutForm* shown[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(50, [&, i] {
            shown[i] = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            if (shown[i] != nullptr) shown[i]->Controls().Button1->click();
        });
        ui().NAbout->trigger();
    }
    ASSERT_NE(shown[0], nullptr);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(shown[0], &form->About());

    Ui::AboutForm& about = form->About().Controls();
    EXPECT_EQ(form->About().windowTitle().toStdString(), "About");
    EXPECT_EQ(form->About().size(), QSize(266, 124));
    EXPECT_EQ(about.Label1->text().toStdString(), "PELVANTA");
    EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_EQ(about.Label2->text().toStdString(), "(версия 2.1)");
    EXPECT_FALSE(about.Label3->text().isEmpty());
    EXPECT_EQ(about.StaticText1->text().toStdString(), "e-mail");
    EXPECT_TRUE(about.StaticText1->font().underline());

    QTest::mouseClick(about.StaticText1, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].scheme().toStdString(), "mailto");
    EXPECT_FALSE(opened[0].path().isEmpty());
}

}  // namespace
