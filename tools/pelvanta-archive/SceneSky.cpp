// A ringed giant rising over the horizon of its moon; each stage it climbs
// higher, and the night around it fills with a nebula, a comet and moons.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kGround = 352;
constexpr float kRadius = 62;
constexpr float kTilt = 0.3f, kRingAngle = -0.28f;

Rgb Bands(float lat, float x, float y) {
    const float wobble = (Fbm(x / 40, y / 8, 211, 4) - 0.5f) * 0.25f;
    return Ramp({{0, Hex(0xE8D2A8)},
                 {0.18f, Hex(0xC89A6A)},
                 {0.3f, Hex(0xF2E2C0)},
                 {0.42f, Hex(0xB87A4A)},
                 {0.55f, Hex(0xE8CCA0)},
                 {0.68f, Hex(0xA8704A)},
                 {0.8f, Hex(0xF0DEC0)},
                 {1, Hex(0xC8A078)}},
                lat * 0.5f + 0.5f + wobble);
}

// Rings of the planet at `center`: the half behind the planet (front false)
// or the half before it.
void Rings(Canvas& c, Pt center, bool front) {
    const float cs = std::cos(kRingAngle), sn = std::sin(kRingAngle);
    c.Apply([&](float x, float y, Rgb p) {
        const float dx = x - center.x, dy = y - center.y;
        const float u = dx * cs + dy * sn, v = -dx * sn + dy * cs;
        if ((v > 0) != front) return p;
        const float rho = std::hypot(u, v / kTilt) / kRadius;
        if (rho < 1.25f || rho > 2.25f) return p;
        const float edge = Smooth(1.25f, 1.3f, rho) * Smooth(2.25f, 2.18f, rho);
        const float gap = Smooth(0.02f, 0.05f, std::fabs(rho - 1.82f));
        const float grain = 0.8f + 0.2f * std::sin(rho * 31) * std::sin(rho * 13 + 1);
        const Rgb ring = Mix(Hex(0xD8C8A8), Hex(0xF4E8D0), Smooth(1.3f, 2.2f, rho));
        // the planet's shadow falls across the rings behind it on the right
        const float shadow =
            front ? 1.f
                  : 1 - 0.7f * Smooth(-10, 10, u) *
                            Smooth(kRadius * 1.1f, kRadius * 0.8f, std::fabs(v / kTilt * 0.4f));
        return Mix(p, Scale(ring, shadow), edge * gap * grain * 0.85f);
    });
}

void Planet(Canvas& c, Pt center) {
    Rings(c, center, false);
    c.Circle(center, kRadius);
    c.PaintShaded([&](float x, float y) {
        const float nx = (x - center.x) / kRadius, ny = (y - center.y) / kRadius;
        const float nz = std::sqrt(std::max(0.f, 1 - nx * nx - ny * ny));
        const float lat = (ny * std::cos(kRingAngle) - nx * std::sin(kRingAngle));
        const float light = Clamp01(-0.62f * nx - 0.35f * ny + 0.7f * nz);
        return Scale(Bands(lat, x, y), 0.08f + 0.95f * light);
    });
    Rings(c, center, true);
}

void Crater(Canvas& c, Pt at, float r) {
    c.Ellipse(at, r, r * 0.32f);
    c.PaintShaded([&](float x, float y) {
        const float side = (x - at.x) / r;
        return Mix(Hex(0x4A4A52), Hex(0x9A9AA4),
                   Clamp01(0.5f + side * 0.6f - (y - at.y) / (r * 0.5f)));
    });
    c.Ellipse({at.x + r * 0.08f, at.y + r * 0.03f}, r * 0.8f, r * 0.22f);
    c.Paint(Hex(0x38383E), 0.6f);
}

}  // namespace

void PaintSky(Canvas& c, int32_t stage) {
    Sky(c, {{0, Hex(0x02030A)}, {0.7f, Hex(0x0A0C24)}, {1, Hex(0x1A1A40)}}, 0, kGround);
    if (stage >= 2) {  // a nebula drifting across the stars
        c.Apply([](float x, float y, Rgb p) {
            const float n = Fbm(x / 70, y / 70, 212, 5);
            const float wisp = Smooth(0.45f, 0.8f, n);
            const Rgb tone = Mix(Hex(0xC040A0), Hex(0x30A0C0), Fbm(x / 90, y / 90, 213, 3));
            return Add(p, Scale(tone, wisp * 0.45f * Smooth(320, 60, y)));
        });
    }
    Stars(c, 214, 380, kGround, 1);
    if (stage >= 3) {  // a comet with its long, faint tail
        const Pt head = {70, 70};
        c.Apply([&](float x, float y, Rgb p) {
            const float dx = x - head.x, dy = y - head.y;
            const float along = dx * 0.86f - dy * 0.5f;
            if (along < 0) return p;
            const float across = dx * 0.5f + dy * 0.86f;
            const float k =
                std::exp(-across * across / (4 + along * 0.5f)) * std::exp(-along / 120);
            return Add(p, Scale(Hex(0xA8D8FF), k * 0.7f));
        });
        c.Glow(head, 4, Hex(0xE8F8FF), 1.2f);
    }
    const float rise[] = {348, 300, 250, 212, 190};
    Planet(c, {156, rise[stage]});
    if (stage >= 4) {
        for (const Pt moon : {Pt{250, 90}, Pt{40, 200}}) {
            c.Circle(moon, moon.x > 100 ? 9 : 6);
            c.PaintShaded([&](float x, float) {
                return Mix(Hex(0xE8E8F0), Hex(0x404050), Smooth(moon.x - 8, moon.x + 8, x));
            });
        }
    }

    // the grey moon we stand on
    c.Below(
        [](float x) {
            return kGround - 10 * std::sin(x / 70 + 0.5f) - 8 * (Fbm(x / 20, 0, 215, 3) - 0.5f);
        },
        kSceneH + 2);
    c.PaintShaded([](float x, float y) {
        const float dust = Fbm(x / 9, y / 5, 216, 4);
        return Mix(Mix(Hex(0x8A8A94), Hex(0x3E3E48), Clamp01((y - 340) / 100)), Hex(0x5A5A64),
                   dust * 0.5f);
    });
    Crater(c, {60, 388}, 26);
    Crater(c, {210, 372}, 16);
    Crater(c, {150, 416}, 34);
    Crater(c, {262, 402}, 11);
    if (stage >= 3) {  // an observatory dome with a lit slit
        c.Rect(226, 340, 262, 352);
        c.Paint(Hex(0xB8B8C4));
        c.Polygon([] {
            std::vector<Pt> dome;
            for (int i = 0; i <= 24; ++i)
                dome.push_back({244 - std::cos(kPi * float(i) / 24) * 18,
                                341 - std::sin(kPi * float(i) / 24) * 16});
            return dome;
        }());
        c.PaintShaded(
            [](float x, float) { return Mix(Hex(0xF0F0F8), Hex(0x8A8A9A), Smooth(230, 262, x)); });
        c.Rect(241, 327, 247, 341);
        c.Paint(Hex(0xFFD27A));
        c.Glow({244, 335}, 8, Hex(0xFFB040), 0.4f);
    }
}
