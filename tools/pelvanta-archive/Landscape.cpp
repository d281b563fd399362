// Land, water and what lies scattered over them.
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "tools/pelvanta-archive/Painting.h"

namespace {

constexpr float kTau = 6.2831853f;

// One octave of a ridge line, 0 .. 1, at phase t.
float Wave(int32_t shape, float t) {
    if (shape == 1) return 1 - std::fabs(std::sin(t / 2));  // sharp peaks, round valleys
    if (shape == 0) return 0.5f + 0.5f * std::sin(t);
    const float f = t / kTau - std::floor(t / kTau);  // dunes: a long slope, a steep lee
    return f < 0.7f ? f / 0.7f : (1 - f) / 0.3f;
}

float RidgeHeight(const Element& e, float x) {
    Dice d{SeedOf(e)};
    float sum = 0, norm = 0, amplitude = 1;
    for (int32_t octave = 0; octave < 4; ++octave, amplitude *= 0.4f) {
        sum += amplitude * Wave(e.n, x / e.h * kTau * float(1 << octave) + d() * kTau);
        norm += amplitude;
    }
    return e.w * sum / norm;
}

QPainterPath RidgePath(const Element& e) {
    QPainterPath path(QPointF(-2, kSceneH + 2));
    for (float x = -2; x <= kSceneW + 2; x += 1.5f) path.lineTo(x, e.y - RidgeHeight(e, x));
    path.lineTo(kSceneW + 2, kSceneH + 2);
    return path;
}

// The row of the i-th of n things in a band `depth` deep, so that they are
// painted back to front, and how near it is, 0 .. 1: what is nearer is larger.
float Row(Dice& d, const Element& e, int32_t i, float depth, float& nearness) {
    nearness = (float(i) + d()) / float(e.n);
    return e.y + depth * nearness;
}

void Scatter(QPainter& p, const Element& e, const Light& light, bool glow) {
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {
        const float a = d() * kTau, r = std::sqrt(d()), size = e.s * d.In(0.5f, 1);
        const QPointF at(e.x + e.w * r * std::cos(a), e.y + e.h * r * std::sin(a));
        const uint32_t color = d() < 0.5f ? e.c1 : e.c2;
        if (glow) Glow(p, at, size * 4, Faded(Rgba(color), 0.6f));
        Disc(p, at, size, size, glow ? Rgba(color) : light(color));
    }
}

}  // namespace

