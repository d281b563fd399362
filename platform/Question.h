#pragma once

#include <QString>
#include <functional>

class QWidget;

// Asks a Yes/No question in a modal box with a question icon, No being the
// default; true means Yes. The box runs its own event loop, so timer ticks and
// posted messages keep arriving while it is open.
bool AskYesNo(QWidget* parent, const QString& caption, const QString& text);

// Who answers the questions: the real box when empty. Tests answer in its place
// (and may run the event loop meanwhile, as the box would).
using QuestionAnswerer =
    std::function<bool(QWidget* parent, const QString& caption, const QString& text)>;
void SetQuestionAnswerer(QuestionAnswerer answerer);
