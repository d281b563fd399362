#include "tools/pelvanta-archive/Raster.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

uint32_t Mix32(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float Lattice(int32_t x, int32_t y, uint32_t seed) {
    return Hash01(uint32_t(x), uint32_t(y), seed);
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
Rgb Add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb Hex(uint32_t rgb) {
    return {float((rgb >> 16) & 255) / 255, float((rgb >> 8) & 255) / 255, float(rgb & 255) / 255};
}

Rgb Ramp(const std::vector<Stop>& stops, float t) {
    if (t <= stops.front().at) return stops.front().color;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            const float f = span > 0 ? (t - stops[i - 1].at) / span : 1;
            return Mix(stops[i - 1].color, stops[i].color, Smooth(0, 1, f));
        }
    }
    return stops.back().color;
}

float Hash01(uint32_t a, uint32_t b, uint32_t c) {
    const uint32_t h = Mix32(a * 0x9E3779B1u ^ Mix32(b * 0x85EBCA77u ^ Mix32(c + 0x165667B1u)));
    return float(h >> 8) / float(1u << 24);
}

float Noise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    const float tx = x - fx, ty = y - fy;
    // quintic fade: no visible grid creases
    const float u = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    const float v = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    const float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(x, y, seed + uint32_t(i) * 101);
        norm += amplitude;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f + 5.3f;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

float Clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float Smooth(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Canvas::Canvas(int32_t width, int32_t height, float originX, float originY, float scale)
    : width_(width),
      height_(height),
      originX_(originX),
      originY_(originY),
      scale_(scale),
      pixels_(size_t(width) * height),
      area_(size_t(width + 2) * height + 2, 0.f),
      dirtyTop_(height),
      dirtyBottom_(0) {}

void Canvas::Polygon(const std::vector<Pt>& points) {
    Outline(points, false);
}

void Canvas::Cut(Pt center, float radius) {
    Outline(EllipsePoints(center, radius, radius, 0), true);
}

void Canvas::Outline(const std::vector<Pt>& points, bool hole) {
    if (points.size() < 3) return;
    float twiceArea = 0;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        twiceArea += (points[j].x - points[i].x) * (points[j].y + points[i].y);
    // One orientation for every shape, so overlapping shapes add up instead of cancelling.
    const bool reverse = (twiceArea > 0) != hole;
    const size_t n = points.size();
    for (size_t k = 0; k < n; ++k) {
        const Pt& a = reverse ? points[n - 1 - k] : points[k];
        const Pt& b = reverse ? points[(2 * n - 2 - k) % n] : points[(k + 1) % n];
        EdgeClipped((a.x - originX_) * scale_, (a.y - originY_) * scale_, (b.x - originX_) * scale_,
                    (b.y - originY_) * scale_);
    }
}

void Canvas::Circle(Pt center, float radius) {
    Ellipse(center, radius, radius);
}

void Canvas::Ellipse(Pt center, float rx, float ry, float angle) {
    Outline(EllipsePoints(center, rx, ry, angle), false);
}

std::vector<Pt> Canvas::EllipsePoints(Pt center, float rx, float ry, float angle) const {
    const float pixels = std::max(rx, ry) * scale_;
    if (!(pixels > 0)) return {};
    // keeps the chord within a twentieth of a pixel of the true curve
    const int32_t n = std::clamp(int32_t(std::ceil(kPi / std::sqrt(0.1f / pixels))), 12, 720);
    // and the polygon is widened a little so that it covers the curve's true area
    const float step = 2 * kPi / float(n);
    const float widen = std::sqrt(step / std::sin(step));
    const float c = std::cos(angle), s = std::sin(angle);
    std::vector<Pt> points(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const float t = step * float(i);
        const float ex = rx * widen * std::cos(t), ey = ry * widen * std::sin(t);
        points[size_t(i)] = {center.x + ex * c - ey * s, center.y + ex * s + ey * c};
    }
    return points;
}

void Canvas::Rect(float x0, float y0, float x1, float y1) {
    Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void Canvas::Stroke(const std::vector<Pt>& path, float width, float endWidth) {
    if (path.empty()) return;
    if (path.size() == 1) {
        Circle(path[0], width / 2);
        return;
    }
    std::vector<float> along(path.size(), 0.f);
    for (size_t i = 1; i < path.size(); ++i)
        along[i] = along[i - 1] + std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
    const float total = along.back() > 0 ? along.back() : 1;
    std::vector<Pt> left, right;
    for (size_t i = 0; i < path.size(); ++i) {
        const Pt& a = path[i == 0 ? 0 : i - 1];
        const Pt& b = path[i + 1 < path.size() ? i + 1 : i];
        float dx = b.x - a.x, dy = b.y - a.y;
        const float len = std::hypot(dx, dy);
        if (len > 0) dx /= len, dy /= len;
        const float half = (width + (endWidth - width) * along[i] / total) / 2;
        left.push_back({path[i].x - dy * half, path[i].y + dx * half});
        right.push_back({path[i].x + dy * half, path[i].y - dx * half});
    }
    std::vector<Pt> outline(left);
    outline.insert(outline.end(), right.rbegin(), right.rend());
    Polygon(outline);
    Circle(path.front(), width / 2);
    Circle(path.back(), endWidth / 2);
}

void Canvas::EdgeClipped(float x0, float y0, float x1, float y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const float w = float(width_);
    float cuts[4] = {0, 0, 0, 0};
    int n = 1;
    if (x0 != x1) {
        float t0 = (0 - x0) / (x1 - x0), t1 = (w - x0) / (x1 - x0);
        if (t0 > t1) std::swap(t0, t1);
        if (t0 > 0 && t0 < 1) cuts[n++] = t0;
        if (t1 > 0 && t1 < 1) cuts[n++] = t1;
    }
    cuts[n++] = 1;
    // Parts left or right of the canvas become vertical runs along its sides:
    // they still cover everything beside them, as the whole edge would.
    for (int i = 0; i + 1 < n; ++i) {
        const float ta = cuts[i], tb = cuts[i + 1];
        const float ax = std::clamp(x0 + (x1 - x0) * ta, 0.f, w);
        const float bx = std::clamp(x0 + (x1 - x0) * tb, 0.f, w);
        Edge(ax, y0 + (y1 - y0) * ta, bx, y0 + (y1 - y0) * tb);
    }
}

// Adds the signed area that one edge covers to each pixel right of it; a
// running sum along each row then gives the coverage of the closed shape.
void Canvas::Edge(float x0, float y0, float x1, float y1) {
    if (std::fabs(y0 - y1) <= 1e-6f) return;
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    if (y1 <= 0 || y0 >= float(height_)) return;
    const float dxdy = (x1 - x0) / (y1 - y0);
    float x = x0;
    if (y0 < 0) x = std::clamp(x - y0 * dxdy, 0.f, float(width_));
    const int32_t yStart = std::max(0, int32_t(std::floor(y0)));
    const int32_t yEnd = std::min(height_, int32_t(std::ceil(y1)));
    dirtyTop_ = std::min(dirtyTop_, yStart);
    dirtyBottom_ = std::max(dirtyBottom_, yEnd);
    const int32_t stride = width_ + 2;
    for (int32_t y = yStart; y < yEnd; ++y) {
        float* row = &area_[size_t(y) * stride];
        const float dy = std::min(float(y + 1), y1) - std::max(float(y), y0);
        const float xNext = std::clamp(x + dxdy * dy, 0.f, float(width_));
        const float d = dy * dir;
        const float lo = std::min(x, xNext), hi = std::max(x, xNext);
        const float loFloor = std::floor(lo);
        const int32_t loI = int32_t(loFloor);
        const float hiCeil = std::ceil(hi);
        const int32_t hiI = int32_t(hiCeil);
        if (hiI <= loI + 1) {
            const float mid = 0.5f * (x + xNext) - loFloor;
            row[loI] += d - d * mid;
            row[loI + 1] += d * mid;
        } else {
            const float s = 1 / (hi - lo);
            const float loF = lo - loFloor;
            const float a0 = 0.5f * s * (1 - loF) * (1 - loF);
            const float hiF = hi - hiCeil + 1;
            const float am = 0.5f * s * hiF * hiF;
            row[loI] += d * a0;
            if (hiI == loI + 2) {
                row[loI + 1] += d * (1 - a0 - am);
            } else {
                const float a1 = s * (1.5f - loF);
                row[loI + 1] += d * (a1 - a0);
                for (int32_t xi = loI + 2; xi < hiI - 1; ++xi) row[xi] += d * s;
                const float a2 = a1 + float(hiI - loI - 3) * s;
                row[hiI - 1] += d * (1 - a2 - am);
            }
            row[hiI] += d * am;
        }
        x = xNext;
    }
}

void Canvas::Paint(Rgb color, float opacity) {
    Resolve([&](int32_t, int32_t) { return color; }, opacity);
}

void Canvas::Glow(Pt center, float radius, Rgb color, float strength) {
    const float cx = (center.x - originX_) * scale_, cy = (center.y - originY_) * scale_;
    const float r = radius * scale_;
    const int32_t x0 = std::max(0, int32_t(cx - 3 * r)),
                  x1 = std::min(width_, int32_t(cx + 3 * r) + 1);
    const int32_t y0 = std::max(0, int32_t(cy - 3 * r)),
                  y1 = std::min(height_, int32_t(cy + 3 * r) + 1);
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            const float dx = (x + 0.5f - cx) / r, dy = (y + 0.5f - cy) / r;
            const float k = strength * std::exp(-(dx * dx + dy * dy));
            Rgb& p = pixels_[size_t(y) * width_ + x];
            p = Add(p, Scale(color, k));
        }
    }
}

