#include "app/PiecePictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "rules/Hfigura.h"

namespace {

// The colours of one side, from the lit top to the deepest shade.
struct Palette {
    QColor highlight;
    QColor light;
    QColor base;
    QColor dark;
    QColor deep;
};

const Palette kGold{{255, 247, 204}, {246, 208, 92}, {218, 164, 38}, {156, 106, 14}, {92, 58, 6}};
const Palette kViolet{
    {240, 220, 255}, {186, 136, 228}, {136, 78, 196}, {88, 40, 140}, {48, 16, 84}};

// Every drawing below is in the 48 x 48 frame of one square. The face sits
// a little above the centre so the piece's edge and shadow fit below it.
constexpr QPointF kFace{24.0, 23.0};
constexpr qreal kRadius = 19.0;
constexpr qreal kThickness = 2.0;

qreal SaneRatio(qreal dpr) {
    return std::isfinite(dpr) && dpr > 0.0 && dpr <= 16.0 ? dpr : 1.0;
}

// Light comes from the upper left: a gradient across a circle of radius r
// from its upper-left edge to its lower-right edge.
QLinearGradient LightAcross(QPointF centre, qreal r, const QColor& lit, const QColor& shaded) {
    const qreal d = r * 0.7071;
    QLinearGradient g(centre + QPointF(-d, -d), centre + QPointF(d, d));
    g.setColorAt(0.0, lit);
    g.setColorAt(1.0, shaded);
    return g;
}

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

void DrawShadow(QPainter& p) {
    const QPointF centre = kFace + QPointF(1.2, kThickness + 1.6);
    const qreal r = kRadius + 1.6;
    QRadialGradient g(centre, r);
    g.setColorAt(0.0, QColor(0, 0, 0, 120));
    g.setColorAt(0.82, QColor(0, 0, 0, 90));
    g.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, r, r);
}

// The rim of the disc seen from above: a cylinder, lit on its left.
void DrawEdge(QPainter& p, const Palette& pal) {
    const QPointF centre = kFace + QPointF(0.0, kThickness);
    QLinearGradient g(centre.x() - kRadius, 0.0, centre.x() + kRadius, 0.0);
    g.setColorAt(0.0, pal.base);
    g.setColorAt(0.35, pal.dark);
    g.setColorAt(1.0, pal.deep);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, kRadius, kRadius);
}

void DrawFace(QPainter& p, const Palette& pal, const QColor& lit, const QColor& shaded) {
    p.setPen(Qt::NoPen);
    p.setBrush(LightAcross(kFace, kRadius, lit, shaded));
    p.drawEllipse(kFace, kRadius, kRadius);
    // A fine dark line keeps the outline clear on the grey square.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(pal.deep, 150), 0.7));
    p.drawEllipse(kFace, kRadius - 0.35, kRadius - 0.35);
}

// A raised ring: its outer slope faces the light on the upper left, its inner
// slope faces it on the lower right.
void DrawRidge(QPainter& p, const Palette& pal, qreal r, qreal width) {
    const qreal half = width / 2.0;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(LightAcross(kFace, r, pal.highlight, pal.deep)), half));
    p.drawEllipse(kFace, r + half / 2.0, r + half / 2.0);
    p.setPen(QPen(QBrush(LightAcross(kFace, r, pal.dark, pal.light)), half));
    p.drawEllipse(kFace, r - half / 2.0, r - half / 2.0);
    p.setPen(QPen(
        QBrush(LightAcross(kFace, r, WithAlpha(pal.highlight, 200), WithAlpha(pal.base, 0))), 0.6));
    p.drawEllipse(kFace, r + 0.1, r + 0.1);
}

// A small dome in the middle of a man.
void DrawBoss(QPainter& p, const Palette& pal, qreal r) {
    QRadialGradient g(kFace, r, kFace + QPointF(-r * 0.4, -r * 0.45));
    g.setColorAt(0.0, pal.highlight);
    g.setColorAt(0.5, pal.light);
    g.setColorAt(1.0, pal.dark);
    p.setPen(QPen(WithAlpha(pal.deep, 170), 0.6));
    p.setBrush(g);
    p.drawEllipse(kFace, r, r);
}

