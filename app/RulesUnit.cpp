#include "app/RulesUnit.h"

#include <QFileInfo>
#include <QUrl>

#include "ui_RulesForm.h"

TRulesForm::TRulesForm(QWidget* owner) : QDialog(owner), ui(new Ui::RulesForm) {
    ui->setupUi(this);
    setModal(false);
}

TRulesForm::~TRulesForm() = default;

void TRulesForm::ShowPage(const QString& fileName) {
    if (QFileInfo(fileName).isFile()) {
        ui->RulesText->setSource(QUrl::fromLocalFile(fileName));
    } else {
        ui->RulesText->setPlainText(QStringLiteral("Файл правил не найден: ") + fileName);
    }
    show();
    raise();
    activateWindow();
}
