#include "rules/Hparty.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <algorithm>

#include "platform/Announcer.h"
#include "platform/Cursor.h"
#include "platform/ImageControl.h"
#include "platform/Os.h"

namespace {

// The selected piece flashes: shown on one tick, gone on the next.
bool blinkPhase = false;

// The application cursor is switched there and straight back, which makes the
// system show the control's new cursor at once, without a mouse move.
void NudgeScreenCursor(CursorKind kind) {
    SetScreenCursor(kind);
    SetScreenCursor(CursorKind::Default);
}

}  // namespace

HParty::HParty(QWidget* form, ImageControl* boardImage)
    : form(form),
      boardImage(boardImage),
      animTimer(300, [this] { AnimateStep(); }),
      thinkTimer(1000, [this] { TakeResult(); }),
      blinkTimer(200, [this] { BlinkTick(); }) {
    boardImage->onMouseDown = [this](Qt::MouseButton button, int x, int y) {
        OnBoardMouseDown(button, x, y);
    };
    boardImage->cellName = [this](int column, int row) {
        return SquareName(Point{column + 1, 8 - row});
    };
    MarkSquare(Point{1, 1});
    // Fifty workers, enough for a whole turn, are ready from the start; the
    // rest are made when first needed, while earlier ones are still busy.
    for (int32_t i = 0; i < kWorkers; ++i) workers[i].MakeReady();
}

HParty::~HParty() {
    // The timers go first; every worker is told to stop, and each waits for
    // its own thread as it is destroyed, at the program's end.
    animTimer.SetEnabled(false);
    thinkTimer.SetEnabled(false);
    blinkTimer.SetEnabled(false);
    StopAllWorkers();
    boardImage->onMouseDown = nullptr;
    boardImage->cellName = nullptr;
}

// ---------------------------------------------------------------- game

void HParty::NewGame(uint8_t firstSide, uint8_t duelFlag) {
    duel = duelFlag;
    Halt();
    board.SetInitial();
    sideToMove = firstSide;
    lastComputerValue = 0;
    Redraw();
    NextTurn();
    // The keyboard starts on a piece that can move.
    if (moves.Count() > 0) MarkSquare(moves.Move(0).steps[0].pos);
}

void HParty::Halt() {
    NameTurn({});
    activeWorker = nullptr;
    StopAllWorkers();
    animTimer.SetEnabled(false);
    blinkTimer.SetEnabled(false);
    thinkTimer.SetEnabled(false);
}

void HParty::ClearBoard() {
    board.Clear();
    Redraw();
}

bool HParty::AcceptsDraw() const {
    return board.bottomKings != 0 && lastComputerValue >= 0;
}

void HParty::SetThinkTime(int32_t milliseconds) {
    thinkTimer.SetInterval(milliseconds);
}

// ---------------------------------------------------------------- the computer's turn

void HParty::NextTurn() {
    const int32_t n = moves.Generate(sideToMove, board);
    if (n > 0) {
        if (sideToMove == Bottom || duel != 0) {
            StartPondering();
        } else {
            ComputerTurn();
        }
        return;
    }
    SideToMoveHasLost();
}

// The game is over: nothing may go on thinking about it, and the window hears
// which side could not move.
void HParty::SideToMoveHasLost() {
    NameTurn({});
    StopAllWorkers();
    PostToMainWindow(sideToMove == Bottom ? kMsgBottomCannotMove : kMsgTopCannotMove);
}

HAnalyzThread* HParty::FreeWorker() {
    for (HAnalyzThread& worker : workers)
        if (!worker.Claimed() && !worker.Busy()) return &worker;
    return nullptr;
}

void HParty::StartPondering() {
    boardImage->SetCursorKind(CursorKind::Hand);
    NudgeScreenCursor(CursorKind::Hand);
    if (duel == 0) {
        NameTurn(QStringLiteral("твой ход"));
    } else {
        NameTurn(sideToMove == Bottom ? QStringLiteral("ход нижних")
                                      : QStringLiteral("ход верхних"));
    }
    activeWorker = nullptr;
    stepIndex = 0;
    StopAllWorkers();  // whatever an earlier turn left claimed
    if (duel != 0) return;

    // A player with more than fifty moves has the rest answered by a fresh
    // search when one of them is played (ComputerTurn); so has every move
    // left when no worker is free.
    const int32_t pondered = std::min(moves.Count(), kWorkers);
    ponderCount = 0;
    for (int32_t i = 0; i < pondered; ++i) {
        HAnalyzThread* worker = FreeWorker();
        if (worker == nullptr) break;
        HMove& move = moves.Move(i);
        board.ApplyMove(move);
        worker->RootList().Generate(Opponent(sideToMove), board);
        const bool started = worker->Start();  // copies the position
        board.UndoMove(move);
        if (!started) break;  // out of memory: as when no worker is free
        ponderWorkers[i] = worker;
        ponderCount = i + 1;
    }
}

