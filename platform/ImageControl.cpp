#include "platform/ImageControl.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

Qt::CursorShape ToQtCursor(CursorKind kind) {
    switch (kind) {
        case CursorKind::Hand:
            return Qt::PointingHandCursor;
        case CursorKind::HourGlass:
            return Qt::WaitCursor;
        case CursorKind::Default:
            break;
    }
    return Qt::ArrowCursor;
}

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageControl::SetCanvasSize(QSize size) {
    canvasSize_ = size;
    setFixedSize(size);
    const qreal ratio = devicePixelRatioF();
    canvas_ = QPixmap(std::lround(size.width() * ratio), std::lround(size.height() * ratio));
    canvas_.setDevicePixelRatio(ratio);
    canvas_.fill(palette().color(QPalette::Window));
    update();
}

void ImageControl::DrawPicture(QPoint topLeft, const QPixmap& picture) {
    QPainter painter(&canvas_);
    painter.drawPixmap(topLeft, picture);
    painter.end();
    update(QRect(topLeft, picture.deviceIndependentSize().toSize()));
}

void ImageControl::DrawPicture(QPoint topLeft, const QImage& picture) {
    QPainter painter(&canvas_);
    painter.drawImage(topLeft, picture);
    painter.end();
    update(QRect(topLeft, picture.deviceIndependentSize().toSize()));
}

void ImageControl::FillRect(const QRect& rect, const QColor& colour) {
    QPainter painter(&canvas_);
    painter.fillRect(rect, colour);
    painter.end();
    update(rect);
}

void ImageControl::ShowPicture(const QImage& picture) {
    canvas_.fill(palette().color(QPalette::Window));
    DrawPicture(QPoint(0, 0), picture);
    update();
}

void ImageControl::SetCursorKind(CursorKind kind) {
    cursorKind_ = kind;
    setCursor(ToQtCursor(kind));
}

void ImageControl::SetFocusMark(const QRect& mark) {
    mark_ = mark;
    update();
    TellFocusedCell();
}

bool ImageControl::FocusMarkShown() const {
    return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

QRect ImageControl::FocusMark() const {
    return mark_.isEmpty() ? rect() : mark_;
}

QSize ImageControl::Cells() const {
    const QRect mark = FocusMark();
    return QSize(width() / mark.width(), height() / mark.height());
}

int ImageControl::FocusedCell() const {
    const QRect mark = FocusMark();
    return mark.top() / mark.height() * Cells().width() + mark.left() / mark.width();
}

void ImageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (canvas_.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    painter.drawPixmap(QPoint(0, 0), canvas_);
    if (!FocusMarkShown()) return;
    // A wide frame in the highlight colour with a thin light line inside
    // stands out on the dark squares, the light ones and any photo.
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    const QRectF mark = FocusMark();
    painter.drawRect(mark.adjusted(1.5, 1.5, -1.5, -1.5));
    painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1));
    painter.drawRect(mark.adjusted(3.5, 3.5, -3.5, -3.5));
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    const QPoint at = event->position().toPoint();
    if (onMouseDown) onMouseDown(event->button(), at.x(), at.y());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !leftPressed_) return;
    leftPressed_ = false;
    if (rect().contains(event->position().toPoint()) && onClick) onClick();
}

void ImageControl::keyPressEvent(QKeyEvent* event) {
    QPoint step;
    switch (event->key()) {
        case Qt::Key_Left:
            step = {-1, 0};
            break;
        case Qt::Key_Right:
            step = {1, 0};
            break;
        case Qt::Key_Up:
            step = {0, -1};
            break;
        case Qt::Key_Down:
            step = {0, 1};
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            window()->setAttribute(Qt::WA_KeyboardFocusChange);
            update();
            if (event->isAutoRepeat()) return;  // a held key is one click, as a held button is
            const QPoint at = FocusMark().center();
            if (onMouseDown) onMouseDown(Qt::LeftButton, at.x(), at.y());
            if (onClick) onClick();
            return;
        }
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    update();
    const QRect mark = FocusMark();
    const QRect moved = mark.translated(step.x() * mark.width(), step.y() * mark.height());
    if (!rect().contains(moved)) {
        event->ignore();
        return;
    }
    SetFocusMark(moved);
}

void ImageControl::focusInEvent(QFocusEvent* event) {
    update();
    // Qt tells a screen reader of the control's own focus after this
    // handler; the cell's focus has to follow that, not precede it.
    QMetaObject::invokeMethod(this, &ImageControl::TellFocusedCell, Qt::QueuedConnection);
    QWidget::focusInEvent(event);
}

void ImageControl::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void ImageControl::TellFocusedCell() {
    if (!cellName || !hasFocus() || !QAccessible::isActive()) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(FocusedCell());
    QAccessible::updateAccessibility(&focus);
}
