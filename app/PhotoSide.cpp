// The right-hand side of the main window: the opponent chooser and the photo
// panel that reveals an opponent's next photo after each win.

#include <QImage>
#include <QScrollArea>
#include <string>

#include "app/MainUnit.h"
#include "engine/EngineParams.h"
#include "photos/Jpeg.h"
#include "platform/Cursor.h"
#include "platform/ImageControl.h"
#include "platform/MainWindow.h"
#include "rules/Hparty.h"
#include "ui_MainForm.h"

namespace {

constexpr int kThumbSide = 137;
constexpr int kThumbPitch = 142;
constexpr int kThumbMargin = 5;

// The image shares the pixels, which must outlive its use.
QImage ToQImage(const Image& picture) {
    return QImage(picture.rgb.data(), picture.width, picture.height, 3 * picture.width,
                  QImage::Format_RGB888);
}

}  // namespace

void TMainForm::LoadGirls() {
    SetScreenCursor(CursorKind::HourGlass);
    for (int32_t i = 0; i < _pGirlIcons.Count(); ++i) delete *_pGirlIcons[i];
    _pGirlIcons.Clear();
    _pGirls.Clear();
    for (int32_t i = 0; i < kGalleryFiles; ++i) {
        HData girl;
        const std::string name = GalleryFileName(i);
        if (!girl.Load(name.c_str())) continue;  // no thumbnail, and no gap
        const int32_t n = _pGirlIcons.Count();
        auto* icon = new ImageControl(ui->IntroBoxContents);
        icon->move(kThumbMargin + kThumbPitch * (n % 2), kThumbMargin + kThumbPitch * (n / 2));
        icon->SetCanvasSize(QSize(kThumbSide, kThumbSide));
        icon->ShowPicture(ToQImage(*girl.icon));
        icon->SetCursorKind(CursorKind::Hand);
        icon->setFocusPolicy(Qt::TabFocus);
        icon->onClick = [this, icon] { IntroClick(icon); };
        icon->show();
        _pGirlIcons.Add(icon);
        _pGirls.Add(girl);
    }
    // The chooser's keyboard focus starts on the first thumbnail.
    ui->IntroBox->setFocusProxy(_pGirlIcons.Count() > 0 ? *_pGirlIcons[0] : nullptr);
    for (int32_t n = 0; n < _pGirlIcons.Count(); ++n)
        (*_pGirlIcons[n])
            ->setAccessibleName(
                QStringLiteral("Соперница %1 из %2").arg(n + 1).arg(_pGirlIcons.Count()));
    const int rows = (_pGirlIcons.Count() + 1) / 2;
    ui->IntroBoxContents->resize(kThumbMargin + kThumbPitch + kThumbSide,
                                 kThumbMargin + kThumbPitch * rows);
    SetScreenCursor(CursorKind::Default);
}

void TMainForm::IntroClick(ImageControl* sender) {
    ui->IntroBox->hide();
    _nGirl = _pGirlIcons.IndexOf(sender);
    HData& girl = *_pGirls[_nGirl];
    girl.shown = 0;
    girl.level = 0;
    ShowPhoto(girl);
    _pParty->SetThinkTime(1000);
    engineParams = girl.Params();
    StartGirlGame();
}

// The photo is decoded as it is shown, about a millisecond; its archive was
// refused at load had it not decoded.
void TMainForm::ShowPhoto(const HData& girl) {
    Image pixels;
    std::string reason;
    if (DecodeJpeg((*girl.photos[girl.shown])->jpeg, pixels, reason))
        ui->GirlImage->ShowPicture(ToQImage(pixels));
    ui->GirlImage->setAccessibleName(
        QStringLiteral("Фото %1 из %2").arg(girl.shown + 1).arg(girl.photos.Count()));
}

// Left and Right go to the previous and next thumbnail, Up and Down a row
// up or down; the focus stops at the first and the last.
bool TMainForm::StepChooserFocus(int key) {
    int32_t n = -1;
    for (int32_t i = 0; i < _pGirlIcons.Count(); ++i)
        if (*_pGirlIcons[i] == focusWidget()) n = i;
    int step = 0;
    if (key == Qt::Key_Left || key == Qt::Key_Right) step = key == Qt::Key_Left ? -1 : 1;
    if (key == Qt::Key_Up || key == Qt::Key_Down) step = key == Qt::Key_Up ? -2 : 2;
    if (n < 0 || step == 0) return false;
    if (n + step < 0 || n + step >= _pGirlIcons.Count()) return true;
    ImageControl* icon = *_pGirlIcons[n + step];
    icon->setFocus();
    ui->IntroBox->ensureWidgetVisible(icon, kThumbMargin, kThumbMargin);
    return true;
}

QString TMainForm::RewardWin() {
    HData& girl = *_pGirls[_nGirl];
    const int32_t n = girl.photos.Count();
    QString text;
    if (girl.level + 2 == n) {
        text = QStringLiteral("Полная победа!");
        ++girl.level;
    } else if (girl.level + 2 < n) {
        text = QStringLiteral("Ты победил!");
        ++girl.level;
    } else {
        text = QStringLiteral("Полная победа!");
    }
    girl.shown = girl.level;
    ShowPhoto(girl);
    ui->GirlImage->setEnabled(true);
    ui->NNextPhoto->setEnabled(false);
    ui->NPreviousPhoto->setEnabled(true);
    return text;
}

void TMainForm::GirlImageClick() {
    StartGirlGame();
}

void TMainForm::NNextPhotoClick() {
    HData& girl = *_pGirls[_nGirl];
    if (girl.shown >= girl.level) return;  // only photos already reached
    ++girl.shown;
    ShowPhoto(girl);
    ui->NNextPhoto->setEnabled(girl.shown < girl.level);
    ui->NPreviousPhoto->setEnabled(true);
}

void TMainForm::NPreviousPhotoClick() {
    HData& girl = *_pGirls[_nGirl];
    if (girl.shown <= 0) return;
    --girl.shown;
    ShowPhoto(girl);
    ui->NPreviousPhoto->setEnabled(girl.shown != 0);
    ui->NNextPhoto->setEnabled(true);
}

void TMainForm::NOffOnPhotoClick() {
    if (OuterWidth(this) == kWidePhotoSide) {
        SetOuterWidth(this, kBoardOnly);
        ui->NOffOnPhoto->setText(QStringLiteral("Показать фото"));
    } else {
        SetOuterWidth(this, kWidePhotoSide);
        ui->NOffOnPhoto->setText(QStringLiteral("Спрятать фото"));
    }
}
