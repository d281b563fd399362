#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cstdint>
#include <span>
#include <string>

#include "photos/Image.h"

// The demo scenes and what paints them. A scene is plain data: the light of
// each of its five stages and the elements painted over it, back to front
// (scenes.txt). Every scene is painted by the same composition (Compose.cpp),
// each element by its painter with QPainter. Coordinates are those of a
// 291 x 433 photo, y growing downwards. Colours are 0xAARRGGBB, where an alpha
// of 0 means opaque, so 0xRRGGBB reads as it looks.

inline constexpr float kSceneW = 291, kSceneH = 433;
inline constexpr int32_t kStages = 5;

struct Element;
struct Light;
// Paints one element; what it takes from x, y, w, h, s, n, c1 and c2 is
// written beside each painter below.
using Painter = void(QPainter& p, const Element& e, const Light& light);

// The time of day or year a stage shows: the sky, the sun or moon, and the
// light that every lit element is multiplied by.
struct Moment {
    uint32_t top, middle, horizon;  // the sky from the top down to the horizon
    uint32_t light;
    float sunX, sunHeight;  // shares of the width and of the sky's height; below 0: none
    uint32_t sun;
    bool moon;    // the disc is the moon
    float stars;  // how many, 1 being a clear night
    bool lamps;   // windows, lanterns and the lighthouse are lit
};

struct Element {
    Painter* paint;
    int8_t from, to;  // the first and last stage that show it
    float x, y, w, h, s;
    int32_t n;
    uint32_t c1, c2;
};

struct Scene {
    float horizon;  // where the sky meets the land, for the sun and the stars
    const Moment* moments[kStages];
    std::span<const Element> elements;
};

// A scene of scenes.txt by its name.
const Scene& SceneNamed(const std::string& name);

// A stream of numbers in [0, 1) from a seed, the same on every platform, so
// that every build paints the same gallery.
struct Dice {
    uint32_t state;
    float operator()() {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / 16777216.f;
    }
    float In(float lo, float hi) { return lo + (hi - lo) * (*this)(); }
};

// The light of the stage being painted.
struct Light {
    const Moment& moment;
    QPointF sun;  // where the sun or moon stands, when it does
    bool sunUp;
    // A colour as this light shows it; lamps and glows shine and are not lit.
    QColor operator()(uint32_t argb) const;
};

QColor Rgba(uint32_t argb);
QColor Faded(QColor color, float alpha);  // the colour at this share of its alpha
QLinearGradient Ramp(QPointF from, QPointF to, const QColor& a, const QColor& b);
void Disc(QPainter& p, QPointF at, double rx, double ry, const QBrush& brush);
void Shape(QPainter& p, const QPolygonF& outline, const QBrush& brush);
void Glow(QPainter& p, QPointF at, float radius, const QColor& color);  // brightest inside
// An element's own seed, from its place, so that an element shown in several
// stages looks the same in each.
uint32_t SeedOf(const Element& e);

// The whole of one stage of a scene, kSceneW x kSceneH.
QImage PaintScene(const Scene& scene, int32_t stage);
// The picture in the photo code's RGB form.
Image ToImage(const QImage& picture);

namespace paint {
// Land and water (Landscape.cpp).
Painter Clouds;      // n clouds about s across in the box (x, y, w, h); c1 lit, c2 shade
Painter Ridge;       // land from y up by w, waves h long; n 0 hills, 1 snowy peaks, 2 dunes
Painter Fields;      // a ridge as Ridge, cut into fields of c1 to c2
Painter Sea;         // water from y down, c1 far, c2 near, n wave crests
Painter Reflection;  // mirrors what is above y into the water below, at opacity s
Painter Grass;       // n blades about h tall in the band (x, y, w, s); c1, c2
Painter Flowers;     // n flowers about s across in the band (x, y, w, h); c1, c2, white
Painter Dots;        // n dots about s across in the ellipse (x, y, w, h); c1, c2
Painter Sparks;      // Dots that glow
Painter Craters;     // n craters about s across in the box (x, y, w, h); c1 floor, c2 rim
Painter Rock;        // a boulder of radii (w, h) about (x, y); c1 lit, c2 shade
// What grows or stands there (Props.cpp).
Painter Tree;        // foot (x, y), trunk h by w, n forks; leaves of radius s in c2, or bare
Painter Pines;       // n firs about h tall from x to x + w along y; c1 dark, c2 lit; s 1: snow
Painter Palm;        // foot (x, y), h tall, leaning w; c1 trunk, c2 fronds
Painter House;       // from (x, y), w by h; n 1: of logs; c1 roof, c2 walls
Painter Lighthouse;  // foot (x, y), w by h, n stripes of c1 on c2
Painter Tent;        // foot (x, y), s tall, of c1, with a fire when the lamps are lit
Painter Snowman;     // foot (x, y), s tall; c1 scarf, c2 hat
// What travels (Travellers.cpp).
Painter Ship;     // on the water at (x, y), scale s; n 1 sailboat, 3 masts; c1 sails, c2 hull
Painter Balloon;  // centre (x, y), radius s, gores of c1 and c2
Painter Birds;    // n birds about s wide in the box (x, y, w, h), c1
Painter Fish;     // n 1: at (x, y); more: a shoal in the box (x, y, w, h); s long, c1, c2
Painter Camels;   // n camels s tall from (x, y), w apart, c1
// The sky's own lights (Skylights.cpp).
Painter Rainbow;   // centre (x, y), radius s, w wide
Painter Aurora;    // curtains along y, h tall, c1 below, c2 above
Painter MilkyWay;  // from (x, y) to (x + w, y + h), s wide, n stars; c1 glow, c2 dust
Painter Planet;    // centre (x, y), radius s, bands c1 and c2, rings
Painter Beams;     // n shafts of c1 from (x, y) down h, spread over w
}  // namespace paint