Rgb Canvas::Sample(float x, float y) const {
    const float px = std::clamp((x - originX_) * scale_ - 0.5f, 0.f, float(width_ - 1));
    const float py = std::clamp((y - originY_) * scale_ - 0.5f, 0.f, float(height_ - 1));
    const int32_t x0 = int32_t(px), y0 = int32_t(py);
    const int32_t x1 = std::min(x0 + 1, width_ - 1), y1 = std::min(y0 + 1, height_ - 1);
    const float fx = px - float(x0), fy = py - float(y0);
    const Rgb top = Mix(pixels_[size_t(y0) * width_ + x0], pixels_[size_t(y0) * width_ + x1], fx);
    const Rgb bottom =
        Mix(pixels_[size_t(y1) * width_ + x0], pixels_[size_t(y1) * width_ + x1], fx);
    return Mix(top, bottom, fy);
}

Image Canvas::ToImage(uint32_t ditherSeed) const {
    Image image;
    image.width = width_;
    image.height = height_;
    image.rgb.resize(size_t(width_) * height_ * 3);
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            const Rgb& p = pixels_[size_t(y) * width_ + x];
            // a little noise keeps smooth gradients from banding
            const float dither = Hash01(uint32_t(x), uint32_t(y), ditherSeed) +
                                 Hash01(uint32_t(x), uint32_t(y), ditherSeed + 7) - 1;
            const float channels[3] = {p.r, p.g, p.b};
            for (int c = 0; c < 3; ++c) {
                const float v = Clamp01(channels[c]) * 255 + dither * 0.5f + 0.5f;
                image.rgb[(size_t(y) * width_ + x) * 3 + c] = uint8_t(std::clamp(v, 0.f, 255.f));
            }
        }
    }
    return image;
}