// A soft gleam on the upper-left part of the face.
void DrawGleam(QPainter& p, const Palette& pal) {
    const QPointF spot = kFace + QPointF(-8.5, -9.0);
    QRadialGradient g(spot, 9.0);
    g.setColorAt(0.0, WithAlpha(pal.highlight, 150));
    g.setColorAt(1.0, WithAlpha(pal.highlight, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(spot, 9.0, 9.0);
}

void DrawMan(QPainter& p, const Palette& pal) {
    DrawFace(p, pal, pal.light, pal.base);
    DrawRidge(p, pal, 16.6, 3.2);
    DrawRidge(p, pal, 11.6, 3.0);
    DrawRidge(p, pal, 6.8, 2.8);
    DrawBoss(p, pal, 2.9);
    DrawGleam(p, pal);
}

QPainterPath CrownPath() {
    QPainterPath crown;
    crown.moveTo(-7.0, 3.0);
    crown.lineTo(-8.6, -4.6);
    crown.lineTo(-4.2, -0.6);
    crown.lineTo(0.0, -6.8);
    crown.lineTo(4.2, -0.6);
    crown.lineTo(8.6, -4.6);
    crown.lineTo(7.0, 3.0);
    crown.closeSubpath();
    crown.addRoundedRect(QRectF(-7.4, 3.9, 14.8, 3.0), 1.0, 1.0);
    for (const QPointF tip : {QPointF(-8.6, -4.6), QPointF(0.0, -6.8), QPointF(8.6, -4.6)})
        crown.addEllipse(tip, 1.35, 1.35);
    // The tips' balls overlap the points: merge them into one outline.
    crown.setFillRule(Qt::WindingFill);
    return crown.simplified();
}

// An embossed crown in the dish: dark below right, lit above left.
void DrawCrown(QPainter& p, const Palette& pal) {
    const QPainterPath crown = CrownPath().translated(kFace + QPointF(0.0, 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(pal.deep, 170));
    p.drawPath(crown.translated(0.9, 1.0));
    p.setBrush(WithAlpha(pal.highlight, 230));
    p.drawPath(crown.translated(-0.5, -0.5));
    QLinearGradient fill(kFace + QPointF(0.0, -7.0), kFace + QPointF(0.0, 8.0));
    fill.setColorAt(0.0, pal.highlight);
    fill.setColorAt(0.45, pal.light);
    fill.setColorAt(1.0, pal.base);
    p.setBrush(fill);
    p.setPen(QPen(WithAlpha(pal.deep, 120), 0.4));
    p.drawPath(crown);
}

// The floor of the dish lies below its rim: the rim throws a crescent of
// shadow on the upper-left part of the floor.
void DrawDishFloor(QPainter& p, const Palette& pal, qreal r) {
    p.setPen(Qt::NoPen);
    p.setBrush(LightAcross(kFace, r, pal.dark, pal.base));
    p.drawEllipse(kFace, r, r);
    p.save();
    QPainterPath floor;
    floor.addEllipse(kFace, r, r);
    p.setClipPath(floor);
    for (int i = 1; i <= 3; ++i) {
        QPainterPath crescent;
        crescent.addEllipse(kFace, r + 4.0, r + 4.0);
        const qreal shift = 0.7 * i;
        QPainterPath lit;
        lit.addEllipse(kFace + QPointF(shift, shift), r, r);
        p.setBrush(WithAlpha(pal.deep, 45));
        p.drawPath(crescent.subtracted(lit));
    }
    p.restore();
}

void DrawKing(QPainter& p, const Palette& pal) {
    DrawFace(p, pal, pal.light, pal.base);
    constexpr qreal kFloor = 13.2;
    // The broad rim: a wide raised band between the edge and the floor.
    DrawRidge(p, pal, (kRadius + kFloor) / 2.0, kRadius - kFloor - 0.6);
    DrawDishFloor(p, pal, kFloor);
    DrawCrown(p, pal);
    DrawGleam(p, pal);
}

// Draws one piece, shadow included, into the 48 x 48 frame of the painter.
void DrawPiece(QPainter& p, const Palette& pal, bool king) {
    p.setRenderHint(QPainter::Antialiasing);
    DrawShadow(p);
    DrawEdge(p, pal);
    if (king)
        DrawKing(p, pal);
    else
        DrawMan(p, pal);
}

QImage BlankSquare(qreal dpr) {
    const int side = qRound(kPictureSize * dpr);
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(DarkSquareColor());
    image.setDevicePixelRatio(dpr);
    return image;
}

}  // namespace

QColor DarkSquareColor() {
    return QColor(128, 128, 128);
}

QPixmap PaintPiece(uint8_t owner, bool king, qreal devicePixelRatio) {
    if (owner != Bottom && owner != Top) return PaintEmptySquare(devicePixelRatio);
    const qreal dpr = SaneRatio(devicePixelRatio);
    QImage image = BlankSquare(dpr);
    QPainter p(&image);
    // The rounded pixel size may differ a little from 48 * dpr; fill it all.
    const qreal fit = image.width() / (kPictureSize * dpr);
    p.scale(fit, fit);
    DrawPiece(p, owner == Bottom ? kGold : kViolet, king);
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap PaintEmptySquare(qreal devicePixelRatio) {
    return QPixmap::fromImage(BlankSquare(SaneRatio(devicePixelRatio)));
}

QImage PaintIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Each piece's square frame is 0.84 of the icon; the frames stick out a
    // little past the icon's edge, where they hold only empty margin.
    const qreal frame = size * 0.84;
    const qreal scale = frame / kPictureSize;
    // The violet man lies behind, up on the left; the golden king in front.
    p.save();
    p.translate(-0.05 * size, -0.06 * size);
    p.scale(scale, scale);
    DrawPiece(p, kViolet, false);
    p.restore();
    p.translate(size - frame + 0.03 * size, size - frame + 0.02 * size);
    p.scale(scale, scale);
    DrawPiece(p, kGold, true);
    p.end();
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(PaintIcon(size)));
    return icon;
}
