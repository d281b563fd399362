#include "tools/pelvanta-archive/Scenery.h"

#include <algorithm>
#include <cmath>

void Sky(Canvas& c, const std::vector<Stop>& stops, float top, float bottom) {
    c.Fill([&](float, float y) { return Ramp(stops, (y - top) / (bottom - top)); });
}

void Sun(Canvas& c, Pt at, float radius, Rgb disc, Rgb halo, float glow) {
    c.Glow(at, radius * 5, halo, glow * 0.35f);
    c.Glow(at, radius * 2, halo, glow * 0.5f);
    c.Circle(at, radius);
    c.Paint(disc);
}

void Crescent(Canvas& c, Pt at, float radius, Rgb light, Rgb sky, float phase) {
    c.Glow(at, radius * 3, Scale(light, 0.6f), 0.25f);
    c.Circle(at, radius);
    c.PaintShaded([&](float x, float y) {  // faint seas on the face
        return Scale(light, 0.86f + 0.14f * Smooth(0.35f, 0.6f, Fbm(x / 7, y / 7, 5, 3)));
    });
    (void)sky;
    if (phase <= 0) return;
    c.Circle(at, radius);
    c.Cut({at.x + radius * phase, at.y - radius * 0.25f * phase}, radius * 0.95f);
    c.Paint(Hex(0x000000), 0.85f);
}

void Stars(Canvas& c, uint32_t seed, int32_t count, float bottom, float brightness) {
    for (int32_t i = 0; i < count; ++i) {
        const float x = Hash01(seed, uint32_t(i), 1) * kSceneW;
        const float y = Hash01(seed, uint32_t(i), 2) * bottom;
        const float size = Hash01(seed, uint32_t(i), 3);
        const float fade = 1 - Smooth(bottom * 0.6f, bottom, y);
        const float b = brightness * fade * (0.35f + 0.65f * size);
        const Rgb tone = Mix(Hex(0xBFD4FF), Hex(0xFFF1D6), Hash01(seed, uint32_t(i), 4));
        if (size > 0.93f) c.Glow({x, y}, 2.5f, tone, b * 0.6f);
        c.Circle({x, y}, 0.35f + 0.75f * size * size);
        c.Paint(tone, std::min(1.f, b));
    }
}

void Clouds(Canvas& c, uint32_t seed, float top, float bottom, float amount, Rgb lit, Rgb shade,
            float opacity) {
    const float mid = (top + bottom) / 2, half = (bottom - top) / 2;
    c.Apply([&](float x, float y, Rgb p) {
        if (y < top - 20 || y > bottom + 20) return p;
        const float band = 1 - Smooth(0.4f, 1.1f, std::fabs(y - mid) / half);
        const float n = Fbm(x / 70, y / 22, seed, 5);
        const float density = Smooth(1 - amount, 1 - amount + 0.22f, n * band);
        if (density <= 0) return p;
        // the upper side of a cloud catches the light
        const float above = Fbm(x / 70, (y - 6) / 22, seed, 5) * band;
        const float light = Clamp01(0.5f + (n - above) * 6);
        return Mix(p, Mix(shade, lit, light), density * opacity);
    });
}

float Ridge(float x, uint32_t seed, float base, float amplitude, float detail) {
    const float broad = Fbm(x / 120, 0.5f, seed, 2) - 0.5f;
    const float fine = Fbm(x / 30, 3.5f, seed + 9, 4) - 0.5f;
    return base - amplitude * (broad * 2 + fine * detail);
}

void RidgeLayer(Canvas& c, uint32_t seed, float base, float amplitude, float detail, Rgb top,
                Rgb bottom) {
    c.Below([&](float x) { return Ridge(x, seed, base, amplitude, detail); }, kSceneH + 5);
    const float from = base - amplitude, to = kSceneH;
    c.PaintShaded(
        [&](float, float y) { return Mix(top, bottom, Clamp01((y - from) / (to - from))); });
}

void Haze(Canvas& c, float from, float to, Rgb color, float amount) {
    c.Apply([&](float, float y, Rgb p) { return Mix(p, color, amount * Smooth(from, to, y)); });
}

void Bird(Canvas& c, Pt at, float span, float flap, Rgb color) {
    const float h = span * (0.15f + 0.2f * flap);
    c.Stroke(Curve({{at.x - span / 2, at.y - h}, {at.x - span / 4, at.y - h * 0.9f}, at}, 6),
             span * 0.03f, span * 0.09f);
    c.Stroke(Curve({at, {at.x + span / 4, at.y - h * 0.9f}, {at.x + span / 2, at.y - h}}, 6),
             span * 0.09f, span * 0.03f);
    c.Paint(color);
}

