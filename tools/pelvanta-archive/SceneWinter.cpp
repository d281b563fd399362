// A log cabin in a snowy pine wood: a snowfall, a bright frosty day with a
// snowman, a pink sunset, a moonlit evening and a starry night when the
// cabin wears its lights.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kHills = 282;

struct Hour {
    std::vector<Stop> sky;
    Rgb snowLit, snowShade, pine, wood;
    bool windows;
    float stars;
};

Hour HourOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x8A96A8)}, {1, Hex(0xD8DEE6)}},
                    Hex(0xEEF2F6),
                    Hex(0xB0BCCC),
                    Hex(0x3A5048),
                    Hex(0x6A4A34),
                    false,
                    0};
        case 1:
            return {{{0, Hex(0x3A7ACC)}, {0.8f, Hex(0xA8D0F0)}, {1, Hex(0xE0EEF8)}},
                    Hex(0xFFFFFF),
                    Hex(0xA8C4E8),
                    Hex(0x2A5A40),
                    Hex(0x7A5234),
                    false,
                    0};
        case 2:
            return {{{0, Hex(0x4A4C8A)},
                     {0.5f, Hex(0xC87AA0)},
                     {0.85f, Hex(0xF8B090)},
                     {1, Hex(0xFFD8A8)}},
                    Hex(0xFFE4D8),
                    Hex(0x9A8AB8),
                    Hex(0x2A3448),
                    Hex(0x5A3A34),
                    true,
                    0};
        case 3:
            return {{{0, Hex(0x0C1640)}, {0.7f, Hex(0x2A3C78)}, {1, Hex(0x4A5A94)}},
                    Hex(0xA8B8E0),
                    Hex(0x4A5888),
                    Hex(0x101A2C),
                    Hex(0x2A2030),
                    true,
                    0.7f};
        default:
            return {{{0, Hex(0x040818)}, {0.7f, Hex(0x101C40)}, {1, Hex(0x1E2C58)}},
                    Hex(0x8A9AC8),
                    Hex(0x34406C),
                    Hex(0x0A1220),
                    Hex(0x221A28),
                    true,
                    1};
    }
}

void Cabin(Canvas& c, const Hour& h, int32_t stage) {
    const float x0 = 150, x1 = 250, floor = 352, eaves = 312;
    // log walls
    c.Rect(x0, eaves, x1, floor);
    c.PaintShaded([&](float, float y) {
        const float log = std::fabs(std::sin((y - eaves) / 6.5f * kPi));
        return Mix(Scale(h.wood, 0.7f), h.wood, log);
    });
    // door and windows
    c.Rect(206, 326, 222, floor);
    c.Paint(Scale(h.wood, 0.55f));
    for (const float wx : {164.f, 232.f}) {
        c.Rect(wx - 9, 322, wx + 9, 340);
        if (h.windows) {
            c.PaintShaded([&](float, float y) {
                return Mix(Hex(0xFFE8A0), Hex(0xFFA840), Smooth(322, 340, y));
            });
            c.Glow({wx, 331}, 22, Hex(0xFFA040), 0.3f);
        } else {
            c.Paint(Mix(h.sky.back().color, Hex(0x4A5A70), 0.5f));
        }
        c.Rect(wx - 0.8f, 322, wx + 0.8f, 340);
        c.Rect(wx - 9, 330.2f, wx + 9, 331.8f);
        c.Paint(Scale(h.wood, 0.5f));
    }
    // chimney, then the roof deep in snow
    c.Rect(226, 266, 238, 300);
    c.Paint(Mix(Hex(0x7A5A4A), h.snowShade, 0.3f));
    c.Polygon({{x0 - 14, eaves + 2}, {(x0 + x1) / 2, 270}, {x1 + 14, eaves + 2}});
    c.Paint(Scale(h.wood, 0.6f));
    c.Polygon(Curve({{x0 - 17, eaves + 1},
                     {x0 + 10, eaves - 14},
                     {(x0 + x1) / 2, 264},
                     {x1 - 10, eaves - 14},
                     {x1 + 17, eaves + 1},
                     {x1 + 12, eaves + 4},
                     {(x0 + x1) / 2, eaves - 6},
                     {x0 - 12, eaves + 4}},
                    6));
    c.PaintShaded(
        [&](float x, float) { return Mix(h.snowLit, h.snowShade, Smooth(170, 260, x) * 0.7f); });
    c.Rect(224, 262, 240, 268);
    c.Paint(h.snowLit);
    if (stage >= 2) {  // smoke curling from the chimney
        for (int i = 0; i < 12; ++i) {
            const float t = float(i) / 12;
            c.Circle({232 + std::sin(t * 5) * 8 + t * 20, 258 - t * 110}, 4 + t * 10);
        }
        c.Paint(Mix(h.sky.back().color, Hex(0xFFFFFF), 0.25f), 0.25f);
    }
    if (stage == 4) {  // a string of coloured lights under the eaves
        const Rgb bulbs[] = {Hex(0xFF4040), Hex(0x40FF70), Hex(0x4080FF), Hex(0xFFD040)};
        for (int i = 0; i <= 16; ++i) {
            const float t = float(i) / 16;
            const Pt at = {x0 - 8 + t * (x1 - x0 + 16), eaves + 5 + std::sin(t * kPi * 4) * -2 + 2};
            c.Glow(at, 4, bulbs[i % 4], 0.8f);
            c.Circle(at, 1.6f);
            c.Paint(Mix(bulbs[i % 4], Hex(0xFFFFFF), 0.5f));
        }
    }
}

