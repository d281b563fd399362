#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <cstdint>
#include <memory>

#include "platform/Timer.h"

namespace Ui {
class MainForm;
}
class HParty;
class TAboutForm;

// The program's one window: the board, its coordinates, the moves line, the
// photo side, the result panel over the board and the menus. It owns the game
// object for the whole run and relays the game's posted messages to it.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Starts a game against the current opponent.
    void StartGirlGame();

    // For tests and tools that drive the window: its controls and its game.
    Ui::MainForm& Controls() { return *ui; }
    HParty& Party() { return *_pParty; }
    TAboutForm& About() { return *AboutForm; }
    bool InGame() const { return _bInGame; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Dispatch(uint32_t message);
    void MakePictures();
    void ApplyFonts();
    void WireMenu();

    bool ConfirmNewGame();
    void FormClose(QCloseEvent* event);
    void NExitClick();
    void NGirlsClick();
    void NDuelClick();
    void NDrawClick();
    void NCheatClick();
    void NRulesClick();
    void NAboutClick();
    void _pPauseTimerTimer();

    void OnComputerMove();
    void OnTopWins();
    void OnBottomWins();

    std::unique_ptr<Ui::MainForm> ui;
    TAboutForm* AboutForm = nullptr;
    // The hidden pictures the game draws with, at the screen's pixel ratio.
    QPixmap BottomShashka, TopShashka, TopDamka, BottomDamka, _pCell;
    Timer _pPauseTimer;
    std::unique_ptr<HParty> _pParty;
    bool _bInGame = false;
};