void Pine(Canvas& c, Pt at, float height, Rgb dark, Rgb light, float snow) {
    const float w = height * 0.42f;
    c.Rect(at.x - w * 0.06f, at.y - height * 0.15f, at.x + w * 0.06f, at.y);
    c.Paint(Mix(dark, Hex(0x3A2A1E), 0.6f));
    // tall trees get more tiers, so each stays about as deep as it is wide
    const int32_t tiers = std::max(4, int32_t(height / 22));
    for (int32_t t = 0; t < tiers; ++t) {
        const float f = float(t) / float(tiers);
        const float baseY = at.y - height * (0.1f + 0.8f * f);
        const float topY = baseY - height * (0.1f + 1.1f / float(tiers));
        const float half = w * (1 - f * 0.72f) / 2;
        std::vector<Pt> tier = {{at.x - half, baseY},
                                {at.x - half * 0.3f, baseY - height * 0.04f},
                                {at.x, topY},
                                {at.x + half * 0.3f, baseY - height * 0.04f},
                                {at.x + half, baseY}};
        c.Polygon(tier);
        c.Paint(dark);
        // the sunlit left flank
        c.Polygon(
            {{at.x - half, baseY}, {at.x, topY}, {at.x - half * 0.1f, baseY - height * 0.02f}});
        c.Paint(light, 0.55f);
        if (snow > 0) {
            c.Polygon({{at.x - half * 0.95f, baseY - 0.5f},
                       {at.x, topY + 1},
                       {at.x + half * 0.95f, baseY - 0.5f},
                       {at.x + half * 0.5f, baseY - height * 0.07f},
                       {at.x, topY + height * 0.12f},
                       {at.x - half * 0.5f, baseY - height * 0.07f}});
            c.Paint(Hex(0xF4F8FF), snow);
        }
    }
}

void Crown(Canvas& c, uint32_t seed, Pt center, float radius, Rgb dark, Rgb mid, Rgb light) {
    const int32_t blobs = 14;
    for (int pass = 0; pass < 3; ++pass) {
        const Rgb tone = pass == 0 ? dark : (pass == 1 ? mid : light);
        for (int32_t i = 0; i < blobs; ++i) {
            const float a = Hash01(seed, uint32_t(i), 1) * 2 * kPi;
            const float d = std::sqrt(Hash01(seed, uint32_t(i), 2)) * radius * 0.62f;
            const float r = radius * (0.32f + 0.2f * Hash01(seed, uint32_t(i), 3));
            // each pass shrinks the blobs and pulls them towards the light
            const float shift = radius * 0.12f * float(pass);
            const float shrink = 1 - 0.22f * float(pass);
            c.Circle(
                {center.x + std::cos(a) * d - shift, center.y + std::sin(a) * d * 0.85f - shift},
                r * shrink);
        }
        c.Paint(tone);
    }
}

void Flower(Canvas& c, Pt at, float radius, int32_t petals, float open, float turn, Rgb petal,
            Rgb tip, Rgb heart) {
    if (open < 0.15f) {
        // a closed bud
        c.Ellipse({at.x, at.y - radius * 0.25f}, radius * 0.28f, radius * 0.5f);
        c.Paint(Mix(Hex(0x4E8A3A), petal, 0.35f));
        return;
    }
    const float length = radius * (0.45f + 0.55f * open);
    for (int32_t i = 0; i < petals; ++i) {
        const float a = turn + 2 * kPi * float(i) / float(petals);
        const Pt mid = {at.x + std::cos(a) * length * 0.55f, at.y + std::sin(a) * length * 0.55f};
        c.Ellipse(mid, length * 0.55f, length * (0.16f + 0.14f * open) * 6.f / float(petals) * 1.4f,
                  a);
    }
    c.PaintShaded([&](float x, float y) {
        const float d = std::hypot(x - at.x, y - at.y) / length;
        return Mix(petal, tip, Clamp01(d * d));
    });
    c.Circle(at, radius * 0.22f);
    c.Paint(heart);
    c.Circle({at.x - radius * 0.06f, at.y - radius * 0.06f}, radius * 0.09f);
    c.Paint(Mix(heart, Hex(0xFFFFFF), 0.35f));
}

void Reflect(Canvas& c, float waterline, Rgb tint, float tintAmount, float ripple, uint32_t seed) {
    const Canvas above = c;
    c.Apply([&](float x, float y, Rgb p) {
        if (y < waterline) return p;
        const float depth = y - waterline;
        const float wave = (Noise(x / 40, depth * depth / 900 + depth / 6, seed) - 0.5f) * ripple *
                           (0.3f + depth / 60);
        const float sy = waterline - depth - std::fabs(wave) * 0.3f;
        const Rgb mirrored = above.Sample(x + wave, std::max(0.f, sy));
        // deeper water shows less of the sky and more of its own colour
        return Mix(mirrored, tint, Clamp01(tintAmount + depth / 900));
    });
}

