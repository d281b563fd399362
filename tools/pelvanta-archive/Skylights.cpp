// Lights of the sky and of space: they shine rather than being lit.
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <tuple>

#include "tools/pelvanta-archive/Painting.h"

namespace paint {

void Rainbow(QPainter& p, const Element& e, const Light&) {
    static const uint32_t kBands[] = {0xE04040, 0xF08A30, 0xF0D040, 0x50C050,
                                      0x4080E0, 0x5050B0, 0x8050B0};
    const float band = e.w / 7;
    for (int32_t i = 0; i < 7; ++i) {
        const float r = e.s - band * float(i);
        p.setPen(QPen(Faded(Rgba(kBands[i]), 0.4f), band));
        p.drawArc(QRectF(e.x - r, e.y - r, 2 * r, 2 * r), 0, 180 * 16);
    }
}

void Aurora(QPainter& p, const Element& e, const Light&) {
    Dice d{SeedOf(e)};
    const float p1 = d() * 6, p2 = d() * 6, p3 = d() * 6;
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (float x = -4; x < kSceneW + 4; x += 1.5f) {  // curtains of rays along a wavy foot
        const float foot = e.y + 22 * std::sin(x * 0.022f + p1) + 8 * std::sin(x * 0.07f + p2);
        const float rays = 0.5f + 0.5f * std::sin(x * 0.23f + p3) * std::sin(x * 0.061f);
        const float top = foot - e.h * (0.5f + 0.5f * rays);
        QLinearGradient g(0, foot, 0, top);
        g.setColorAt(0, Faded(Rgba(e.c1), 0.15f + 0.5f * rays));
        g.setColorAt(0.3, Faded(Rgba(e.c1), 0.25f * rays));
        g.setColorAt(1, Faded(Rgba(e.c2), 0));
        p.fillRect(QRectF(x, top, 1.6, foot - top + 4), g);
    }
}

void MilkyWay(QPainter& p, const Element& e, const Light&) {
    Dice d{SeedOf(e)};
    const float length = std::hypot(e.w, e.h);
    p.translate(e.x + e.w / 2, e.y + e.h / 2);
    p.rotate(std::atan2(e.h, e.w) * 57.2958f);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.save();
    p.scale(1, e.s / length);
    Glow(p, QPointF(0, 0), length * 0.6f, Faded(Rgba(e.c1), 0.5f));
    p.restore();
    for (int32_t i = 0; i < e.n; ++i) {
        const float u = (d() - 0.5f) * length, v = (d() + d() + d() - 1.5f) * e.s * 0.5f;
        const float r = d.In(0.2f, 0.6f);
        Disc(p, {u, v}, r, r, QColor(255, 250, 240, int(d() * 200)));
    }
}

void Planet(QPainter& p, const Element& e, const Light&) {
    Dice d{e.c1};  // the same bands wherever it stands
    const float r = e.s;
    p.translate(e.x, e.y);
    p.rotate(-16);
    const auto rings = [&](QRectF half) {
        p.save();
        p.setClipRect(half);
        p.setBrush(Qt::NoBrush);
        for (const auto& [k, width, alpha] :
             {std::tuple{1.55f, 0.2f, 0.55f}, std::tuple{1.85f, 0.28f, 0.8f},
              std::tuple{2.15f, 0.12f, 0.5f}}) {
            p.setPen(QPen(Faded(Rgba(e.c2).lighter(120), alpha), r * width));
            p.drawEllipse(QPointF(0, 0), r * k, r * k * 0.24f);
        }
        p.restore();
    };
    if (e.n) rings(QRectF(-3 * r, -r, 6 * r, r));  // the far half, behind the disc
    QPainterPath disc;
    disc.addEllipse(QPointF(0, 0), r, r);
    p.save();
    p.setClipPath(disc);
    p.fillPath(disc, Rgba(e.c1));
    for (float y = -r; y < r; y += r * d.In(0.12f, 0.25f))
        Disc(p, {0, y}, r * 1.3f, r * d.In(0.03f, 0.07f),
             Faded(d() < 0.5f ? Rgba(e.c2) : Rgba(e.c1).lighter(125), 0.7f));
    QRadialGradient shade(QPointF(-r * 0.45f, -r * 0.5f), r * 1.7f);
    shade.setColorAt(0, QColor(255, 255, 240, 60));
    shade.setColorAt(0.45, QColor(0, 0, 0, 0));
    shade.setColorAt(0.8, QColor(0, 0, 10, 220));
    p.fillPath(disc, shade);
    p.restore();
    if (e.n) rings(QRectF(-3 * r, 0, 6 * r, r));
}

void Beams(QPainter& p, const Element& e, const Light&) {
    Dice d{SeedOf(e)};
    p.setPen(Qt::NoPen);
    for (int32_t i = 0; i < e.n; ++i) {
        const float foot = e.x + e.w * ((float(i) + d()) / float(e.n) - 0.5f), width = d.In(8, 26);
        const float top = e.x + (foot - e.x) * 0.25f;
        p.setBrush(
            Ramp({0, e.y}, {0, e.y + e.h}, Faded(Rgba(e.c1), d.In(0.5f, 1)), Faded(Rgba(e.c1), 0)));
        p.drawPolygon(QPolygonF({{top - 3, e.y},
                                 {top + 3, e.y},
                                 {foot + width, e.y + e.h},
                                 {foot - width, e.y + e.h}}));
    }
}

}  // namespace paint
