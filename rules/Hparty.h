#pragma once

#include <QPixmap>
#include <cstdint>

#include "engine/Hanalyzthread.h"
#include "platform/Timer.h"
#include "rules/Hdoska.h"
#include "rules/Hlistmoves.h"

class ImageControl;
class QAction;
class QLineEdit;
class QWidget;

// The game in progress: the board, the legal moves of the side to move, the
// computer's workers and the three timers, and the window's controls that show
// the game. One object serves every game of the run; everything it owns is
// built once with it, so a turn allocates nothing.
//
// Turn cycle: NextTurn lists the moves of the side to move. On the player's
// turn every legal move of the player gets a worker that searches the
// computer's replies to it (pondering); a completed click applies the move and
// animates it. On the computer's turn the worker that pondered the move played
// is kept and the others are aborted; its ready notice or the thinking timer,
// whichever comes first, takes its move. A side with no legal move has lost:
// the window hears of it by a posted message.
//
// Everything runs on the window's thread.
class HParty {
public:
    static constexpr int32_t kWorkers = 50;
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
    // Searches of the current game still wanted (workers not stopped); none
    // once a game has ended, been halted or in a duel.
    int32_t LiveSearches() const;
    void SetThinkTime(int32_t milliseconds);

    // The computer's turn.
    void NextTurn();
    void StartPondering();
    void ComputerTurn();
    void TakeResult();
    void ApplyComputerMove(HMove* move);
    void StopAllWorkers();

    // Board view and move input.
    void Redraw();
    void DrawCell(const HFigura& cell);
    void DrawEmpty(Point square);
    void OnBoardMouseDown(Qt::MouseButton button, int32_t px, int32_t py);
    void BlinkTick();
    void AnimateStep();
    void AppendMoveText(const HMove& move);

    // The pixel where a square's picture starts: row 8 at the top, column a at the left.
    static QPoint SquareTopLeft(Point square);

    QWidget* form;                          // the main window: owner of the controls below
    ImageControl* boardImage;               // 384 x 384; its cursor tells whose turn it is
    HListMoves moves;                       // legal moves of sideToMove on board
    HAnalyzThread* activeWorker = nullptr;  // whose result the computer's turn takes
    HListMoves ponderLists[kWorkers];       // entry i: replies to the player's move i
    HAnalyzThread workers[kWorkers];        // entry i searches ponderLists[i]
    int32_t ponderCount = 0;
    int32_t humanMoveIndex = 0;
    int32_t stepIndex = 0;
    uint8_t sideToMove = Bottom;
    HMove* currentMove = nullptr;  // the move being entered or animated; not owned
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
    uint8_t duel = 0;
    QAction* handicapItem = nullptr;

private:
    // workers[0] was started on `moves` itself (nothing pondered the player's
    // move), so `moves` may be listed anew only after its thread has ended.
    bool workerOnMoves_ = false;
};