void HParty::ComputerTurn() {
    boardImage->SetCursorKind(CursorKind::HourGlass);
    NudgeScreenCursor(CursorKind::HourGlass);
    NameTurn(QStringLiteral("ход соперницы"));
    thinkTimer.SetEnabled(true);
    if (ponderCount <= 0 || humanMoveIndex < 0 || humanMoveIndex >= ponderCount) {
        // Nothing pondered the move played: search the replies afresh; the
        // timer's tick takes the move.
        StopAllWorkers();
        activeWorker = FreeWorker();
        if (activeWorker != nullptr) {
            activeWorker->RootList().Generate(sideToMove, board);
            if (activeWorker->Start()) return;
        }
        // No worker free, or no memory for its search: the replies' own gains decide.
        activeWorker = &unsearched_;
        unsearched_.RootList().Generate(sideToMove, board);
        unsearched_.StartUnsearched();
        return;
    }
    for (int32_t i = 0; i < ponderCount; ++i)
        if (i != humanMoveIndex) ponderWorkers[i]->Abort();
    activeWorker = ponderWorkers[humanMoveIndex];
    activeWorker->RequestNotice();
}

void HParty::OnWorkerReady() {
    // A notice carries no data. One from an earlier turn or game finds the
    // kept search still running, or none kept, and must not cut it short.
    if (activeWorker != nullptr && activeWorker->Finished()) TakeResult();
}

void HParty::TakeResult() {
    if (activeWorker == nullptr) return;
    HAnalyzThread* worker = activeWorker;
    activeWorker = nullptr;
    thinkTimer.SetEnabled(false);
    worker->Abort();
    const HMove* move = worker->PickMove();
    if (move == nullptr) {
        SideToMoveHasLost();  // no reply listed: the computer, to move, has none
        return;
    }
    computerMove = *move;
    lastComputerValue = computerMove.value;
    sideToMove = Opponent(sideToMove);
    ApplyComputerMove(&computerMove);
}

void HParty::ApplyComputerMove(HMove* move) {
    board.ApplyMove(*move);
    currentMove = move;
    stepIndex = 1;
    animTimer.SetEnabled(true);
    AppendMoveText(*move);
}

void HParty::StopAllWorkers() {
    for (HAnalyzThread& worker : workers) worker.Abort();
    unsearched_.Abort();
    for (HAnalyzThread*& worker : ponderWorkers) worker = nullptr;
    ponderCount = 0;
}

int32_t HParty::LiveSearches() const {
    int32_t n = 0;
    for (const HAnalyzThread& worker : workers) n += worker.Claimed() ? 1 : 0;
    return n + (unsearched_.Claimed() ? 1 : 0);
}

// ---------------------------------------------------------------- board view

QPoint HParty::SquareTopLeft(Point square) {
    return QPoint((square.x - 1) * kSquare, (8 - square.y) * kSquare);
}

void HParty::Redraw() {
    for (const Point& square : kSquareOrder) DrawCell(board.At(square));
}

void HParty::DrawCell(const HFigura& cell) {
    const QPixmap* picture = nullptr;
    if (cell.owner == Top) {
        picture = cell.king != 0 ? topKingPicture : topManPicture;
    } else if (cell.owner == Bottom) {
        picture = cell.king != 0 ? bottomKingPicture : bottomManPicture;
    }
    if (picture == nullptr) {
        DrawEmpty(cell.pos);
        return;
    }
    boardImage->DrawPicture(SquareTopLeft(cell.pos), *picture);
}

void HParty::DrawEmpty(Point square) {
    if (cellPicture != nullptr) boardImage->DrawPicture(SquareTopLeft(square), *cellPicture);
}

