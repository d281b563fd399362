#pragma once

#include <cstdint>
#include <vector>

#include "tools/pelvanta-archive/Raster.h"

// Pieces of landscape shared by the demo scenes. Coordinates are scene units
// of a 291 x 433 photo, y growing downwards.

inline constexpr float kSceneW = 291;
inline constexpr float kSceneH = 433;
inline constexpr float kPi = 3.14159265f;

// A vertical gradient over the whole canvas: stops at 0 on `top`, 1 on `bottom`.
void Sky(Canvas& c, const std::vector<Stop>& stops, float top, float bottom);
// A sun or moon disc with its halo.
void Sun(Canvas& c, Pt at, float radius, Rgb disc, Rgb halo, float glow);
// A crescent: a disc with a darker disc taken out of it.
void Crescent(Canvas& c, Pt at, float radius, Rgb light, Rgb sky, float phase);
// Scattered stars above `bottom`, fading out towards it.
void Stars(Canvas& c, uint32_t seed, int32_t count, float bottom, float brightness);
// Soft clouds in a horizontal band, lit from `light` and shaded below.
void Clouds(Canvas& c, uint32_t seed, float top, float bottom, float amount, Rgb lit, Rgb shade,
            float opacity);
// A fractal mountain or hill line.
float Ridge(float x, uint32_t seed, float base, float amplitude, float detail);
// Fills below a ridge with a vertical gradient from `top` to `bottom` colour.
void RidgeLayer(Canvas& c, uint32_t seed, float base, float amplitude, float detail, Rgb top,
                Rgb bottom);
// Haze: mixes the whole canvas below `from` towards `color`.
void Haze(Canvas& c, float from, float to, Rgb color, float amount);
// A small bird in flight: two curved wings.
void Bird(Canvas& c, Pt at, float span, float flap, Rgb color);
// A pine tree: stacked tiers on a short trunk; `at` is the foot of the trunk.
void Pine(Canvas& c, Pt at, float height, Rgb dark, Rgb light, float snow);
// A round leafy crown made of clustered blobs, light from upper left.
void Crown(Canvas& c, uint32_t seed, Pt center, float radius, Rgb dark, Rgb mid, Rgb light);
// A flower: petals around a centre, `open` from 0 (bud) to 1 (wide open).
void Flower(Canvas& c, Pt at, float radius, int32_t petals, float open, float turn, Rgb petal,
            Rgb tip, Rgb heart);
// Water below `waterline` reflecting what is above it, with ripples.
void Reflect(Canvas& c, float waterline, Rgb tint, float tintAmount, float ripple, uint32_t seed);
// A smooth path through control points (Catmull-Rom), `per` samples each span.
std::vector<Pt> Curve(const std::vector<Pt>& points, int32_t per);
// Open water from the horizon down: a gradient with waves that shrink towards
// the horizon, catching `sparkle`, and a glittering path under a light at
// `glitterX` (none when glitter is 0).
void Sea(Canvas& c, float horizon, Rgb far, Rgb near, Rgb sparkle, float glitterX, float glitter,
         uint32_t seed);
// A cone of light from `from` towards `angle`, added to the canvas.
void Beam(Canvas& c, Pt from, float angle, float halfWidth, Rgb color, float strength);
// A boulder outline: a lumpy ellipse resting on a flattened base.
std::vector<Pt> Boulder(Pt at, float rx, float ry, uint32_t seed);
// Light shafts from a point above, added to the canvas.
void Rays(Canvas& c, Pt from, int32_t count, float spread, Rgb color, float strength,
          uint32_t seed);