void Snowman(Canvas& c, const Hour& h, Pt foot) {
    const float r[3] = {15, 11, 8};
    float y = foot.y;
    Pt centers[3];
    for (int i = 0; i < 3; ++i) {
        y -= r[i] * (i == 0 ? 1.f : 1.7f);
        centers[i] = {foot.x, y};
        if (i > 0) y += r[i] * 0.7f;
    }
    for (int i = 0; i < 3; ++i) {
        c.Circle(centers[i], r[i]);
        c.PaintShaded([&](float x, float yy) {
            return Mix(
                h.snowLit, h.snowShade,
                Clamp01((x - centers[i].x + (yy - centers[i].y) * 0.6f) / (r[i] * 1.6f) + 0.35f));
        });
    }
    c.Polygon({{centers[2].x, centers[2].y - 1},
               {centers[2].x + 11, centers[2].y + 1},
               {centers[2].x, centers[2].y + 2}});
    c.Paint(Hex(0xF07A20));
    c.Circle({centers[2].x - 3, centers[2].y - 3}, 1.2f);
    c.Circle({centers[2].x + 3, centers[2].y - 3}, 1.2f);
    for (int i = 0; i < 3; ++i) c.Circle({centers[1].x, centers[1].y - 5 + float(i) * 5}, 1.3f);
    c.Paint(Hex(0x1A1A1A));
    c.Stroke({{centers[1].x - 8, centers[1].y - 8}, {centers[1].x + 8, centers[1].y - 7}}, 3.5f);
    c.Stroke({{centers[1].x + 5, centers[1].y - 7}, {centers[1].x + 8, centers[1].y + 4}}, 3, 2.5f);
    c.Paint(Hex(0xC82A2A));
    c.Stroke({{centers[1].x - 10, centers[1].y}, {centers[1].x - 24, centers[1].y - 12}}, 1.4f,
             0.6f);
    c.Stroke({{centers[1].x + 10, centers[1].y}, {centers[1].x + 22, centers[1].y - 14}}, 1.4f,
             0.6f);
    c.Paint(Hex(0x5A3A24));
}

}  // namespace

