#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "photos/Image.h"

// A small painter for the demo gallery: anti-aliased filled shapes, strokes,
// gradients, glows and noise, in floating-point RGB.
//
// Shapes are given in scene units. A canvas maps a square window of the scene
// onto its pixels, so one scene can be painted as a photo and, through a
// smaller window, as a thumbnail.

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb c, float k);
Rgb Add(Rgb a, Rgb b);
Rgb Hex(uint32_t rgb);  // 0xRRGGBB

struct Pt {
    float x = 0, y = 0;
};

// A colour ramp: stops at ascending positions.
struct Stop {
    float at;
    Rgb color;
};
Rgb Ramp(const std::vector<Stop>& stops, float t);

// Deterministic smooth noise in [0, 1].
float Noise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
// A hash of integers to [0, 1), for scattering things.
float Hash01(uint32_t a, uint32_t b = 0, uint32_t c = 0);

float Clamp01(float v);
float Smooth(float edge0, float edge1, float v);

class Canvas {
public:
    // Pixels (width x height) showing the scene from (originX, originY) at
    // `scale` pixels per scene unit.
    Canvas(int32_t width, int32_t height, float originX = 0, float originY = 0, float scale = 1);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    float PixelSize() const { return 1 / scale_; }  // one pixel in scene units

    // Shapes accumulate into the coverage mask until the next Paint, which
    // lays a colour through it and clears it. Shapes of one paint merge.
    void Polygon(const std::vector<Pt>& points);
    void Circle(Pt center, float radius);
    void Ellipse(Pt center, float rx, float ry, float angle = 0);
    void Rect(float x0, float y0, float x1, float y1);
    // Takes a disc out of the shapes added before it (for one shape beneath).
    void Cut(Pt center, float radius);
    // A stroke along a path, `width` wide, tapering linearly to `endWidth`,
    // with round ends.
    void Stroke(const std::vector<Pt>& path, float width, float endWidth);
    void Stroke(const std::vector<Pt>& path, float width) { Stroke(path, width, width); }
    // The area below a skyline y = f(x), sampled across the whole view.
    template <class F>
    void Below(F skyline, float bottom);

    void Paint(Rgb color, float opacity = 1);
    template <class Shader>
    void PaintShaded(Shader shader, float opacity = 1);  // shader(x, y) -> Rgb, scene units

    // Whole-canvas operations.
    template <class Shader>
    void Fill(Shader shader);  // shader(x, y) -> Rgb
    // Adds light falling off from a point: a soft halo.
    void Glow(Pt center, float radius, Rgb color, float strength);
    // Replaces every pixel by shader(x, y, pixel).
    template <class Shader>
    void Apply(Shader shader);
    // The colour at a point of the scene, bilinear, clamped to the canvas.
    Rgb Sample(float x, float y) const;

    Image ToImage(uint32_t ditherSeed = 1) const;

    float ViewLeft() const { return originX_; }
    float ViewRight() const { return originX_ + width_ / scale_; }
    float ViewTop() const { return originY_; }
    float ViewBottom() const { return originY_ + height_ / scale_; }

private:
    void Edge(float x0, float y0, float x1, float y1);
    void Outline(const std::vector<Pt>& points, bool hole);
    std::vector<Pt> EllipsePoints(Pt center, float rx, float ry, float angle) const;
    void EdgeClipped(float x0, float y0, float x1, float y1);
    void Blend(int32_t x, int32_t y, Rgb color, float alpha) {
        Rgb& d = pixels_[size_t(y) * width_ + x];
        d.r += (color.r - d.r) * alpha;
        d.g += (color.g - d.g) * alpha;
        d.b += (color.b - d.b) * alpha;
    }
    template <class ColorAt>
    void Resolve(ColorAt colorAt, float opacity);

    int32_t width_, height_;
    float originX_, originY_, scale_;
    std::vector<Rgb> pixels_;
    std::vector<float> area_;  // signed area accumulation, stride width_ + 2
    int32_t dirtyTop_, dirtyBottom_;
};

template <class F>
void Canvas::Below(F skyline, float bottom) {
    std::vector<Pt> points;
    const float step = PixelSize();
    const float left = ViewLeft() - step, right = ViewRight() + step;
    for (float x = left; x < right + step; x += step) points.push_back({x, skyline(x)});
    points.push_back({right + step, bottom});
    points.push_back({left, bottom});
    Polygon(points);
}

template <class ColorAt>
void Canvas::Resolve(ColorAt colorAt, float opacity) {
    const int32_t stride = width_ + 2;
    for (int32_t y = dirtyTop_; y < dirtyBottom_; ++y) {
        float* row = &area_[size_t(y) * stride];
        float acc = 0;
        for (int32_t x = 0; x < width_; ++x) {
            acc += row[x];
            row[x] = 0;
            float coverage = acc;  // shapes add up; holes take away
            if (coverage < 1e-4f) continue;
            if (coverage > 1) coverage = 1;
            Blend(x, y, colorAt(x, y), coverage * opacity);
        }
        row[width_] = row[width_ + 1] = 0;
    }
    dirtyTop_ = height_;
    dirtyBottom_ = 0;
}

template <class Shader>
void Canvas::PaintShaded(Shader shader, float opacity) {
    Resolve(
        [&](int32_t x, int32_t y) {
            return shader(originX_ + (x + 0.5f) / scale_, originY_ + (y + 0.5f) / scale_);
        },
        opacity);
}

template <class Shader>
void Canvas::Apply(Shader shader) {
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            Rgb& p = pixels_[size_t(y) * width_ + x];
            p = shader(originX_ + (x + 0.5f) / scale_, originY_ + (y + 0.5f) / scale_, p);
        }
    }
}

template <class Shader>
void Canvas::Fill(Shader shader) {
    for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x)
            pixels_[size_t(y) * width_ + x] =
                shader(originX_ + (x + 0.5f) / scale_, originY_ + (y + 0.5f) / scale_);
}
