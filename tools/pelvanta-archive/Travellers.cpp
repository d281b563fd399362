// What sails, flies, swims or walks through a scene.
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <tuple>
#include <utility>

#include "tools/pelvanta-archive/Painting.h"

namespace {

// A square sail between two yards, bellied by the wind.
void Sail(QPainter& p, float x, float top, float bottom, float half, const QColor& cloth) {
    QPainterPath sail(QPointF(x - half, top));
    sail.lineTo(x + half, top);
    sail.quadTo(x + half * 1.25f, (top + bottom) / 2, x + half * 1.05f, bottom);
    sail.quadTo(x, bottom + (bottom - top) * 0.12f, x - half * 1.05f, bottom);
    sail.quadTo(x - half * 0.8f, (top + bottom) / 2, x - half, top);
    p.fillPath(sail, Ramp({x - half, 0}, {x + half, 0}, cloth, cloth.darker(125)));
}

// A three-master 150 units long, its waterline at the origin.
void TallShip(QPainter& p, const Element& e, const Light& light) {
    const QColor wood = light(0x3A2418), cloth = light(e.c1);
    p.setPen(QPen(wood, 0.6));  // the rigging, behind the sails
    for (const auto& [x, top] :
         {std::pair{-32.f, -94.f}, std::pair{4.f, -106.f}, std::pair{36.f, -88.f}})
        p.drawPolyline(QPolygonF({{-58, -14}, {x, top}, {82, -24}}));
    for (const auto& [x, top, half] :
         {std::tuple{-32.f, -88.f, 15.f}, std::tuple{4.f, -100.f, 19.f},
          std::tuple{36.f, -82.f, 14.f}}) {  // the masts, their sails and flags
        p.fillRect(QRectF(x - 1.2f, top - 4, 2.4, -16 - top), wood);
        for (float k = 0; k < 3; ++k)
            Sail(p, x, top + (-20 - top) * k / 3, top + (-20 - top) * (k + 1) / 3 - 2,
                 half * (0.7f + 0.15f * k), cloth);
        Shape(p, {{x, top - 12}, {x + 10, top - 9}, {x, top - 6}}, light(0xC83030));
    }
    Shape(p, {{37, -78}, {84, -24}, {40, -24}}, cloth.darker(110));  // the jib
    QPainterPath hull(QPointF(-62, -22));
    hull.lineTo(86, -26);
    hull.quadTo(66, 4, 44, 6);
    hull.lineTo(-46, 6);
    hull.quadTo(-58, -2, -62, -22);
    p.fillPath(hull, Ramp({0, -24}, {0, 6}, light(e.c2).lighter(130), light(e.c2).darker(150)));
    p.setPen(QPen(light(0xD8B060), 1.6));
    p.drawLine(QPointF(-58, -13), QPointF(74, -15));
    for (float x = -44; x < 64; x += 12) {  // the gun ports, lit at night
        if (light.moment.lamps) Glow(p, QPointF(x, -8), 7, QColor(255, 200, 100, 160));
        Disc(p, {x, -8}, 1.8, 1.8, light.moment.lamps ? QColor(255, 220, 130) : light(0x201410));
    }
}

void Sailboat(QPainter& p, const Element& e, const Light& light) {
    Shape(p, {{1, -44}, {1, -7}, {22, -7}}, light(e.c1));
    Shape(p, {{-1, -38}, {-1, -7}, {-16, -7}}, light(e.c1).darker(115));
    Shape(p, {{-22, -6}, {26, -6}, {18, 2}, {-16, 2}}, light(e.c2));
    if (light.moment.lamps) Glow(p, QPointF(0, -10), 10, QColor(255, 210, 120, 200));
}

}  // namespace

