// A lighthouse on its cliff from a sunny afternoon into a starry night, when
// its beam sweeps the sea and guides a ship home.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kHorizon = 250;

struct Hour {
    std::vector<Stop> sky;
    Rgb seaFar, seaNear, sparkle;
    Rgb light;  // multiplies the colours of the land
    bool lamp;
    float stars;
};

Hour HourOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x3A7CC8)}, {0.7f, Hex(0x98C8EC)}, {1, Hex(0xDCEEF6)}},
                    Hex(0x5C9CC4),
                    Hex(0x1E4E7A),
                    Hex(0xFFFFFF),
                    Hex(0xFFFFFF),
                    false,
                    0};
        case 1:
            return {{{0, Hex(0x44508E)},
                     {0.45f, Hex(0xC07A8E)},
                     {0.8f, Hex(0xF4A460)},
                     {1, Hex(0xFFD47A)}},
                    Hex(0xD48A6A),
                    Hex(0x2C3460),
                    Hex(0xFFE0A0),
                    Hex(0xF0B890),
                    false,
                    0};
        case 2:
            return {{{0, Hex(0x1C2450)},
                     {0.55f, Hex(0x5A4A84)},
                     {0.85f, Hex(0xC06E7E)},
                     {1, Hex(0xE89A78)}},
                    Hex(0x6A5A86),
                    Hex(0x141C3C),
                    Hex(0xF0B0A0),
                    Hex(0x8A7AA0),
                    true,
                    0.3f};
        default:
            return {{{0, Hex(0x060A1E)}, {0.6f, Hex(0x142048)}, {1, Hex(0x2A3C6A)}},
                    Hex(0x24345E),
                    Hex(0x060C1E),
                    Hex(0xC8D8FF),
                    Hex(0x5A6A94),
                    true,
                    stage == 3 ? 0.8f : 1.0f};
    }
}

Rgb Lit(Rgb base, const Hour& h) {
    return {base.r * h.light.r, base.g * h.light.g, base.b * h.light.b};
}

void Ship(Canvas& c, Pt at, float size, const Hour& h, bool lights) {
    const Rgb dark = Lit(Hex(0x3A2A24), h), sail = Lit(Hex(0xF4EEDC), h);
    c.Polygon({{at.x - size, at.y - size * 0.18f},
               {at.x + size * 1.1f, at.y - size * 0.2f},
               {at.x + size * 0.8f, at.y + size * 0.12f},
               {at.x - size * 0.8f, at.y + size * 0.12f}});
    c.Paint(dark);
    c.Rect(at.x - size * 0.03f, at.y - size * 1.3f, at.x + size * 0.03f, at.y - size * 0.15f);
    c.Paint(dark);
    c.Polygon({{at.x - size * 0.05f, at.y - size * 1.25f},
               {at.x - size * 0.75f, at.y - size * 0.3f},
               {at.x - size * 0.05f, at.y - size * 0.3f}});
    c.Polygon({{at.x + size * 0.06f, at.y - size * 1.2f},
               {at.x + size * 0.7f, at.y - size * 0.32f},
               {at.x + size * 0.06f, at.y - size * 0.32f}});
    c.Paint(sail);
    if (lights) {
        for (int i = 0; i < 4; ++i) {
            const Pt w = {at.x - size * 0.55f + float(i) * size * 0.38f, at.y - size * 0.02f};
            c.Glow(w, 3, Hex(0xFFC860), 0.6f);
            c.Circle(w, size * 0.045f);
        }
        c.Paint(Hex(0xFFE8A0));
    }
}

}  // namespace