void HParty::MarkSquare(Point square) {
    boardImage->SetFocusMark(QRect(SquareTopLeft(square), QSize(kSquare, kSquare)));
}

void HParty::NameTurn(const QString& whose) {
    form->setAccessibleName(whose.isEmpty() ? QStringLiteral("Pelvanta")
                                            : QStringLiteral("Pelvanta: ") + whose);
}

// What the board shows: while a move is entered, the selected piece stands on
// the last square entered and its starting square looks empty.
QString HParty::SquareName(Point square) const {
    const QString name = QString::fromStdString(square.Text()) + QStringLiteral(", ");
    HFigura shown = board.At(square);
    bool selected = false;
    if (blinkTimer.Enabled() && currentMove != nullptr && stepIndex > 0) {
        if (currentMove->steps[stepIndex - 1].pos == square) {
            shown = currentMove->steps[stepIndex - 1];
            selected = true;
        } else if (currentMove->steps[0].pos == square) {
            shown.owner = Empty;
        }
    }
    if (shown.owner != Bottom && shown.owner != Top) return name + QStringLiteral("пусто");
    const QString side =
        shown.owner == Bottom ? QStringLiteral("нижняя ") : QStringLiteral("верхняя ");
    const QString piece = shown.king != 0 ? QStringLiteral("дамка") : QStringLiteral("шашка");
    return name + side + piece + (selected ? QStringLiteral(", выбрана") : QString());
}

// ---------------------------------------------------------------- move input

void HParty::OnBoardMouseDown(Qt::MouseButton button, int32_t px, int32_t py) {
    // The handicap can only be taken before the first press on the board.
    if (handicapItem != nullptr) handicapItem->setVisible(false);
    if (button != Qt::LeftButton) return;
    if (px < 0 || py < 0 || px >= 8 * kSquare || py >= 8 * kSquare) return;
    const Point square{px / kSquare + 1, 8 - py / kSquare};
    if (!square.IsDark()) return;
    if (boardImage->CursorKindShown() != CursorKind::Hand) return;

    int32_t k = stepIndex;
    const HFigura& cell = board.At(square);
    if (cell.owner != Empty) {
        // A king's capture may come back to its own square; any other
        // occupied square selects a piece.
        const bool backToStart =
            stepIndex > 0 && currentMove != nullptr && currentMove->steps[0].pos == square;
        if (!backToStart) {
            if (cell.owner != sideToMove) return;
            k = 0;
        }
    }

    const int32_t result = moves.Match(square, k, humanMoveIndex);
    if (result == 1) {
        if (blinkTimer.Enabled()) {
            DrawEmpty(currentMove->steps[stepIndex - 1].pos);
            if (k == 0) DrawCell(currentMove->steps[0]);
        } else {
            blinkTimer.SetEnabled(true);
        }
        currentMove = &moves.Move(humanMoveIndex);
        stepIndex = k + 1;
    } else if (result == 2) {
        HMove& move = moves.Move(humanMoveIndex);
        sideToMove = Opponent(sideToMove);
        board.ApplyMove(move);
        currentMove = &move;
        blinkTimer.SetEnabled(false);
        animTimer.SetEnabled(true);
        AppendMoveText(move);
        AnimateStep();
    }
}

void HParty::BlinkTick() {
    const HFigura& piece = currentMove->steps[stepIndex - 1];
    if (blinkPhase) {
        DrawEmpty(piece.pos);
    } else {
        DrawCell(piece);
    }
    blinkPhase = !blinkPhase;
}

void HParty::AnimateStep() {
    while (stepIndex != currentMove->stepCount) {
        DrawEmpty(currentMove->steps[stepIndex - 1].pos);
        DrawCell(currentMove->steps[stepIndex]);
        ++stepIndex;
        // A capture shows one landing per tick.
        if (currentMove->IsCapture()) return;
    }
    animTimer.SetEnabled(false);
    blinkTimer.SetEnabled(false);
    for (int32_t i = 0; i < currentMove->capturedCount; ++i)
        DrawEmpty(currentMove->captured[i].pos);
    NextTurn();
}

void HParty::AppendMoveText(const HMove& move) {
    if (announcer != nullptr) announcer->Say(QString::fromStdString(move.PathText()));
    if (movesList == nullptr) return;
    movesList->setText(movesList->text() + QString::fromStdString(move.Text()));
    movesList->setCursorPosition(int(movesList->text().size()));
}
