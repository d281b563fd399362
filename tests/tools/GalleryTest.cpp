// The demo gallery as a player gets it: files that load, a ladder of
// strength, and pictures worth looking at.
#include <gtest/gtest.h>

#include <cmath>

#include "photos/Hdata.h"
#include "tests/photos/Fixtures.h"
#include "tools/pelvanta-archive/Commands.h"
#include "tools/pelvanta-archive/Gallery.h"

namespace {

// Spread of the luminance: a blank or nearly flat picture has almost none.
double LuminanceSpread(const Image& image) {
    double sum = 0, squares = 0;
    const size_t n = image.rgb.size() / 3;
    for (size_t i = 0; i < n; ++i) {
        const double y =
            0.3 * image.rgb[i * 3] + 0.59 * image.rgb[i * 3 + 1] + 0.11 * image.rgb[i * 3 + 2];
        sum += y;
        squares += y * y;
    }
    const double mean = sum / double(n);
    return std::sqrt(squares / double(n) - mean * mean);
}

class DemoGallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        std::string error;
        ASSERT_TRUE(WriteDemoGallery(dir->Name(), error)) << error;
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    static std::vector<HData> LoadAll() {
        std::vector<HData> entries;
        for (int32_t i = 0; i < 45; ++i) {
            HData entry;
            std::string reason;
            if (entry.Load(dir->File(std::to_string(3000 + i) + ".p_g").c_str(), reason))
                entries.push_back(entry);
        }
        return entries;
    }
    static TempDir* dir;
};

TempDir* DemoGallery::dir = nullptr;

TEST_F(DemoGallery, EightOrMoreOpponentsFrom3000UpwardAllLoad) {
    const std::vector<HData> entries = LoadAll();
    ASSERT_GE(entries.size(), 8u);
    EXPECT_EQ(entries.size(), DemoOpponents().size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_TRUE(dir->Exists(std::to_string(3000 + i) + ".p_g"));
    for (size_t i = 0; i < entries.size(); ++i) {
        const HData& e = entries[i];
        EXPECT_EQ(e.Params(), DemoOpponents()[i].params) << "the ladder's order: opponent " << i;
        EXPECT_EQ(e.icon->width, 137);
        EXPECT_EQ(e.icon->height, 137);
        ASSERT_EQ(e.photos.Count(), kDemoPhotos);
        for (int32_t k = 0; k < e.photos.Count(); ++k) {
            EXPECT_EQ((*e.photos[k])->width, 291);
            EXPECT_EQ((*e.photos[k])->height, 433);
        }
    }
}

TEST_F(DemoGallery, StrengthClimbsFromAMaterialBlindBeginner) {
    const std::vector<HData> entries = LoadAll();
    ASSERT_GE(entries.size(), 8u);
    const HData& first = entries.front();
    EXPECT_LE(first.searchDepth, 2);
    EXPECT_EQ(first.promotionBonus, 0);
    EXPECT_EQ(first.firstKingBonus, 0);
    EXPECT_EQ(first.manValue, 0);
    EXPECT_EQ(first.kingValue, 0);
    // The search deepens its limit 1, 3, 5, ...: an even depth searches as deep
    // as the odd one below it.
    const auto realDepth = [](const HData& e) { return e.searchDepth - 1 + e.searchDepth % 2; };
    bool materialCounted = false, kingsCounted = false;
    for (size_t i = 1; i < entries.size(); ++i) {
        const HData& e = entries[i];
        const HData& before = entries[i - 1];
        EXPECT_NE(e.Params(), before.Params()) << "every step is a change: opponent " << i;
        // once an opponent counts material, every later one does, at least as
        // deep; once a king is worth more than a man, it stays so
        if (materialCounted) {
            EXPECT_GT(e.manValue, 0) << "opponent " << i;
            EXPECT_GE(realDepth(e), realDepth(before)) << "opponent " << i;
        }
        if (kingsCounted) {
            EXPECT_GT(e.kingValue, e.manValue) << "opponent " << i;
        }
        materialCounted = materialCounted || e.manValue > 0;
        kingsCounted = kingsCounted || e.kingValue > e.manValue;
    }
    EXPECT_TRUE(kingsCounted);
    // the top one is bounded by the thinking time, not by its depth
    // (33 is the search's deepest iteration, HSearch::kMaxDepthLimit)
    EXPECT_GE(entries.back().searchDepth, 33);
    EXPECT_GT(entries.back().manValue, 0);
}

TEST_F(DemoGallery, EveryPictureIsDistinctAndNotBlank) {
    const std::vector<HData> entries = LoadAll();
    std::vector<const Image*> thumbs;
    for (const HData& e : entries) {
        EXPECT_GT(LuminanceSpread(*e.icon), 12.0);
        for (const Image* other : thumbs) EXPECT_GT(MeanDifference(*e.icon, *other), 10.0);
        thumbs.push_back(e.icon);
        for (int32_t k = 0; k < e.photos.Count(); ++k) {
            EXPECT_GT(LuminanceSpread(Decoded(**e.photos[k])), 12.0);
            // each win shows something new
            if (k > 0) {
                EXPECT_GT(MeanDifference(Decoded(**e.photos[k]), Decoded(**e.photos[k - 1])), 1.0)
                    << e.searchDepth << " photo " << k;
            }
        }
    }
}

TEST_F(DemoGallery, PaintingIsRepeatable) {
    const OpponentPictures a = PaintOpponent(DemoOpponents()[2], 3);
    const OpponentPictures b = PaintOpponent(DemoOpponents()[2], 3);
    EXPECT_EQ(a.thumbnail, b.thumbnail);
    EXPECT_EQ(a.photos, b.photos);
}

}  // namespace