void PaintLighthouse(Canvas& c, int32_t stage) {
    const Hour h = HourOf(stage);
    Sky(c, h.sky, 0, kHorizon);
    if (h.stars > 0) Stars(c, 111, stage == 4 ? 260 : 160, kHorizon, h.stars);
    if (stage == 4) {  // the band of the galaxy
        c.Apply([](float x, float y, Rgb p) {
            const float across = (y - (40 + x * 0.55f)) / 38;
            const float band = std::exp(-across * across) * Fbm(x / 30, y / 30, 117, 5);
            return Add(p, Scale(Hex(0x8A96D8), band * 0.35f));
        });
        Stars(c, 118, 200, kHorizon * 0.8f, 0.6f);
    }
    float glitterX = 0, glitter = 0;
    if (stage == 0) {
        Clouds(c, 112, 60, 170, 0.3f, Hex(0xFFFFFF), Hex(0xB8C8DC), 0.9f);
        Sun(c, {60, 70}, 15, Hex(0xFFFEF0), Hex(0xFFF4C0), 0.6f);
        glitterX = 60, glitter = 0.5f;
    } else if (stage == 1) {
        Clouds(c, 113, 150, 225, 0.35f, Hex(0xFFC890), Hex(0xA05A78), 0.85f);
        Sun(c, {80, kHorizon - 12}, 19, Hex(0xFFF2C0), Hex(0xFF9A40), 1.0f);
        glitterX = 80, glitter = 0.9f;
    } else if (stage >= 3) {
        Crescent(c, {62, 70}, 17, Hex(0xF4F0DC), h.sky.front().color, stage == 3 ? 0.55f : 0);
        if (stage == 4) c.Glow({62, 70}, 45, Hex(0x8090C0), 0.25f);
        glitterX = 62, glitter = 0.45f;
    }
    Sea(c, kHorizon, h.seaFar, h.seaNear, h.sparkle, glitterX, glitter, 114);

    // the cliff, with a grassy top
    std::vector<Pt> cliff = {{128, kSceneH + 2}, {136, 380},        {150, 330}, {148, 300},
                             {160, 262},         {172, 240},        {196, 232}, {240, 229},
                             {292, 226},         {292, kSceneH + 2}};
    c.Polygon(cliff);
    c.PaintShaded([&](float x, float y) {
        // upright fractures, lit faces towards the left, darker near the water
        const float strata = Fbm(x / 6, y / 45, 115, 4);
        const float faces = Smooth(0.4f, 0.6f, Fbm(x / 22, y / 60, 116, 3));
        const Rgb rock = Mix(Hex(0x6E5E52), Hex(0xA8927A), faces * 0.8f + (strata - 0.5f) * 0.6f);
        return Lit(Mix(rock, Hex(0x3A3230), Smooth(300, 430, y) * 0.6f), h);
    });
    c.Polygon({{168, 244},
               {174, 236},
               {196, 229},
               {240, 226},
               {292, 223},
               {292, 236},
               {250, 236},
               {214, 240},
               {190, 246}});
    c.Paint(Lit(Hex(0x6A9A48), h));

    // surf at the foot of the cliff
    c.Apply([&](float x, float y, Rgb p) {
        if (y < 360) return p;
        const float edge = 136 - (y - 380) * 0.16f;  // the cliff's foot
        const float near = std::exp(-std::fabs(x - edge) / 7);
        const float foam = Smooth(0.5f, 0.7f, Fbm(x / 5, y / 3, 121, 3)) * near;
        return Mix(p, Lit(Hex(0xF4F8FF), h), foam * 0.8f);
    });
    // the keeper's house
    c.Rect(236, 208, 268, 229);
    c.Paint(Lit(Hex(0xEDE8DE), h));
    c.Polygon({{232, 210}, {252, 194}, {272, 210}});
    c.Paint(Lit(Hex(0xA8402E), h));
    c.Rect(244, 214, 251, 221);
    c.Paint(h.lamp ? Hex(0xFFD27A) : Lit(Hex(0x4A6A8A), h));
    if (h.lamp) c.Glow({247, 217}, 8, Hex(0xFFB040), 0.35f);

    // the tower: white with red bands, narrowing upwards
    const float cx = 208, base = 233, top = 122;
    auto halfAt = [&](float y) { return 12.5f - 4 * (base - y) / (base - top); };
    c.Polygon({{cx - halfAt(base), base},
               {cx - halfAt(top), top},
               {cx + halfAt(top), top},
               {cx + halfAt(base), base}});
    c.PaintShaded([&](float x, float y) {
        const float band = std::fmod(base - y, 37.f);
        const Rgb paint = band > 18 && band < 37 ? Hex(0xC23A2E) : Hex(0xF6F2EA);
        const float side = (x - cx) / halfAt(y);  // rounder: darker towards the shaded right
        return Lit(Scale(paint, 1 - 0.28f * Smooth(-0.3f, 1, side)), h);
    });
    c.Rect(cx - 13, top - 3, cx + 13, top + 1);  // gallery
    c.Paint(Lit(Hex(0x2A2A30), h));
    c.Rect(cx - 7, top - 17, cx + 7, top - 3);  // lantern room
    c.Paint(h.lamp ? Hex(0xFFF0B0) : Lit(Hex(0x8AB0C8), h));
    c.Polygon({{cx - 9, top - 17}, {cx, top - 27}, {cx + 9, top - 17}});
    c.Paint(Lit(Hex(0xA8302A), h));
    c.Rect(cx - 0.7f, top - 31, cx + 0.7f, top - 26);
    c.Paint(Lit(Hex(0x2A2A30), h));
    if (h.lamp) {
        const Pt lamp = {cx, top - 10};
        c.Glow(lamp, 10, Hex(0xFFE8A0), 1.0f);
        c.Glow(lamp, 30, Hex(0xFFC870), 0.35f);
        const float strength = stage == 2 ? 0.35f : 0.55f;
        Beam(c, lamp, kPi + 0.18f, 0.09f, Hex(0xFFF0C0), strength);
        if (stage >= 3) Beam(c, lamp, -0.05f, 0.07f, Hex(0xFFF0C0), 0.25f);
    }

    if (stage <= 1) {
        const Rgb gull = stage == 0 ? Hex(0x4A5060) : Hex(0x3A2A3A);
        Bird(c, {110, 140}, 14, 0.7f, gull);
        Bird(c, {136, 158}, 10, 0.3f, gull);
        Bird(c, {92, 170}, 8, 0.5f, gull);
    }
    if (stage == 2) Ship(c, {40, kHorizon + 6}, 10, h, true);
    if (stage == 4) Ship(c, {78, kHorizon + 40}, 22, h, true);
}
