#include "platform/Announcer.h"

#include <QAccessible>

Announcer::Announcer(QWidget* window) {
    for (Notice*& notice : notices_) notice = new Notice(window);
}

void Announcer::Say(const QString& text) {
    Notice* notice = notices_[next_];
    next_ = (next_ + 1) % notices_.size();
    notice->setAccessibleName(text);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