namespace paint {

void Ship(QPainter& p, const Element& e, const Light& light) {
    p.translate(e.x, e.y);
    p.scale(e.s, e.s);
    Disc(p, {10, 6}, 80, 6, QColor(0, 10, 30, 60));  // its shadow on the water
    (e.n == 1 ? Sailboat : TallShip)(p, e, light);
}

void Balloon(QPainter& p, const Element& e, const Light& light) {
    const float r = e.s;
    p.translate(e.x, e.y);
    QPainterPath envelope(QPointF(-r * 0.32f, r * 1.12f));
    envelope.cubicTo(-r * 1.3f, r * 0.4f, -r * 1.1f, -r * 1.05f, 0, -r * 1.05f);
    envelope.cubicTo(r * 1.1f, -r * 1.05f, r * 1.3f, r * 0.4f, r * 0.32f, r * 1.12f);
    p.setPen(QPen(light(0x3A2A20), r * 0.03));  // the ropes and the basket
    for (float side : {-1.f, 1.f})
        p.drawLine(QPointF(side * r * 0.3f, r * 1.1f), QPointF(side * r * 0.16f, r * 1.45f));
    p.fillRect(QRectF(-r * 0.18f, r * 1.42f, r * 0.36f, r * 0.26f), light(0x8A5A2A));
    p.setClipPath(envelope);
    p.fillPath(envelope, light(e.c1));
    for (int32_t i = 0; i < 3; ++i)  // the gores, narrower towards the middle
        Disc(p, {0, 0}, r * (0.8f - 0.3f * float(i)), r * 1.3f, light(i % 2 ? e.c1 : e.c2));
    QRadialGradient shade(QPointF(-r * 0.4f, -r * 0.5f), r * 1.9f);
    shade.setColorAt(0, QColor(255, 255, 255, 90));
    shade.setColorAt(0.4, QColor(255, 255, 255, 0));
    shade.setColorAt(1, QColor(0, 0, 30, 140));
    p.fillPath(envelope, shade);
}

void Birds(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {
        const QPointF at(e.x + d() * e.w, e.y + d() * e.h);
        const float s = e.s * d.In(0.7f, 1.2f), flap = d.In(-0.2f, 0.5f) * s;
        QPainterPath bird(at + QPointF(-s, -flap));
        bird.quadTo(at + QPointF(-s * 0.4f, -s * 0.45f), at);
        bird.quadTo(at + QPointF(s * 0.4f, -s * 0.45f), at + QPointF(s, -flap));
        p.strokePath(bird, QPen(light(e.c1), s * 0.2, Qt::SolidLine, Qt::RoundCap));
    }
}

void Fish(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    const float facing = SeedOf(e) % 2 ? 1 : -1;
    for (int32_t i = 0; i < e.n; ++i) {
        const QPointF at = e.n == 1 ? QPointF(e.x, e.y) : QPointF(e.x + d() * e.w, e.y + d() * e.h);
        const float l = e.s * d.In(0.8f, 1.2f);
        p.save();
        p.translate(at);
        p.scale(facing * l, l);  // a fish one unit long
        QPainterPath body(QPointF(0.5, 0));
        body.cubicTo(0.3, -0.34, -0.3, -0.24, -0.38, 0);
        body.cubicTo(-0.3, 0.24, 0.3, 0.34, 0.5, 0);
        Shape(p, {{-0.34, 0}, {-0.62, -0.24}, {-0.56, 0}, {-0.62, 0.24}}, light(e.c1).darker(115));
        p.fillPath(body, Ramp({0, -0.3}, {0, 0.3}, light(e.c1), light(e.c1).lighter(140)));
        p.setClipPath(body);
        p.fillRect(QRectF(0.08, -1, 0.12, 2), light(e.c2));  // its stripes
        p.fillRect(QRectF(-0.2, -1, 0.1, 2), light(e.c2));
        Disc(p, {0.3, -0.06}, 0.045, 0.045, light(0x101018));
        p.restore();
    }
}

void Camels(QPainter& p, const Element& e, const Light& light) {
    const QColor hide = light(e.c1);
    for (int32_t i = 0; i < e.n; ++i) {
        p.save();
        p.translate(e.x + e.w * float(i), e.y);
        p.scale(e.s, e.s);  // a camel one unit tall
        p.setPen(QPen(hide, 0.06, Qt::SolidLine, Qt::RoundCap));
        for (double leg : {-0.25, -0.12, 0.14, 0.27})
            p.drawLine(QPointF(leg, -0.55), QPointF(leg + (i % 2 ? 0.05 : -0.05), 0));
        p.setPen(QPen(hide, 0.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.3, -0.62), QPointF(0.46, -0.92));
        Disc(p, {0, -0.62}, 0.36, 0.15, hide);
        Disc(p, {-0.04, -0.76}, 0.18, 0.14, hide);  // the hump
        Disc(p, {0.54, -0.93}, 0.11, 0.05, hide);
        Disc(p, {-0.04, -1}, 0.07, 0.1, hide);  // the rider
        p.restore();
    }
}

}  // namespace paint
