// Desert dunes from a cool dawn through the white noon and a caravan at
// sunset to a palm oasis, and a night under the galaxy.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

struct Hour {
    std::vector<Stop> sky;
    Rgb sandLit, sandShade;
    Pt sun;
    Rgb sunColor, halo;
    float stars;
};

Hour HourOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x4A5A9A)}, {0.6f, Hex(0xD8A0B0)}, {1, Hex(0xFFD0B0)}},
                    Hex(0xF0B8A0),
                    Hex(0x8A6A8A),
                    {220, 250},
                    Hex(0xFFF0D8),
                    Hex(0xFFB090),
                    0.2f};
        case 1:
            return {{{0, Hex(0x2E7AC8)}, {0.7f, Hex(0x9ACCEC)}, {1, Hex(0xF0F2E6)}},
                    Hex(0xF8D8A0),
                    Hex(0xC08A56),
                    {70, 50},
                    Hex(0xFFFFF4),
                    Hex(0xFFF4D0),
                    0};
        case 2:
            return {{{0, Hex(0x3A3470)},
                     {0.45f, Hex(0xC8608A)},
                     {0.8f, Hex(0xFF9040)},
                     {1, Hex(0xFFD060)}},
                    Hex(0xF89A5A),
                    Hex(0x8A4A5A),
                    {150, 238},
                    Hex(0xFFF0C0),
                    Hex(0xFF8030),
                    0};
        case 3:
            return {{{0, Hex(0x1A2258)},
                     {0.55f, Hex(0x6A4A88)},
                     {0.9f, Hex(0xE08A70)},
                     {1, Hex(0xF8B078)}},
                    Hex(0xC08A7A),
                    Hex(0x4A3A5A),
                    {0, 0},
                    {},
                    {},
                    0.5f};
        default:
            return {{{0, Hex(0x02040E)}, {0.7f, Hex(0x0C1230)}, {1, Hex(0x1E2448)}},
                    Hex(0x6A6A8A),
                    Hex(0x262840),
                    {0, 0},
                    {},
                    {},
                    1};
    }
}

// A dune's crest line: a lopsided hump, steep on its shadow side.
float Dune(float x, float peak, float base, float height, float width) {
    const float t = (x - peak) / width;
    const float hump = t < 0 ? std::exp(-t * t * 1.2f) : std::exp(-t * t * 5);
    return base - height * hump;
}

void DuneLayer(Canvas& c, const Hour& h, float base, const float (*peaks)[2], int32_t count,
               float height, float width, float haze) {
    auto crest = [&](float x) {
        float y = base;
        for (int32_t i = 0; i < count; ++i)
            y = std::min(y, Dune(x, peaks[i][0], base, height * peaks[i][1], width));
        return y + 2 * (Noise(x / 15, base, 221) - 0.5f);
    };
    auto ripples = [&](float x, float y) {
        return 0.96f + 0.04f * std::sin((y * 1.3f + x * 0.3f) + Noise(x / 20, y / 20, 222) * 6);
    };
    // the windward sides, lit by a sun on the left
    c.Below(crest, kSceneH + 2);
    c.PaintShaded([&](float x, float y) {
        const Rgb sand =
            Mix(h.sandLit, Mix(h.sandLit, h.sandShade, 0.3f), Smooth(base - height, base + 60, y));
        return Mix(Scale(sand, ripples(x, y)), h.sky.back().color, haze);
    });
    // each slip face in shadow, bounded by the sharp crest line running down from its peak
    for (int32_t i = 0; i < count; ++i) {
        const float px = peaks[i][0], py = base - height * peaks[i][1];
        std::vector<Pt> face;
        for (float x = px; x < px + width * 1.3f; x += 2) face.push_back({x, crest(x)});
        const std::vector<Pt> line = Curve({{px + width * 1.0f, base + 150},
                                            {px + width * 0.5f, base + 30},
                                            {px + width * 0.22f, py + height * peaks[i][1] * 0.5f},
                                            {px + 1, py + 2}},
                                           10);
        face.push_back({px + width * 1.3f, base + 150});
        face.insert(face.end(), line.begin(), line.end());
        c.Polygon(face);
        c.PaintShaded([&](float x, float y) {
            const Rgb shade =
                Mix(h.sandShade, Mix(h.sandShade, h.sandLit, 0.35f), Smooth(py, base + 90, y));
            return Mix(Scale(shade, ripples(x, y)), h.sky.back().color, haze);
        });
    }
}

