#include "app/MainUnit.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
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
#include "platform/Announcer.h"
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
    _pAnnouncer = std::make_unique<Announcer>(this);
    _pParty->announcer = _pAnnouncer.get();
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
    // A screen reader hears the moves line by its text.
    const auto nameMoves = [this](const QString& text) {
        ui->MovesList->setAccessibleName(text.isEmpty() ? QStringLiteral("Ходов нет") : text);
    };
    connect(ui->MovesList, &QLineEdit::textChanged, this, nameMoves);
    nameMoves(ui->MovesList->text());
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
// The arrow keys that a thumbnail passes on move the focus between them.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->IntroBox && event->type() == QEvent::KeyPress)
        return ui->IntroBox->isHidden() || StepChooserFocus(static_cast<QKeyEvent*>(event)->key());
    return QMainWindow::eventFilter(watched, event);
}

// Tab and Shift+Tab go between the photo side (the chooser's thumbnail or the
// photo) and the board, when both can take the focus; nothing else is a stop.
bool TMainForm::focusNextPrevChild(bool next) {
    QWidget* side = ui->IntroBox->isVisible() ? ui->IntroBox->focusProxy() : ui->GirlImage;
    QWidget* target = ui->_pPartyArea->hasFocus() ? side : ui->_pPartyArea;
    if (target == nullptr || !target->isEnabled() || !target->isVisible()) return false;
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
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
    _bInGame = false;
    ui->GirlImage->setEnabled(true);
    ShowResult(_pParty->duel != 0 ? QStringLiteral("Верхние выиграли!")
                                  : QStringLiteral("Ты проиграл!"));
}

void TMainForm::OnBottomWins() {
    _pPauseTimer.SetEnabled(false);
    _bInGame = false;
    ui->_pPartyArea->setEnabled(false);
    ui->NDraw->setEnabled(false);
    if (_pParty->duel != 0) {
        ShowResult(QStringLiteral("Нижние выиграли!"));
        return;
    }
    const QString caption = RewardWin();
    const HData& girl = *_pGirls[_nGirl];
    ShowResult(
        caption,
        QStringLiteral("Открыто фото %1 из %2").arg(girl.shown + 1).arg(girl.photos.Count()));
}

// The result over the board is spoken too. A board that had the keyboard
// lost it as it was locked; the photo, ready to start the next game, takes it.
void TMainForm::ShowResult(const QString& caption, const QString& spokenAfter) {
    ui->_pEndPanel->setText(caption);
    ui->_pEndPanel->show();
    _pAnnouncer->Say(spokenAfter.isEmpty() ? caption : caption + QStringLiteral(" ") + spokenAfter);
    if (focusWidget() == nullptr && ui->GirlImage->isEnabled()) ui->GirlImage->setFocus();
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
    ui->IntroBox->setFocus();  // its first thumbnail
}

void TMainForm::NDuelClick() {
    if (!ConfirmNewGame()) return;
    SetOuterWidth(this, kBoardOnly);
    ui->NOffOnPhoto->setEnabled(false);
    _bInGame = true;
    ui->_pPartyArea->setEnabled(true);
    _pParty->NewGame(Bottom, 1);
    ui->_pPartyArea->setFocus();
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
    ui->_pPartyArea->setFocus();
}

void TMainForm::NDrawClick() {
    if (_pParty->AcceptsDraw()) {
        _pPauseTimer.SetEnabled(false);
        ui->_pPartyArea->setEnabled(false);
        ui->GirlImage->setEnabled(true);
        _pParty->Halt();
        // A selected piece may be blinked away, or a move shown halfway with
        // its captured pieces still standing: the ended game shows its
        // final position.
        _pParty->Redraw();
        _bInGame = false;
        ShowResult(QStringLiteral("Ничья"));
        return;
    }
    _pPauseTimer.SetEnabled(true);
    ShowResult(QStringLiteral("Ни за что!"));
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
