#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <cstdint>

// The pictures of the board: pieces and the empty dark square, each 48 x 48
// logical pixels on the dark square's grey, so a piece drawn on a square
// blends with it. They are painted, not loaded, at the screen's device pixel
// ratio, so they stay crisp on a high-density screen.

// Side length of a square and of every picture, in logical pixels.
inline constexpr int kPictureSize = 48;

// The grey of an empty dark square, RGB(128, 128, 128).
QColor DarkSquareColor();

// Bottom's pieces are golden, Top's violet; a man is a disc with raised
// concentric rings, a king a flat dish with a raised rim and a crown in it.
// An owner that is neither Bottom nor Top gives the empty square, since
// nothing of a side stands there. The pixmap has 48 * dpr physical pixels a
// side (rounded) and carries the ratio; a ratio that is not a finite number
// in (0, 16] is taken as 1.
QPixmap PaintPiece(uint8_t owner, bool king, qreal devicePixelRatio);

// The grey dark square with nothing on it.
QPixmap PaintEmptySquare(qreal devicePixelRatio);

// A golden king over a violet man, on a transparent background, at the sizes
// of kIconSizes.
QIcon AppIcon();

// The same picture at one size, `size` pixels a side. Needs no application
// object, so the build can render the installed icons with it.
QImage PaintIcon(int size);

inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
