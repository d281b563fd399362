#include "app/MainUnit.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <stdexcept>

#include "app/AboutUnit.h"
#include "app/PiecePictures.h"
#include "app/PlayFolder.h"
#include "app/RulesUnit.h"
#include "app/WindowFont.h"
#include "engine/EngineParams.h"
#include "platform/ImageControl.h"
#include "platform/MainWindow.h"
#include "platform/Os.h"
#include "platform/Question.h"
#include "platform/ShellOpen.h"
#include "rules/Hparty.h"
#include "ui_MainForm.h"

namespace {

constexpr int kClientWidth = 710;
constexpr int kClientHeight = 441;
constexpr int kWidePhotoSide = 716;  // outer widths: photo side shown
constexpr int kBoardOnly = 418;      // and cut off by the window's edge

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainForm),
      _pPauseTimer(600, [this] { _pPauseTimerTimer(); }) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    ApplyFonts();
    setFixedSize(kClientWidth, kClientHeight + ui->MainMenu1->sizeHint().height());

    AboutForm = new TAboutForm(this);
    _bInGame = false;
    SeedRandomFromClock();
    if (!AttachMainWindowMessages(this))
        throw std::runtime_error("Window messages 1025-1027 are taken by another component.");
    engineParams.searchDepth = 25;

    ui->_pPartyArea->SetCanvasSize(QSize(8 * HParty::kSquare, 8 * HParty::kSquare));
    ui->GirlImage->SetCanvasSize(ui->GirlImage->size());
    MakePictures();

    _pParty = std::make_unique<HParty>(this, ui->_pPartyArea);
    _pParty->topManPicture = &TopShashka;
    _pParty->bottomManPicture = &BottomShashka;
    _pParty->topKingPicture = &TopDamka;
    _pParty->bottomKingPicture = &BottomDamka;
    _pParty->cellPicture = &_pCell;
    _pParty->movesList = ui->MovesList;
    _pParty->ClearBoard();
    _pParty->handicapItem = ui->NCheat;

    WireMenu();
    ui->IntroBox->installEventFilter(this);
    LoadGirls();
    NGirlsClick();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    ui->IntroBox->setFocus();
}

TMainForm::~TMainForm() {
    // Every worker is joined before the window that receives their messages goes.
    _pParty.reset();
    DetachMainWindowMessages();
}

