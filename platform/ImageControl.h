#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "platform/Cursor.h"

Qt::CursorShape ToQtCursor(CursorKind kind);

// An image control: a picture of fixed logical size that other pictures are
// drawn on unscaled at pixel positions. The picture is kept at the screen's
// device pixel ratio, so pictures painted at that ratio stay crisp, and in
// the screen's own pixel format, so a paint is a plain copy: converting it
// per paint would hand the work to Qt's pooled threads and wait for them.
//
// A disabled control takes no mouse input. The mouse-down handler gets the
// button and the logical pixel position; the click handler runs when the left
// button goes down and up again over the control.
class ImageControl : public QWidget {
    Q_OBJECT

public:
    explicit ImageControl(QWidget* parent = nullptr);

    // Makes the picture this many logical pixels and fixes the control's size
    // to it; the picture starts filled with the window's background colour.
    void SetCanvasSize(QSize size);
    QSize CanvasSize() const { return canvasSize_; }
    qreal CanvasRatio() const { return canvas_.devicePixelRatio(); }
    QImage Canvas() const { return canvas_.toImage(); }

    void DrawPicture(QPoint topLeft, const QPixmap& picture);
    void DrawPicture(QPoint topLeft, const QImage& picture);
    void FillRect(const QRect& rect, const QColor& colour);

    // Shows a picture unscaled from the top-left corner over the background.
    void ShowPicture(const QImage& picture);

    void SetCursorKind(CursorKind kind);
    CursorKind CursorKindShown() const { return cursorKind_; }

    std::function<void(Qt::MouseButton button, int x, int y)> onMouseDown;
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSize canvasSize_;
    QPixmap canvas_;
    CursorKind cursorKind_ = CursorKind::Default;
    bool leftPressed_ = false;
};
