// What grows or stands on the land: trees, houses, a lighthouse, a tent.
#include <QPainterPath>
#include <cmath>
#include <utility>
#include <vector>

#include "tools/pelvanta-archive/Painting.h"

namespace {

// A limb and, until `forks` runs out, two or three smaller ones from its end.
// The ends of the last three generations carry the leaves.
void Branch(QPainter& p, Dice& d, QPointF from, float angle, float length, float width,
            int32_t forks, std::vector<QPointF>& leaves) {
    const QPointF to = from + QPointF(std::sin(angle), -std::cos(angle)) * length;
    QPainterPath limb(from);
    limb.quadTo((from + to) / 2 + QPointF(std::cos(angle), std::sin(angle)) * d.In(-2, 2), to);
    p.strokePath(limb, QPen(p.pen().color(), width, Qt::SolidLine, Qt::RoundCap));
    if (forks <= 2) leaves.push_back(to);
    const int32_t count = forks == 0 ? 0 : d() < 0.3f ? 3 : 2;
    for (int32_t i = 0; i < count; ++i)
        Branch(p, d, to, angle * 0.85f + (float(i) - float(count - 1) / 2) * d.In(0.5f, 0.8f),
               length * d.In(0.66f, 0.8f), width * 0.68f, forks - 1, leaves);
}

// One tier of a fir: a drooping triangle lit from the left, perhaps snowy.
void FirTier(QPainter& p, float x, float top, float bottom, float half, const QColor& lit,
             const QColor& dark, bool snow) {
    const float h = bottom - top, mid = top + h * 0.55f;
    QPainterPath tier(QPointF(x, top));
    tier.quadTo(x - half * 0.4f, bottom - h * 0.3f, x - half, bottom);
    tier.quadTo(x, bottom - h * 0.12f, x + half, bottom);
    tier.quadTo(x + half * 0.4f, bottom - h * 0.3f, x, top);
    p.fillPath(tier, Ramp({x - half, 0}, {x + half, 0}, lit, dark));
    const float l = x - half * 0.5f, r = x + half * 0.45f;
    if (snow) Shape(p, {{x, top}, {l, mid}, {x, mid - 2}, {r, mid}}, QColor(240, 246, 255));
}

void Window(QPainter& p, QRectF pane, const Light& light) {
    const bool lit = light.moment.lamps;
    if (lit) Glow(p, pane.center(), float(pane.width()) * 2.5f, QColor(255, 200, 90, 150));
    p.fillRect(pane, lit ? QColor(255, 214, 120) : light(0x465870));
    p.setPen(QPen(light(0x4A3020), pane.width() * 0.12));
    p.drawLine(QPointF(pane.center().x(), pane.top()), QPointF(pane.center().x(), pane.bottom()));
    p.drawLine(QPointF(pane.left(), pane.center().y()), QPointF(pane.right(), pane.center().y()));
}

}  // namespace