void PaintWinter(Canvas& c, int32_t stage) {
    const Hour h = HourOf(stage);
    Sky(c, h.sky, 0, kHills);
    if (h.stars > 0) Stars(c, 231, 260, kHills, h.stars);
    if (stage == 1) Sun(c, {60, 70}, 15, Hex(0xFFFEF4), Hex(0xFFF6D8), 0.55f);
    if (stage == 2) {
        Clouds(c, 232, 90, 180, 0.3f, Hex(0xFFD0C0), Hex(0xA07AA8), 0.8f);
        Sun(c, {70, kHills - 20}, 17, Hex(0xFFF0D8), Hex(0xFFA880), 0.8f);
    }
    if (stage >= 3) Crescent(c, {70, 70}, 14, Hex(0xF4F0DC), {}, stage == 3 ? 0.5f : 0);
    if (stage == 0) Clouds(c, 233, 10, 200, 0.6f, Hex(0xE8ECF0), Hex(0x9AA4B4), 0.8f);

    // far snowy hills with their woods
    c.Below(
        [](float x) {
            return kHills - 20 - 18 * std::sin(x / 70 + 1) - 8 * (Fbm(x / 25, 0, 234, 3) - 0.5f);
        },
        kSceneH + 2);
    c.Paint(Mix(h.snowShade, h.sky.back().color, 0.45f));
    for (int32_t i = 0; i < 50; ++i) {
        const float x = Hash01(235, uint32_t(i)) * kSceneW;
        Pine(c, {x, kHills - 6 - 18 * std::sin(x / 70 + 1) + 14 * Hash01(236, uint32_t(i))},
             16 + 8 * Hash01(237, uint32_t(i)), Mix(h.pine, h.sky.back().color, 0.45f),
             Mix(h.pine, h.snowLit, 0.4f), 0.6f);
    }
    // the clearing
    c.Below(
        [](float x) {
            return kHills + 40 + 8 * std::sin(x / 50) -
                   20 * std::exp(-(x - 200) * (x - 200) / 8000.f);
        },
        kSceneH + 2);
    c.PaintShaded([&](float x, float y) {
        const float drift = Fbm(x / 40, y / 14, 238, 4);
        return Mix(h.snowLit, h.snowShade, Clamp01(drift * 0.9f - 0.15f + (y - 300) / 600));
    });
    // nearer pines on both sides
    for (const Pt at : {Pt{22, 372}, Pt{58, 350}, Pt{276, 380}, Pt{120, 330}}) {
        Pine(c, at, at.y - 200, h.pine, Mix(h.pine, h.snowLit, 0.3f), 0.85f);
    }
    Cabin(c, h, stage);
    c.Ellipse({200, 353}, 62, 6);  // snow banked against the walls
    c.Paint(h.snowLit);
    if (stage >= 1) Snowman(c, h, {96, 398});
    // footprints to the door
    for (int i = 0; i < 10; ++i) {
        const float t = float(i) / 10;
        c.Ellipse({214 - t * 90 + (i % 2 ? 4 : -4), 360 + t * 70}, 2.2f + t * 2, 1 + t);
    }
    c.Paint(h.snowShade, 0.8f);
    if (stage == 4) {
        for (const Pt at : {Pt{140, 372}, Pt{262, 372}}) {  // lanterns along the path
            c.Rect(at.x - 0.8f, at.y - 16, at.x + 0.8f, at.y);
            c.Paint(Hex(0x1A1A20));
            c.Glow({at.x, at.y - 18}, 14, Hex(0xFFA040), 0.45f);
            c.Circle({at.x, at.y - 18}, 2.5f);
            c.Paint(Hex(0xFFE8B0));
        }
    }
    if (stage == 0 || stage == 3) {  // falling snow
        for (int32_t i = 0; i < 220; ++i) {
            const Pt at = {Hash01(239, uint32_t(i)) * kSceneW, Hash01(240, uint32_t(i)) * kSceneH};
            c.Circle(at, 0.7f + 1.5f * Hash01(241, uint32_t(i)));
        }
        c.Paint(Hex(0xFFFFFF), stage == 0 ? 0.9f : 0.7f);
    }
}
