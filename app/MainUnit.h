#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <cstdint>
#include <memory>

#include "containers/POrderList.h"
#include "photos/Hdata.h"
#include "platform/Timer.h"

namespace Ui {
class MainForm;
}
class Announcer;
class HParty;
class ImageControl;
class TAboutForm;
class TRulesForm;

// The program's one window: the board, its coordinates, the moves line, the
// photo side, the result panel over the board and the menus. It owns the game
// object for the whole run and relays the game's posted messages to it, and
// the opponents read at start-up with their thumbnails.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // The window's outer widths: with the photo side, and cut off by its edge.
    static constexpr int kWidePhotoSide = 716;
    static constexpr int kBoardOnly = 418;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Starts a game against the current opponent.
    void StartGirlGame();

    // For tests and tools that drive the window: its controls and its game.
    Ui::MainForm& Controls() { return *ui; }
    HParty& Party() { return *_pParty; }
    TAboutForm& About() { return *AboutForm; }
    TRulesForm* RulesViewer() { return RulesForm; }  // none until first needed
    bool InGame() const { return _bInGame; }
    const POrderList<HData>& Girls() const { return _pGirls; }
    const POrderList<ImageControl*>& GirlIcons() const { return _pGirlIcons; }
    int32_t CurrentGirl() const { return _nGirl; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
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
    void OpenRulesPage(const QString& fileName);
    void NAboutClick();
    void _pPauseTimerTimer();

    void OnComputerMove();
    void OnTopWins();
    void OnBottomWins();
    void ShowResult(const QString& caption, const QString& spokenAfter = {});

    // The photo side (PhotoSide.cpp).
    void LoadGirls();
    void IntroClick(ImageControl* sender);
    QString RewardWin();
    void GirlImageClick();
    void NNextPhotoClick();
    void NPreviousPhotoClick();
    void NOffOnPhotoClick();
    void ShowPhoto(const HData& girl);
    bool StepChooserFocus(int key);

    std::unique_ptr<Ui::MainForm> ui;
    TAboutForm* AboutForm = nullptr;
    TRulesForm* RulesForm = nullptr;  // the rules for a desktop that cannot show them
    // Says the moves, the results and the photo a win opens to a screen reader.
    std::unique_ptr<Announcer> _pAnnouncer;
    // The hidden pictures the game draws with, at the screen's pixel ratio.
    QPixmap BottomShashka, TopShashka, TopDamka, BottomDamka, _pCell;
    Timer _pPauseTimer;
    std::unique_ptr<HParty> _pParty;
    POrderList<HData> _pGirls{100};              // the opponents that loaded, in file order
    POrderList<ImageControl*> _pGirlIcons{100};  // their thumbnails, in the same order
    int32_t _nGirl = 0;
    bool _bInGame = false;
};
