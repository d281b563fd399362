#pragma once

#include <QWidget>
#include <array>

// A hidden notification that tells the accessibility bus it has appeared; a
// screen reader then speaks its name (Orca does so by default), wherever the
// keyboard focus is. Qt 6.4 has no announcement event of its own.
class Notice : public QWidget {
public:
    explicit Notice(QWidget* parent) : QWidget(parent) { hide(); }
};

// Says short texts to a screen reader, each through a notice of its own: a
// screen reader reads the name only once the event reaches it, and by then a
// quick reply may have been said. The ring keeps the last few readable.
class Announcer {
public:
    explicit Announcer(QWidget* window);

    void Say(const QString& text);

private:
    std::array<Notice*, 8> notices_{};
    size_t next_ = 0;
};
