#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutForm;
}

// The about box: the title, the version and a link for writing to the author.
// Made once by the main window and shown again on each request.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* owner);
    ~TAboutForm() override;

    Ui::AboutForm& Controls() { return *ui; }

    // Opens a new message to the author in the user's mail program.
    void StaticText1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutForm> ui;
};
