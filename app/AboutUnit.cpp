#include "app/AboutUnit.h"

#include <QMouseEvent>
#include <QUrl>

#include "app/WindowFont.h"
#include "platform/ShellOpen.h"
#include "ui_AboutForm.h"

namespace {

const char kAuthor[] = PELVANTA_AUTHOR;
const char kMailLink[] = "mailto:pelvanta@example.org";

constexpr int kFontPixels = 11;

}  // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner), ui(new Ui::AboutForm) {
    ui->setupUi(this);
    // A dialog border with no buttons on its title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    setFont(WindowFont(kFontPixels));

    ui->Label1->setFont(WindowFont(kFontPixels, true));
    QPalette red = ui->Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui->Label1->setPalette(red);

    ui->Label3->setFont(WindowFont(kFontPixels, true));
    ui->Label3->setText(QString::fromUtf8(kAuthor));

    QFont link = WindowFont(kFontPixels, true);
    link.setUnderline(true);
    ui->StaticText1->setFont(link);
    QPalette navy = ui->StaticText1->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui->StaticText1->setPalette(navy);
    ui->StaticText1->installEventFilter(this);

    ui->Button1->setFocus();
}

TAboutForm::~TAboutForm() = default;

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->StaticText1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        StaticText1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::StaticText1Click() {
    ShellOpen(QUrl(QString::fromUtf8(kMailLink)));
}