void Camel(Canvas& c, Pt at, float s, Rgb color) {
    c.Ellipse({at.x, at.y - s * 1.0f}, s * 0.75f, s * 0.35f);
    c.Ellipse({at.x - s * 0.15f, at.y - s * 1.3f}, s * 0.3f, s * 0.3f);
    c.Stroke({{at.x + s * 0.6f, at.y - s * 1.0f}, {at.x + s * 0.9f, at.y - s * 1.6f}}, s * 0.18f,
             s * 0.12f);
    c.Ellipse({at.x + s * 1.05f, at.y - s * 1.62f}, s * 0.22f, s * 0.1f);
    for (const float lx : {-0.55f, -0.35f, 0.35f, 0.55f})
        c.Stroke({{at.x + s * lx, at.y - s * 0.9f}, {at.x + s * lx, at.y}}, s * 0.1f);
    c.Paint(color);
}

void Palm(Canvas& c, Pt foot, float h, float lean, Rgb color) {
    const Pt top = {foot.x + lean * h, foot.y - h};
    c.Stroke(Curve({foot, {foot.x + lean * h * 0.2f, foot.y - h * 0.5f}, top}, 8), h * 0.06f,
             h * 0.035f);
    for (int f = 0; f < 7; ++f) {
        const float a = -kPi / 2 + (float(f) - 3) * 0.5f;
        const float len = h * (0.45f + 0.1f * float(f % 2));
        c.Stroke(Curve({top,
                        {top.x + std::cos(a) * len * 0.55f,
                         top.y + std::sin(a) * len * 0.45f - h * 0.06f},
                        {top.x + std::cos(a) * len, top.y + std::sin(a) * len * 0.4f + h * 0.12f}},
                       6),
                 h * 0.05f, h * 0.01f);
    }
    c.Paint(color);
}

}  // namespace

void PaintDunes(Canvas& c, int32_t stage) {
    const Hour h = HourOf(stage);
    const float horizon = 250;
    Sky(c, h.sky, 0, horizon);
    if (h.stars > 0) Stars(c, 223, stage == 4 ? 300 : 120, horizon, h.stars);
    if (stage == 4) {
        c.Apply([](float x, float y, Rgb p) {  // the galaxy, standing up from the horizon
            const float across = (x - (150 + (250 - y) * 0.35f)) / 30;
            const float band = std::exp(-across * across) * (0.5f + Fbm(x / 18, y / 18, 224, 5));
            const float dust =
                Smooth(0.55f, 0.7f, Fbm(x / 10, y / 25, 225, 4)) * std::exp(-across * across * 3);
            return Add(p, Scale(Mix(Hex(0x9AA0E0), Hex(0xF0D8C0), Smooth(0, 250, y)),
                                band * 0.4f - dust * 0.25f));
        });
        Stars(c, 226, 260, horizon * 0.9f, 0.7f);
        Crescent(c, {238, 60}, 9, Hex(0xF4F0DC), {}, 0.6f);
    }
    if (h.sunColor.r > 0)
        Sun(c, h.sun, stage == 2 ? 22 : 15, h.sunColor, h.halo, stage == 1 ? 0.5f : 0.9f);

    const float far[][2] = {{40, 0.7f}, {150, 1.0f}, {260, 0.8f}};
    const float mid[][2] = {{-10, 0.8f}, {110, 1.0f}, {230, 0.7f}};
    const float near[][2] = {{60, 1.0f}, {250, 0.8f}};
    DuneLayer(c, h, horizon + 10, far, 3, 24, 60, 0.35f);
    if (stage == 2) {  // a caravan along the middle crest
        for (int i = 0; i < 5; ++i)
            Camel(c, {150 + float(i) * 17, 258 - float(i) * 3.6f}, 6.5f, Hex(0x2A1830));
    }
    DuneLayer(c, h, horizon + 70, mid, 3, 42, 70, 0.15f);
    if (stage == 3) {  // the oasis: a pool with palms in the hollow
        c.Ellipse({104, 352}, 66, 9);
        c.PaintShaded([&](float, float y) {
            return Mix(h.sky.back().color, h.sky[1].color, Smooth(345, 360, y));
        });
        for (int i = 0; i < 5; ++i)
            Palm(c, {40 + float(i) * 32, 348 - float(i % 2) * 5},
                 96 - float(i) * 10 - float(i % 2) * 14, 0.14f - float(i) * 0.07f, Hex(0x1A2430));
        c.Ellipse({70, 349}, 26, 4);
        c.Paint(Hex(0x2A4A30), 0.8f);
    }
    DuneLayer(c, h, kSceneH + 30, near, 2, 62, 90, 0);
    if (stage == 4) {  // a tent and its campfire in the hollow below
        c.Polygon({{96, 402}, {118, 376}, {142, 402}});
        c.PaintShaded(
            [](float x, float) { return Mix(Hex(0xC8784A), Hex(0x4A2A2A), Smooth(100, 140, x)); });
        c.Glow({80, 400}, 40, Hex(0xFF8A30), 0.35f);
        c.Glow({80, 398}, 6, Hex(0xFFD070), 1.2f);
        c.Polygon({{74, 402}, {80, 388}, {86, 402}});
        c.Paint(Hex(0xFFE8A0));
    }
}