namespace paint {

void Ridge(QPainter& p, const Element& e, const Light& light) {
    const QPainterPath path = RidgePath(e);
    p.fillPath(path, Ramp({0, e.y - e.w}, {0, e.y + e.s}, light(e.c1), light(e.c2)));
    if (e.n == 0) return;
    p.setClipPath(path);
    if (e.n == 1) {
        // Peaks hold snow above a ragged line. Light comes from the left: the
        // ridge shifted right covers all but the faces that rise towards it.
        QPainterPath snow(QPointF(-2, 0));
        for (float x = -2; x <= kSceneW + 2; x += 1.5f)
            snow.lineTo(
                x, e.y - e.w * (0.5f + 0.08f * std::sin(x * 0.4f) + 0.05f * std::sin(x * 1.7f)));
        snow.lineTo(kSceneW + 2, 0);
        p.fillPath(snow, light(0xF4F8FF));
        p.fillPath(path.translated(e.w * 0.12f, 0), QColor(20, 10, 50, 80));
    }
    p.strokePath(path, QPen(Faded(light(0xFFF4DC), 0.5f), 1));  // the crests catch the light
}

void Fields(QPainter& p, const Element& e, const Light& light) {
    p.setClipPath(RidgePath(e));
    Dice d{SeedOf(e)};
    const QColor a = light(e.c1), b = light(e.c2), hedge = light(0x2E5A22);
    const float top = e.y - e.w;
    for (float y = top, row = 1.5f; y < kSceneH; y += row, row = 1.5f + (y - top) * 0.18f) {
        for (float x = -40 - d() * 40, width; x < kSceneW + 40; x += width) {
            width = 4 + row * d.In(2, 10);
            const float skew = (x - kSceneW / 2) * row * 0.004f;
            p.setPen(QPen(hedge, 0.8));
            p.setBrush((d() < 0.5f ? a : b).lighter(int(d.In(80, 125))));
            p.drawPolygon(QPolygonF(
                {{x, y}, {x + width, y}, {x + width + skew, y + row}, {x + skew, y + row}}));
            if (d() < 0.15f) Disc(p, {x, y}, row * 0.4, row * 0.35, hedge);  // a tree in the hedge
        }
    }
    const QColor haze = light(0xE8ECF0);  // the far fields fade into the haze
    p.fillRect(QRectF(0, top, kSceneW, 60 + e.w),
               Ramp({0, top}, {0, e.y + 60}, Faded(haze, 0.7f), Faded(haze, 0)));
}

void Sea(QPainter& p, const Element& e, const Light& light) {
    p.fillRect(QRectF(0, e.y, kSceneW, kSceneH - e.y),
               Ramp({0, e.y}, {0, kSceneH}, light(e.c1), light(e.c2)));
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {
        const float k = d() * d(), y = e.y + k * (kSceneH - e.y), x = d() * kSceneW;
        const float length = 3 + 34 * k;
        QPainterPath crest(QPointF(x - length / 2, y));
        crest.quadTo(x, y - length * 0.16f, x + length / 2, y);
        p.strokePath(crest, QPen(Faded(light(0xFFFFFF), 0.25f + 0.3f * k), 0.4 + 1.4 * k));
        p.strokePath(crest.translated(0, 1 + 2 * k), QPen(QColor(0, 20, 50, 40), 0.5 + k));
    }
    if (!light.sunUp || light.sun.y() > e.y) return;
    const QColor glitter = Rgba(light.moment.sun);  // the path of the sun or the moon
    for (int32_t i = 0; i < 260; ++i) {
        const float k = std::pow(d(), 1.6f), y = e.y + 1 + k * (kSceneH - e.y);
        const float x = float(light.sun.x()) + (d() - 0.5f) * (d() + 0.2f) * (12 + 110 * k);
        p.setPen(QPen(Faded(glitter, 0.9f - 0.5f * k), 0.5 + k));
        p.drawLine(QPointF(x - 1 - 6 * k, y), QPointF(x + 1 + 6 * k, y));
    }
}

void Reflection(QPainter& p, const Element& e, const Light&) {
    // the picture as painted so far: the painter paints on the scene's image
    const QImage above = static_cast<QImage*>(p.device())->copy();
    const int32_t line = int32_t(e.y);
    p.setOpacity(e.s);
    for (int32_t y = line; y < int32_t(kSceneH) && 2 * line - y > 0; ++y) {
        const float shift = std::sin(float(y) * 1.3f) * (0.3f + 3 * float(y - line) / 180);
        p.drawImage(QPointF(shift, y), above, QRectF(0, 2 * line - y, kSceneW, 1));
    }
}

void Clouds(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    p.setPen(Qt::NoPen);
    for (int32_t i = 0; i < e.n; ++i) {  // each cloud a row of puffs, highest in the middle
        const QPointF at(e.x + d() * e.w, e.y + d() * e.h);
        const float r = e.s * d.In(0.7f, 1.3f);
        for (float side = -2; side <= 2; ++side) {
            const float size = r * d.In(0.55f, 0.9f) * (1 - 0.12f * std::fabs(side));
            const QPointF puff = at + QPointF(side * r * 0.6f, -size * 0.35f);
            QRadialGradient g(puff - QPointF(size * 0.2, size * 0.4), size * 1.3);
            g.setColorAt(0, light(e.c1));
            g.setColorAt(0.6, Faded(light(e.c1), 0.9f));
            g.setColorAt(1, Faded(light(e.c2), 0));
            p.setBrush(g);
            p.drawEllipse(puff, size * 1.3, size);
        }
    }
}

void Grass(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    p.setPen(Qt::NoPen);
    for (int32_t i = 0; i < e.n; ++i) {
        float k;
        const float y = Row(d, e, i, e.s, k), x = e.x + d() * e.w;
        const float height = e.h * (0.4f + k) * d.In(0.6f, 1.2f), lean = d.In(-0.5f, 0.5f);
        QPainterPath blade(QPointF(x - 0.6f - 1.2f * k, y));
        blade.quadTo(x, y - height * 0.6f, x + lean * height, y - height);
        blade.quadTo(x + lean * height * 0.3f, y - height * 0.5f, x + 0.6f + 1.2f * k, y);
        p.setBrush(light(d() < 0.5f ? e.c1 : e.c2));
        p.drawPath(blade);
    }
}

void Flowers(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {
        float k;
        const float y = Row(d, e, i, e.h, k), x = e.x + d() * e.w;
        const float r = e.s * (0.45f + 0.8f * k), turn = d() * kTau;
        const uint32_t petals = d() < 0.25f ? 0xFFFFFF : d() < 0.5f ? e.c1 : e.c2;
        p.setPen(QPen(light(0x3C7A2A), r * 0.18));
        p.drawLine(QPointF(x, y), QPointF(x + r * 0.2, y + r * 2.2));
        for (float a = turn; a < turn + kTau - 0.1f; a += kTau / 5)
            Disc(p, {x + r * 0.5f * std::cos(a), y + r * 0.4f * std::sin(a)}, r * 0.45, r * 0.34,
                 light(petals));
        Disc(p, {x, y}, r * 0.28, r * 0.24, light(0xF8C030));
    }
}

void Dots(QPainter& p, const Element& e, const Light& light) {
    Scatter(p, e, light, false);
}

void Sparks(QPainter& p, const Element& e, const Light& light) {
    Scatter(p, e, light, true);
}

void Craters(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {  // seen from low above: flat, with a lit far rim
        const QPointF at(e.x + d() * e.w, e.y + d() * e.h);
        const float r = e.s * d.In(0.3f, 1) * float(at.y() - e.y + 20) / (e.h + 20);
        Disc(p, at + QPointF(0, r * 0.08f), r, r * 0.36, light(e.c2));
        Disc(p, at, r * 0.92, r * 0.3, light(e.c1));
    }
}

void Rock(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    const float p1 = d() * kTau, p2 = d() * kTau, p3 = d() * kTau;
    QPolygonF outline;
    for (float a = 0; a < kTau; a += kTau / 64) {  // the bottom half flattened
        const float r = 1 + 0.09f * std::sin(3 * a + p1) + 0.05f * std::sin(7 * a + p2) +
                        0.025f * std::sin(15 * a + p3);
        outline << QPointF(e.x + e.w * r * std::cos(a),
                           e.y + e.h * r * std::sin(a) * (std::sin(a) > 0 ? 0.5f : 1));
    }
    QPainterPath path;
    path.addPolygon(outline);
    p.fillPath(path, Ramp({e.x - e.w * 0.6f, e.y - e.h}, {e.x + e.w * 0.5f, e.y + e.h * 0.4f},
                          light(e.c1), light(e.c2)));
    p.setClipPath(path);
    p.setPen(QPen(Faded(light(e.c2), 0.5f), 1 + e.w * 0.008f));
    for (int32_t i = 0; i < int32_t(e.w * e.h / 400); ++i) {  // cracks and ledges
        const QPointF at(e.x + e.w * d.In(-1, 1), e.y + e.h * d.In(-1, 0.5f));
        p.drawLine(at, at + QPointF(d.In(-0.3f, 0.3f), d.In(0.3f, 1.f)) * e.h * 0.12f);
    }
}

}  // namespace paint
