#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class RulesForm;
}

// The rules page in a window of the program's own, for a desktop that has no
// program for HTML pages: read-only, the page's links to its own sections
// work. Not modal, so the game goes on beside it.
class TRulesForm : public QDialog {
    Q_OBJECT

public:
    explicit TRulesForm(QWidget* owner);
    ~TRulesForm() override;

    Ui::RulesForm& Controls() { return *ui; }

    // Shows the page of that file, from its top, and brings the window up.
    void ShowPage(const QString& fileName);

private:
    std::unique_ptr<Ui::RulesForm> ui;
};
