#include "platform/ImageControl.h"

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

void ImageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (canvas_.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    painter.drawPixmap(QPoint(0, 0), canvas_);
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