std::vector<Pt> Curve(const std::vector<Pt>& p, int32_t per) {
    std::vector<Pt> out;
    if (p.size() < 2) return p;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        const Pt& p0 = p[i == 0 ? 0 : i - 1];
        const Pt& p1 = p[i];
        const Pt& p2 = p[i + 1];
        const Pt& p3 = p[i + 2 < p.size() ? i + 2 : i + 1];
        for (int32_t k = 0; k < per; ++k) {
            const float t = float(k) / float(per), t2 = t * t, t3 = t2 * t;
            auto at = [&](float a, float b, float cc, float d) {
                return 0.5f * (2 * b + (-a + cc) * t + (2 * a - 5 * b + 4 * cc - d) * t2 +
                               (-a + 3 * b - 3 * cc + d) * t3);
            };
            out.push_back({at(p0.x, p1.x, p2.x, p3.x), at(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    out.push_back(p.back());
    return out;
}

void Rays(Canvas& c, Pt from, int32_t count, float spread, Rgb color, float strength,
          uint32_t seed) {
    std::vector<float> angles(static_cast<size_t>(count)), widths(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        angles[size_t(i)] = kPi / 2 + (Hash01(seed, uint32_t(i)) - 0.5f) * spread;
        widths[size_t(i)] = 0.012f + 0.03f * Hash01(seed, uint32_t(i), 5);
    }
    c.Apply([&](float x, float y, Rgb p) {
        const float a = std::atan2(y - from.y, x - from.x);
        const float d = std::hypot(x - from.x, y - from.y);
        float light = 0;
        for (int32_t i = 0; i < count; ++i) {
            const float off = std::fabs(a - angles[size_t(i)]) / widths[size_t(i)];
            light += std::exp(-off * off);
        }
        const float fall = std::exp(-d / (kSceneH * 0.9f));
        return Add(p, Scale(color, strength * light * fall));
    });
}

void Sea(Canvas& c, float horizon, Rgb far, Rgb near, Rgb sparkle, float glitterX, float glitter,
         uint32_t seed) {
    c.Apply([&](float x, float y, Rgb p) {
        if (y < horizon) return p;
        const float d = y - horizon;
        // perspective: rows near the horizon hold far more sea; the linear
        // term keeps small waves in the foreground too
        const float across = std::min(3.f, 60 / (d + 3)) + 0.25f;
        const float u = x * across / 16, v = (60 * std::log(d + 3) + 0.25f * d) / 4;
        const float wave = Fbm(u, v, seed, 4);
        const float crest = Smooth(0.55f, 0.75f, wave);
        Rgb water = Mix(far, near, Smooth(0, kSceneH - horizon, d));
        water = Mix(water, Scale(water, 0.8f), Smooth(0.35f, 0.15f, wave) * 0.7f);
        water = Mix(water, sparkle, crest * 0.35f);
        if (glitter > 0) {
            const float spread = 6 + d * 0.45f;
            const float column = std::exp(-(x - glitterX) * (x - glitterX) / (spread * spread));
            water = Add(water, Scale(sparkle, glitter * column * Smooth(0.45f, 0.7f, wave)));
        }
        return water;
    });
}

void Beam(Canvas& c, Pt from, float angle, float halfWidth, Rgb color, float strength) {
    const float ax = std::cos(angle), ay = std::sin(angle);
    c.Apply([&](float x, float y, Rgb p) {
        const float dx = x - from.x, dy = y - from.y;
        const float along = dx * ax + dy * ay;
        if (along <= 0) return p;
        const float across = -dx * ay + dy * ax;
        const float spread = across / (halfWidth * along + 2);
        const float k =
            strength * std::exp(-spread * spread * 2) * (0.35f + 0.65f * std::exp(-along / 260));
        return Add(p, Scale(color, k));
    });
}

std::vector<Pt> Boulder(Pt at, float rx, float ry, uint32_t seed) {
    std::vector<Pt> outline;
    for (int32_t i = 0; i < 40; ++i) {
        const float t = 2 * kPi * float(i) / 40;
        const float lump =
            0.82f + 0.36f * Noise(std::cos(t) * 1.6f + 5, std::sin(t) * 1.6f + 5, seed);
        const float y = at.y + std::sin(t) * ry * lump;
        outline.push_back({at.x + std::cos(t) * rx * lump, std::min(y, at.y + ry * 0.45f)});
    }
    return outline;
}
