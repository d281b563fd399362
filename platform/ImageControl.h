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
//
// The keyboard: a focus mark, the whole picture unless set smaller, is framed
// while the control has the focus and the window's keyboard has been used, so
// a window used only with the mouse looks as it always has. The arrow keys
// step the mark by its own size within the picture (a key that would take it
// out goes on to the parent), and Return or Enter acts as a left click at its
// centre. A control that names its mark-sized cells is a table of them to a
// screen reader, the cell under the mark its focused one.
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

    void SetFocusMark(const QRect& mark);
    QRect FocusMark() const;
    bool FocusMarkShown() const;
    // Cells counted from the top-left, in mark-sized steps.
    QSize Cells() const;
    int FocusedCell() const;

    std::function<void(Qt::MouseButton button, int x, int y)> onMouseDown;
    std::function<void()> onClick;
    std::function<QString(int column, int row)> cellName;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TellFocusedCell();

    QSize canvasSize_;
    QPixmap canvas_;
    QRect mark_;  // none: the whole picture
    CursorKind cursorKind_ = CursorKind::Default;
    bool leftPressed_ = false;
};