namespace paint {

void Tree(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    std::vector<QPointF> leaves;
    p.setPen(light(e.c1));
    Branch(p, d, QPointF(e.x, e.y), 0, e.h, e.w, e.n, leaves);
    if (e.c2 == 0) return;
    const QColor leaf = light(e.c2);
    const QRectF crown = QPolygonF(QList<QPointF>(leaves.begin(), leaves.end())).boundingRect();
    Disc(p, crown.center() + QPointF(0, e.s / 2), crown.width() / 2 - e.s, crown.height() / 2,
         leaf.darker(130));  // the body of the crown behind its tufts
    for (const QPointF& at : leaves)
        Disc(p, at + QPointF(0.3, 0.3) * e.s, e.s, e.s, leaf.darker(150));
    for (const QPointF& at : leaves) Disc(p, at, e.s * 0.85, e.s * 0.85, leaf);
    for (const QPointF& at : leaves)
        Disc(p, at - QPointF(0.35, 0.35) * e.s, e.s * 0.45, e.s * 0.45, leaf.lighter(125));
}

void Pines(QPainter& p, const Element& e, const Light& light) {
    Dice d{SeedOf(e)};
    for (int32_t i = 0; i < e.n; ++i) {
        const float x = e.x + e.w * (float(i) + d.In(0.2f, 0.8f)) / float(e.n);
        const float h = e.h * d.In(0.75f, 1.2f), foot = e.y + d.In(-0.03f, 0.03f) * e.h;
        p.fillRect(QRectF(x - h * 0.03f, foot - h * 0.14f, h * 0.06f, h * 0.14f), light(0x4A3222));
        for (float t = 0; t < 4; ++t)
            FirTier(p, x, foot - h * (0.48f + 0.2f * t), foot - h * (0.1f + 0.2f * t),
                    h * (0.3f - 0.06f * t), light(e.c2), light(e.c1), e.s > 0);
    }
}

void Palm(QPainter& p, const Element& e, const Light& light) {
    const QPointF foot(e.x, e.y), bend(e.x + e.w * 0.1f, e.y - e.h * 0.5f),
        top(e.x + e.w, e.y - e.h);
    for (float t = 0, u = 1.f / 12; t < 1; t += u) {  // the trunk in rings, thinner upwards
        const auto at = [&](float t) {
            return foot * (1 - t) * (1 - t) + bend * 2 * t * (1 - t) + top * t * t;
        };
        p.setPen(QPen(light(e.c1).darker(int(100 + 25 * std::fmod(t * 12, 2.f))),
                      e.h * (0.075f - 0.035f * t), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(t), at(t + u));
    }
    for (float k = 0; k < 7; ++k) {
        const float a = 3.4558f * (k / 6 - 1) + 0.15f, length = e.h * 0.55f;
        const QPointF tip = top + QPointF(std::cos(a), std::sin(a) * 0.4f + 0.45f) * length;
        const QPointF mid = top + QPointF(std::cos(a) * 0.5f, -0.2f) * length;
        QPainterPath frond(top);
        frond.quadTo(mid + QPointF(0, -length * 0.12f), tip);
        frond.quadTo(mid + QPointF(0, length * 0.1f), top);
        p.fillPath(frond, light(e.c2).darker(int(k) % 2 ? 100 : 120));
    }
}

void House(QPainter& p, const Element& e, const Light& light) {
    const QColor wall = light(e.c2);
    const float top = e.y - e.h, ridge = top - e.w * 0.42f;
    p.fillRect(QRectF(e.x + e.w * 0.68f, ridge, e.w * 0.11f, e.w * 0.3f), light(0x6A4A3A));
    p.fillRect(QRectF(e.x, top, e.w, e.h), wall);
    p.setPen(QPen(wall.darker(140), e.h * 0.04));
    for (float y = e.y - e.h / 6; e.n == 1 && y > top; y -= e.h / 6)
        p.drawLine(QPointF(e.x, y), QPointF(e.x + e.w, y));  // the logs of a cabin
    Shape(p, {{e.x - e.w * 0.1f, top + 1}, {e.x + e.w / 2, ridge}, {e.x + e.w * 1.1f, top + 1}},
          light(e.c1));
    p.fillRect(QRectF(e.x + e.w * 0.14f, e.y - e.h * 0.72f, e.w * 0.16f, e.h * 0.72f),
               light(0x5A3422));
    for (float k : {0.45f, 0.7f})
        Window(p, QRectF(e.x + e.w * k, e.y - e.h * 0.7f, e.w * 0.15f, e.h * 0.36f), light);
}

void Lighthouse(QPainter& p, const Element& e, const Light& light) {
    const float top = e.y - e.h, x = e.x, band = e.h / float(2 * e.n);
    QPainterPath tower;
    tower.addPolygon(
        {{x - e.w / 2, e.y}, {x - e.w * 0.32f, top}, {x + e.w * 0.32f, top}, {x + e.w / 2, e.y}});
    p.fillPath(tower, light(e.c2));
    p.setClipPath(tower);
    for (float y = top + band; y < e.y; y += 2 * band)
        p.fillRect(QRectF(x - e.w, y, 2 * e.w, band), light(e.c1));
    p.fillRect(QRectF(x - e.w, top, 2 * e.w, e.h),
               Ramp({x - e.w * 0.2f, 0}, {x + e.w / 2, 0}, Qt::transparent, QColor(0, 0, 30, 110)));
    p.setClipping(false);
    const bool lit = light.moment.lamps;
    const QPointF lamp(x, top - 8);
    p.fillRect(QRectF(x - e.w * 0.45f, top - 3, e.w * 0.9f, 3), light(0x2A2A30));
    p.fillRect(QRectF(x - e.w * 0.24f, top - 13, e.w * 0.48f, 10),
               lit ? QColor(255, 244, 190) : light(0x9CB4C4));
    p.setBrush(light(e.c1));
    p.drawChord(QRectF(x - e.w * 0.3f, top - 20, e.w * 0.6f, 14), 0, 180 * 16);
    if (!lit) return;
    Glow(p, lamp, 40, QColor(255, 236, 160, 220));
    for (float dir : {-260.f, 260.f})  // the beam, both ways across the sea
        Shape(p, {lamp, lamp + QPointF(dir, -40), lamp + QPointF(dir, 12)},
              Ramp(lamp, lamp + QPointF(dir, 0), QColor(255, 240, 180, 150), Qt::transparent));
}

void Tent(QPainter& p, const Element& e, const Light& light) {
    const bool lit = light.moment.lamps;
    p.translate(e.x, e.y);
    p.scale(e.s, e.s);  // a tent one unit tall
    Shape(p, {{-1, 0}, {0, -1}, {1.1, 0}}, light(e.c1));
    Shape(p, {{-0.25, 0}, {0, -0.7}, {0.3, 0}},
          lit ? QColor(255, 190, 90) : light(e.c1).darker(160));
    if (!lit) return;
    Glow(p, {1.9, 0}, 3.2f, QColor(255, 150, 60, 150));  // and its camp fire
    Shape(p, {{1.76, 0}, {1.78, -0.2}, {1.9, -0.45}, {2.04, -0.18}, {2.04, 0}},
          Ramp({0, 0}, {0, -0.45}, QColor(255, 240, 160), QColor(255, 90, 30)));
}

void Snowman(QPainter& p, const Element& e, const Light& light) {
    p.translate(e.x, e.y);
    p.scale(e.s, e.s);  // a snowman one unit tall, shaded towards the right
    for (const auto& [y, r] :
         {std::pair{-0.22, 0.22}, std::pair{-0.55, 0.16}, std::pair{-0.8, 0.11}}) {
        Disc(p, {0, y}, r, r, light(0xB0C0D8));
        Disc(p, {-r * 0.12, y - r * 0.1}, r * 0.86, r * 0.88, light(0xFFFFFF));
    }
    p.fillRect(QRectF(-0.1, -1.07, 0.2, 0.18), light(e.c2));  // the hat
    p.fillRect(QRectF(-0.15, -0.9, 0.3, 0.03), light(e.c2));
    p.fillRect(QRectF(-0.1, -0.71, 0.2, 0.05), light(e.c1));  // the scarf
    Shape(p, {{0, -0.8}, {0.14, -0.78}, {0, -0.77}}, light(0xF07820));
}

}  // namespace paint
