// The composition every scene shares: the sky of the stage's moment with its
// stars and its sun or moon, then the elements of that stage, back to front.
#include <QRadialGradient>
#include <cmath>

#include "tools/pelvanta-archive/Painting.h"

QColor Rgba(uint32_t argb) {
    const int alpha = int(argb >> 24);
    return QColor((argb >> 16) & 255, (argb >> 8) & 255, argb & 255, alpha ? alpha : 255);
}

QColor Faded(QColor color, float alpha) {
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

QColor Light::operator()(uint32_t argb) const {
    const QColor c = Rgba(argb), l = Rgba(moment.light);
    return QColor(c.red() * l.red() / 255, c.green() * l.green() / 255, c.blue() * l.blue() / 255,
                  c.alpha());
}

QLinearGradient Ramp(QPointF from, QPointF to, const QColor& a, const QColor& b) {
    QLinearGradient g(from, to);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

void Disc(QPainter& p, QPointF at, double rx, double ry, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(at, rx, ry);
}

void Shape(QPainter& p, const QPolygonF& outline, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPolygon(outline);
}

void Glow(QPainter& p, QPointF at, float radius, const QColor& color) {
    QRadialGradient g(at, radius);
    g.setColorAt(0, color);
    g.setColorAt(0.3, Faded(color, 0.35f));
    g.setColorAt(1, Faded(color, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, radius, radius);
}

uint32_t SeedOf(const Element& e) {
    uint32_t seed = 2166136261u;
    for (float v : {e.x, e.y, e.w, e.h}) seed = (seed ^ uint32_t(int32_t(v * 8))) * 16777619u;
    return seed ^ uint32_t(e.n);
}

namespace {

void PaintSky(QPainter& p, const Scene& scene, const Moment& m) {
    QLinearGradient g(0, 0, 0, scene.horizon);
    g.setColorAt(0, Rgba(m.top));
    g.setColorAt(0.55, Rgba(m.middle));
    g.setColorAt(1, Rgba(m.horizon));
    p.fillRect(QRectF(0, 0, kSceneW, kSceneH), g);
    Dice d{7};  // the stars, fainter towards the horizon, where the air is thicker
    for (int32_t i = 0; i < int32_t(260 * m.stars); ++i) {
        const QPointF at(d() * kSceneW, d() * d() * scene.horizon);
        const float bright = d() * (1 - float(at.y()) / scene.horizon), r = d.In(0.3f, 0.9f);
        Disc(p, at, r, r, QColor(255, 250, 235, int(255 * std::min(1.f, bright * 1.6f))));
        if (r > 0.85f) Glow(p, at, 4, QColor(200, 210, 255, 90));
    }
}

void PaintSun(QPainter& p, const Light& light) {
    const QColor color = Rgba(light.moment.sun);
    Glow(p, light.sun, light.moment.moon ? 45 : 110, Faded(color, 0.7f));
    Disc(p, light.sun, 11, 11, color);
    if (light.moment.moon) Disc(p, light.sun + QPointF(-3, -2), 5, 4, QColor(150, 150, 170, 70));
}

}  // namespace

QImage PaintScene(const Scene& scene, int32_t stage) {
    QImage image(int(kSceneW), int(kSceneH), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Moment& m = *scene.moments[stage];
    const QPointF sun(m.sunX * kSceneW, scene.horizon * (1 - m.sunHeight));
    const Light light{m, sun, m.sunHeight >= 0};
    PaintSky(p, scene, m);
    if (light.sunUp) PaintSun(p, light);
    for (const Element& e : scene.elements) {
        if (stage < e.from || stage > e.to) continue;
        p.save();
        e.paint(p, e, light);
        p.restore();
    }
    return image;
}

Image ToImage(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    Image image{rgb.width(), rgb.height(), {}};
    const size_t row = size_t(rgb.width()) * 3;  // scan lines may be padded
    image.rgb.reserve(row * size_t(rgb.height()));
    for (int32_t y = 0; y < rgb.height(); ++y)
        image.rgb.insert(image.rgb.end(), rgb.constScanLine(y), rgb.constScanLine(y) + row);
    return image;
}
