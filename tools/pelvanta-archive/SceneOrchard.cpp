// An apple tree on a hill through the year: snow, buds, blossom, fruit and
// the falling leaves of autumn.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

struct Branch {
    std::vector<Pt> path;
    float width;
    float endWidth;
    int32_t depth;
};

// Grows the tree once: every branch forks in two, a little off straight.
void Grow(std::vector<Branch>& out, std::vector<Pt>& tips, Pt from, float angle, float length,
          float width, int32_t depth, uint32_t& serial) {
    const uint32_t id = serial++;
    const float bend = (Hash01(71, id) - 0.5f) * 0.5f;
    const Pt mid = {from.x + std::cos(angle + bend) * length * 0.5f,
                    from.y + std::sin(angle + bend) * length * 0.5f};
    const Pt end = {from.x + std::cos(angle) * length, from.y + std::sin(angle) * length};
    const float endWidth = width * 0.68f;
    out.push_back({Curve({from, mid, end}, 6), width, endWidth, depth});
    if (depth == 6) {
        tips.push_back(end);
        return;
    }
    const float spread = 0.3f + 0.2f * Hash01(72, id);
    const float lean = (Hash01(73, id) - 0.5f) * 0.3f;
    const float shorter = 0.72f + 0.1f * Hash01(74, id);
    Grow(out, tips, end, angle - spread + lean, length * shorter, endWidth, depth + 1, serial);
    Grow(out, tips, end, angle + spread + lean, length * (shorter - 0.05f), endWidth * 0.9f,
         depth + 1, serial);
    if (depth >= 2) tips.push_back(end);
}

struct Season {
    std::vector<Stop> sky;
    Rgb hillTop, hillBottom, farHill;
    Rgb leafDark, leafMid, leafLight;
    float foliage;  // 0 bare .. 1 full crown
    float snow;
};

Season SeasonOf(int32_t stage) {
    switch (stage) {
        case 0:  // winter
            return {{{0, Hex(0x8FA6C4)}, {1, Hex(0xE6ECF2)}},
                    Hex(0xF3F6FA),
                    Hex(0xC8D4E4),
                    Hex(0xB4C2D6),
                    {},
                    {},
                    {},
                    0,
                    1};
        case 1:  // early spring
            return {{{0, Hex(0x5B9BD8)}, {1, Hex(0xD8ECF6)}},
                    Hex(0xA8D46A),
                    Hex(0x6FAE48),
                    Hex(0x9CC0A8),
                    Hex(0x78B040),
                    Hex(0x9AD050),
                    Hex(0xC4EC7A),
                    0.25f,
                    0};
        case 2:  // blossom
            return {{{0, Hex(0x6FA8E0)}, {1, Hex(0xF2EEF4)}},
                    Hex(0x9ACF62),
                    Hex(0x5F9E3C),
                    Hex(0xA8C4B4),
                    Hex(0xE88AAE),
                    Hex(0xF6B4CC),
                    Hex(0xFFE6F0),
                    0.8f,
                    0};
        case 3:  // summer
            return {{{0, Hex(0x3479C8)}, {1, Hex(0xCDE6F4)}},
                    Hex(0x7FBF48),
                    Hex(0x3F7E2C),
                    Hex(0x8EB4A0),
                    Hex(0x2E6A2A),
                    Hex(0x3F8A34),
                    Hex(0x6CB04A),
                    1,
                    0};
        default:  // autumn
            return {{{0, Hex(0x5A86BE)}, {0.7f, Hex(0xE8CDA8)}, {1, Hex(0xF6D8A8)}},
                    Hex(0xD2B05A),
                    Hex(0x9A7A36),
                    Hex(0xB8A888),
                    Hex(0xB8461E),
                    Hex(0xE07A24),
                    Hex(0xF6B83A),
                    0.75f,
                    0};
    }
}

}  // namespace

