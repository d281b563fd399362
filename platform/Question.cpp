#include "platform/Question.h"

#include <QMessageBox>
#include <utility>

namespace {

QuestionAnswerer& Answerer() {
    static QuestionAnswerer answerer;
    return answerer;
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
    if (Answerer()) return Answerer()(parent, caption, text);
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void SetQuestionAnswerer(QuestionAnswerer answerer) {
    Answerer() = std::move(answerer);
}