void TMainForm::ApplyFonts() {
    setFont(WindowFont(11, false));
    ui->MainMenu1->setFont(WindowFont(11, false));
    const QFont coordinates = WindowFont(13, true);
    for (QLabel* label : ui->ClientArea->findChildren<QLabel*>()) {
        if (label == ui->_pEndPanel) continue;
        label->setFont(coordinates);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    ui->_pEndPanel->setFont(WindowFont(11, true));
    ui->MovesList->setFont(WindowFont(19, false));
    QPalette palette = ui->MovesList->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    ui->MovesList->setPalette(palette);
}

void TMainForm::MakePictures() {
    const qreal ratio = ui->_pPartyArea->CanvasRatio();
    BottomShashka = PaintPiece(Bottom, false, ratio);
    TopShashka = PaintPiece(Top, false, ratio);
    TopDamka = PaintPiece(Top, true, ratio);
    BottomDamka = PaintPiece(Bottom, true, ratio);
    _pCell = PaintEmptySquare(ratio);
}

void TMainForm::WireMenu() {
    connect(ui->NGirls, &QAction::triggered, this, [this] { NGirlsClick(); });
    connect(ui->NDuel, &QAction::triggered, this, [this] { NDuelClick(); });
    connect(ui->NCheat, &QAction::triggered, this, [this] { NCheatClick(); });
    connect(ui->NDraw, &QAction::triggered, this, [this] { NDrawClick(); });
    connect(ui->NExit, &QAction::triggered, this, [this] { NExitClick(); });
    connect(ui->NRules, &QAction::triggered, this, [this] { NRulesClick(); });
    connect(ui->NAbout, &QAction::triggered, this, [this] { NAboutClick(); });
    connect(ui->NOffOnPhoto, &QAction::triggered, this, [this] { NOffOnPhotoClick(); });
    connect(ui->NNextPhoto, &QAction::triggered, this, [this] { NNextPhotoClick(); });
    connect(ui->NPreviousPhoto, &QAction::triggered, this, [this] { NPreviousPhotoClick(); });
    ui->GirlImage->onClick = [this] { GirlImageClick(); };
}

// ---------------------------------------------------------------- messages

bool TMainForm::event(QEvent* event) {
    if (IsAppMessage(event->type())) {
        Dispatch(uint32_t(event->type()));
        return true;
    }
    return QMainWindow::event(event);
}

// The hidden chooser may keep the keyboard focus; keys it gets then (the page
// keys once the photo items are disabled) must not scroll it out of sight.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->IntroBox && event->type() == QEvent::KeyPress && ui->IntroBox->isHidden())
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Dispatch(uint32_t message) {
    switch (message) {
        case kMsgWorkerReady:
            OnComputerMove();
            break;
        case kMsgBottomCannotMove:
            OnTopWins();
            break;
        case kMsgTopCannotMove:
            OnBottomWins();
            break;
        default:
            break;
    }
}

void TMainForm::OnComputerMove() {
    _pParty->OnWorkerReady();
}

void TMainForm::OnTopWins() {
    _pPauseTimer.SetEnabled(false);  // a pending refusal must not hide the result
    ui->_pPartyArea->setEnabled(false);
    ui->NDraw->setEnabled(false);
    ui->_pEndPanel->setText(_pParty->duel != 0 ? QStringLiteral("Верхние выиграли!")
                                               : QStringLiteral("Ты проиграл!"));
    ui->_pEndPanel->show();
    _bInGame = false;
    ui->GirlImage->setEnabled(true);
}

void TMainForm::OnBottomWins() {
    _pPauseTimer.SetEnabled(false);
    _bInGame = false;
    ui->_pPartyArea->setEnabled(false);
    ui->NDraw->setEnabled(false);
    if (_pParty->duel != 0) {
        ui->_pEndPanel->setText(QStringLiteral("Нижние выиграли!"));
    } else {
        ui->_pEndPanel->setText(RewardWin());
    }
    ui->_pEndPanel->show();
}

// ---------------------------------------------------------------- closing

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void TMainForm::FormClose(QCloseEvent* event) {
    if (_bInGame &&
        !AskYesNo(this, QStringLiteral("Выход"), QStringLiteral("Прекратить текущую партию?"))) {
        event->ignore();
        return;
    }
    // Every search is stopped before the process ends, as before a new game:
    // its end raises the search threads, and one still searching would then
    // hold a core at the highest priority until the process is gone.
    _pParty->Halt();
    event->accept();
}

void TMainForm::NExitClick() {
    close();
}

// ---------------------------------------------------------------- game flow

bool TMainForm::ConfirmNewGame() {
    if (_bInGame &&
        !AskYesNo(this, QStringLiteral("Новая"), QStringLiteral("Прекратить текущую партию?")))
        return false;
    _bInGame = false;
    ui->GirlImage->setEnabled(false);
    ui->MovesList->clear();
    ui->_pEndPanel->hide();
    _pParty->Halt();
    _pParty->ClearBoard();
    ui->_pPartyArea->setEnabled(false);
    ui->NDraw->setEnabled(false);
    ui->NNextPhoto->setEnabled(false);
    ui->NPreviousPhoto->setEnabled(false);
    return true;
}

void TMainForm::NGirlsClick() {
    if (!ConfirmNewGame()) return;
    SetOuterWidth(this, kWidePhotoSide);
    ui->NOffOnPhoto->setEnabled(true);
    ui->NOffOnPhoto->setText(QStringLiteral("Спрятать фото"));
    ui->PhotoPanel->hide();
    ui->IntroBox->verticalScrollBar()->setValue(0);  // the chooser opens at its top
    ui->IntroBox->show();
}

void TMainForm::NDuelClick() {
    if (!ConfirmNewGame()) return;
    SetOuterWidth(this, kBoardOnly);
    ui->NOffOnPhoto->setEnabled(false);
    _bInGame = true;
    ui->_pPartyArea->setEnabled(true);
    _pParty->NewGame(Bottom, 1);
}

void TMainForm::StartGirlGame() {
    ui->MovesList->clear();
    ui->_pEndPanel->hide();
    _bInGame = true;
    ui->_pPartyArea->setEnabled(true);
    ui->IntroBox->hide();
    ui->PhotoPanel->show();
    ui->NDraw->setEnabled(true);
    ui->GirlImage->setEnabled(false);
    _pParty->NewGame(Bottom, 0);
    ui->NCheat->setVisible(true);
}

void TMainForm::NDrawClick() {
    if (_pParty->AcceptsDraw()) {
        _pPauseTimer.SetEnabled(false);
        ui->_pPartyArea->setEnabled(false);
        ui->GirlImage->setEnabled(true);
        ui->_pEndPanel->setText(QStringLiteral("Ничья"));
        ui->_pEndPanel->show();
        _pParty->Halt();
        // A selected piece may be blinked away, or a move shown halfway with
        // its captured pieces still standing: the ended game shows its
        // final position.
        _pParty->Redraw();
        _bInGame = false;
        return;
    }
    _pPauseTimer.SetEnabled(true);
    ui->_pEndPanel->setText(QStringLiteral("Ни за что!"));
    ui->_pEndPanel->show();
}

void TMainForm::_pPauseTimerTimer() {
    _pPauseTimer.SetEnabled(false);
    ui->_pEndPanel->hide();
}

void TMainForm::NCheatClick() {
    const bool more = _pParty->board.RemoveHandicapMan();
    ui->NCheat->setVisible(more);
    _pParty->Redraw();
    if (_bInGame) {
        _pParty->Halt();
        _pParty->NextTurn();
    }
}

// ---------------------------------------------------------------- help

void TMainForm::NRulesClick() {
    OpenRulesPage(RulesPagePath());
}

// The desktop's own viewer when it has one; otherwise the program shows the
// page itself, rather than nothing.
void TMainForm::OpenRulesPage(const QString& fileName) {
    QPointer<TMainForm> self(this);
    ShellOpen(QUrl::fromLocalFile(fileName), [self, fileName] {
        if (self.isNull()) return;
        if (self->RulesForm == nullptr) self->RulesForm = new TRulesForm(self);
        self->RulesForm->ShowPage(fileName);
    });
}

void TMainForm::NAboutClick() {
    AboutForm->exec();
}