void PaintOrchard(Canvas& c, int32_t stage) {
    const Season s = SeasonOf(stage);
    Sky(c, s.sky, 0, 300);
    if (stage == 1 || stage == 3)
        Clouds(c, 81 + uint32_t(stage), 40, 140, 0.3f, Hex(0xFFFFFF), Hex(0xC8D6E6), 0.9f);
    if (stage == 4) Clouds(c, 85, 50, 160, 0.35f, Hex(0xFFF2E0), Hex(0xD8B4A0), 0.8f);
    if (stage == 3) Sun(c, {240, 60}, 16, Hex(0xFFFCE8), Hex(0xFFF2B0), 0.6f);
    if (stage == 0) Clouds(c, 86, 20, 200, 0.55f, Hex(0xF2F4F8), Hex(0xA8B4C8), 0.7f);

    // far hills with a small farmhouse
    RidgeLayer(c, 87, 300, 22, 0.5f, s.farHill, Mix(s.farHill, s.hillBottom, 0.5f));
    const Pt house = {48, 292};
    c.Rect(house.x - 11, house.y - 9, house.x + 11, house.y + 4);
    c.Paint(stage == 0 ? Hex(0xC9B8A8) : Hex(0xE8DCC8));
    c.Polygon({{house.x - 14, house.y - 8}, {house.x, house.y - 19}, {house.x + 14, house.y - 8}});
    c.Paint(stage == 0 ? Hex(0xF4F6FA) : Hex(0xB04A34));
    c.Rect(house.x - 3, house.y - 4, house.x + 2, house.y + 4);
    c.Paint(Hex(0x5A4030));

    // the hill the tree stands on
    c.Below([](float x) { return 372 - 28 * std::exp(-((x - 150) * (x - 150)) / 9000.f); },
            kSceneH + 2);
    c.PaintShaded([&](float x, float y) {
        const float grain = Fbm(x / 25, y / 12, 88, 3) - 0.5f;
        return Mix(s.hillTop, s.hillBottom, Clamp01((y - 345) / 90 + grain * 0.4f));
    });

    std::vector<Branch> branches;
    std::vector<Pt> tips;
    uint32_t serial = 0;
    Grow(branches, tips, {148, 352}, -kPi / 2, 72, 17, 0, serial);
    // its shadow and the flare of the roots
    c.Ellipse({150, 356}, 62, 7);
    c.Paint(Hex(0x203018), stage == 0 ? 0.12f : 0.22f);
    c.Polygon({{134, 358}, {141, 340}, {155, 340}, {163, 358}, {148, 354}});
    const Rgb bark = stage == 0 ? Hex(0x4A3A34) : Hex(0x5A3F2C);
    for (const Branch& b : branches) c.Stroke(b.path, b.width, b.endWidth);
    c.Paint(bark);
    // a lit side on the thicker limbs
    for (const Branch& b : branches) {
        if (b.depth > 3) continue;
        std::vector<Pt> lit;
        for (const Pt& p : b.path) lit.push_back({p.x - b.width * 0.18f, p.y});
        c.Stroke(lit, b.width * 0.35f, b.endWidth * 0.35f);
    }
    c.Paint(Mix(bark, Hex(0xC8A07A), 0.35f), 0.7f);
    if (s.snow > 0) {
        for (const Branch& b : branches) {
            const float dx = b.path.back().x - b.path.front().x,
                        dy = b.path.back().y - b.path.front().y;
            if (b.depth == 0 || std::fabs(dx) < std::fabs(dy) * 0.4f)
                continue;  // snow stays on the level limbs
            std::vector<Pt> top;
            for (const Pt& p : b.path) top.push_back({p.x, p.y - b.width * 0.35f});
            c.Stroke(top, b.width * 0.45f, b.endWidth * 0.45f);
        }
        c.Paint(Hex(0xFAFCFF));
    }

    // leaves or blossom in three tones, clustered on the branch tips
    if (s.foliage > 0) {
        const Rgb tones[] = {s.leafDark, s.leafMid, s.leafLight};
        for (int pass = 0; pass < 3; ++pass) {
            for (size_t i = 0; i < tips.size(); ++i) {
                if (Hash01(91, uint32_t(i)) > s.foliage + 0.1f) continue;
                const float r = (stage == 1 ? 3.5f : 13.f) * (1 - 0.25f * float(pass));
                const float dx =
                    (Hash01(92, uint32_t(i), uint32_t(pass)) - 0.5f) * 8 - float(pass) * 2.5f;
                const float dy =
                    (Hash01(93, uint32_t(i), uint32_t(pass)) - 0.5f) * 8 - float(pass) * 2.5f;
                c.Circle({tips[i].x + dx, tips[i].y + dy}, r);
            }
            c.Paint(tones[pass]);
        }
    }
    if (stage == 2) {  // single petals in the air and on the grass
        for (int32_t i = 0; i < 40; ++i) {
            const Pt at = {Hash01(94, uint32_t(i)) * kSceneW, 120 + Hash01(95, uint32_t(i)) * 310};
            c.Ellipse(at, 2.2f, 1.3f, Hash01(96, uint32_t(i)) * kPi);
        }
        c.Paint(Hex(0xFFD0E0));
    }
    if (stage == 3) {  // apples
        for (size_t i = 0; i < tips.size(); i += 3) {
            const Pt at = {tips[i].x + 3, tips[i].y + 6};
            c.Circle(at, 4.2f);
            c.Paint(Hex(0xC8201E));
            c.Circle({at.x - 1.3f, at.y - 1.4f}, 1.4f);
            c.Paint(Hex(0xFF8A70), 0.8f);
        }
    }
    if (stage == 4) {  // falling leaves, and those already down
        for (int32_t i = 0; i < 70; ++i) {
            const bool down = i < 40;
            const Pt at = {
                Hash01(97, uint32_t(i)) * kSceneW,
                down ? 362 + Hash01(98, uint32_t(i)) * 65 : 90 + Hash01(98, uint32_t(i)) * 260};
            c.Ellipse(at, 3.2f, 1.6f, Hash01(99, uint32_t(i)) * kPi);
            c.Paint(Mix(Hex(0xC0401C), Hex(0xF2B030), Hash01(100, uint32_t(i))));
        }
    }
    if (stage == 0) {  // falling snow
        for (int32_t i = 0; i < 160; ++i) {
            const Pt at = {Hash01(101, uint32_t(i)) * kSceneW, Hash01(102, uint32_t(i)) * kSceneH};
            c.Circle(at, 0.8f + 1.4f * Hash01(103, uint32_t(i)));
        }
        c.Paint(Hex(0xFFFFFF), 0.9f);
    }
    if (stage == 1 || stage == 3) {
        Bird(c, {90, 90}, 12, 0.6f, Hex(0x303848));
        Bird(c, {112, 104}, 9, 0.2f, Hex(0x303848));
    }
}
