#pragma once

#include <QPixmap>
#include <cstdint>

#include "engine/Hanalyzthread.h"
#include "platform/Timer.h"
#include "rules/Hdoska.h"
#include "rules/Hlistmoves.h"

class Announcer;
class ImageControl;
class QAction;
class QLineEdit;
class QWidget;

// The game in progress: the board, the legal moves of the side to move, the
// computer's search workers and the three timers, and the window's controls
// that show the game. One object serves every game of the run.
//
// Turn cycle: NextTurn lists the moves of the side to move. On the player's
// turn every legal move of the player (up to fifty) gets a free worker that
// searches the computer's replies to it on a list of its own (pondering); a
// completed click applies the move and animates it. On the computer's turn
// the worker that pondered the move played is kept and the others are
// abandoned; its ready notice or the thinking timer, whichever comes first,
// takes the best move it has published. A side with no legal move has lost:
// the window hears of it by a posted message.
//
// Everything here runs on the window's thread, which never waits for a
// search thread: an abandoned worker finishes on its own thread whenever it
// next runs, and is not used again until it has (see docs/design.md).
class HParty {
public:
    static constexpr int32_t kWorkers = 50;  // the player's moves pondered at most
    // Workers, each with its own thread once used: fifty pondering, the rest
    // stand in for workers still finishing abandoned searches.
    static constexpr int32_t kSearchWorkers = 128;
    static constexpr int32_t kSquare = 48;  // pixels of one square on the board image

    HParty(QWidget* form, ImageControl* boardImage);
    ~HParty();
    HParty(const HParty&) = delete;
    HParty& operator=(const HParty&) = delete;

    // Game.
    void NewGame(uint8_t firstSide, uint8_t duel);
    void Halt();
    void ClearBoard();
    bool AcceptsDraw() const;
    void SetThinkTime(int32_t milliseconds);

    // The computer's turn.
    void NextTurn();
    void StartPondering();
    void ComputerTurn();
    void TakeResult();
    void OnWorkerReady();  // the ready notice: takes the result if the kept search has ended
    void ApplyComputerMove(HMove* move);
    void StopAllWorkers();
    // Searches of the current game still wanted: pondering or the computer's
    // own; 0 once the game has ended or stopped.
    int32_t LiveSearches() const;

    // Board view and move input.
    void Redraw();
    void DrawCell(const HFigura& cell);
    void DrawEmpty(Point square);
    void OnBoardMouseDown(Qt::MouseButton button, int32_t px, int32_t py);
    void BlinkTick();
    void AnimateStep();
    void AppendMoveText(const HMove& move);
    // A square as a screen reader hears it: "c3, нижняя шашка, выбрана".
    QString SquareName(Point square) const;

    // The pixel where a square's picture starts: row 8 at the top, column a at the left.
    static QPoint SquareTopLeft(Point square);

    QWidget* form;                                // the main window: owner of the controls below
    ImageControl* boardImage;                     // 384 x 384; its cursor tells whose turn it is
    HListMoves moves;                             // legal moves of sideToMove on board
    HAnalyzThread* activeWorker = nullptr;        // whose result the computer's turn takes
    HAnalyzThread* ponderWorkers[kWorkers] = {};  // entry i: the replies to the player's move i
    HAnalyzThread workers[kSearchWorkers];
    int32_t ponderCount = 0;
    int32_t humanMoveIndex = 0;
    int32_t stepIndex = 0;
    uint8_t sideToMove = Bottom;
    HMove* currentMove = nullptr;  // the move being entered or animated; not owned
    HMove computerMove;            // the computer's move, copied from its worker
    int32_t lastComputerValue = 0;
    Timer animTimer;
    Timer thinkTimer;
    Timer blinkTimer;
    const QPixmap* topManPicture = nullptr;
    const QPixmap* bottomManPicture = nullptr;
    const QPixmap* topKingPicture = nullptr;
    const QPixmap* bottomKingPicture = nullptr;
    const QPixmap* cellPicture = nullptr;
    HDoska board;
    QLineEdit* movesList = nullptr;
    Announcer* announcer = nullptr;  // speaks each move played
    uint8_t duel = 0;
    QAction* handicapItem = nullptr;

private:
    void SideToMoveHasLost();
    void MarkSquare(Point square);
    // The window's name to a screen reader: whose turn it is, if anyone's.
    void NameTurn(const QString& whose);

    // A worker no search of this game wants and whose thread is idle, or none.
    HAnalyzThread* FreeWorker();

    // Stands in when every worker is still busy: the moves' own gains decide.
    HAnalyzThread unsearched_;
};
