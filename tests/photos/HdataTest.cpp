#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "photos/Archive.h"
#include "photos/Hdata.h"
#include "photos/ImageStore.h"
#include "photos/Jpeg.h"
#include "tests/photos/Fixtures.h"

namespace {

struct Opponent {
    EngineParams params{7, 2, 3, 1, 4};
    std::vector<uint8_t> thumb = TestJpeg(20, 20, 11);
    std::vector<std::vector<uint8_t>> photos = {TestJpeg(29, 43, 12), TestJpeg(29, 43, 13),
                                                TestJpeg(29, 43, 14), TestJpeg(29, 43, 15)};
    std::vector<Image> Decoded() const {
        std::vector<Image> images;
        std::string reason;
        for (const auto& photo : photos) {
            images.emplace_back();
            EXPECT_TRUE(DecodeJpeg(photo, images.back(), reason));
        }
        return images;
    }
};

TEST(Hdata, ConstructionDefaults) {
    const HData entry;
    EXPECT_EQ(entry.icon, nullptr);
    EXPECT_EQ(entry.photos.Count(), 0);
    EXPECT_EQ(entry.photos.Capacity(), 100);
    EXPECT_EQ(entry.kind, 0);
    EXPECT_EQ(entry.level, 0);
    EXPECT_EQ(entry.shown, 0);
    EXPECT_EQ(entry.Params(), (EngineParams{99, 5, 7, 1, 3}));
}

TEST(Hdata, RoundTripInBothKinds) {
    const Opponent o;
    const std::vector<Image> expected = o.Decoded();
    Image expectedIcon;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(o.thumb, expectedIcon, reason));
    TempDir dir;
    for (const uint8_t kind : {kPlainKind, kScrambledKind}) {
        dir.Write("3000.p_g", WriteArchive(kind, o.params, o.thumb, o.photos));
        HData entry;
        ASSERT_TRUE(entry.Load(dir.File("3000.p_g").c_str(), reason)) << reason;
        EXPECT_EQ(entry.kind, kind);
        EXPECT_EQ(entry.Params(), o.params);
        EXPECT_EQ(entry.searchDepth, 7);
        EXPECT_EQ(entry.manValue, 1);
        EXPECT_EQ(entry.kingValue, 4);
        ASSERT_NE(entry.icon, nullptr);
        EXPECT_EQ(*entry.icon, expectedIcon);
        ASSERT_EQ(entry.photos.Count(), 4);
        for (int32_t i = 0; i < 4; ++i)
            EXPECT_EQ(Decoded(**entry.photos[i]), expected[size_t(i)]) << "photo " << i;
        // and near the pictures they were made from, not merely equal to our own decode
        EXPECT_LT(MeanDifference(Decoded(**entry.photos[2]), TestPicture(29, 43, 14)), 6.0);
    }
}

TEST(Hdata, EachPictureIsDecodedOnceAndKeptForTheRun) {
    const Opponent o;
    TempDir dir;
    dir.Write("a.p_g", WriteArchive(kScrambledKind, o.params, o.thumb, o.photos));
    const size_t before = ImageStore::Instance().Count();
    HData entry;
    ASSERT_TRUE(entry.Load(dir.File("a.p_g").c_str()));
    EXPECT_EQ(ImageStore::Instance().Count(), before + 5);  // thumbnail and four photos
}

TEST(Hdata, CopyOutlivesItsOriginal) {
    const Opponent o;
    const std::vector<Image> expected = o.Decoded();
    TempDir dir;
    dir.Write("3001.p_g", WriteArchive(kPlainKind, o.params, o.thumb, o.photos));
    POrderList<HData> gallery(100);
    {
        auto original = std::make_unique<HData>();
        ASSERT_TRUE(original->Load(dir.File("3001.p_g").c_str()));
        original->level = 2;
        gallery.Add(*original);
        HData* copy = gallery[0];
        EXPECT_NE(copy, original.get());
        EXPECT_EQ(copy->photos.Count(), 4);
        EXPECT_EQ(*copy->photos[1], *original->photos[1]);  // the same picture...
        EXPECT_NE(copy->photos[1], original->photos[1]);    // ...through a cell of its own
    }
    const HData& copy = *gallery[0];
    EXPECT_EQ(copy.level, 2);
    EXPECT_EQ(copy.Params(), o.params);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(Decoded(**copy.photos[i]), expected[size_t(i)]);
    HData assigned;
    assigned = copy;
    EXPECT_EQ(assigned.photos.Count(), 4);
    EXPECT_EQ(*assigned.icon, *copy.icon);
}

TEST(Hdata, FailedLoadLeavesTheEntryAsItWas) {
    const Opponent o;
    TempDir dir;
    dir.Write("good.p_g", WriteArchive(kPlainKind, o.params, o.thumb, o.photos));
    std::vector<std::vector<uint8_t>> broken = o.photos;
    broken[3].resize(broken[3].size() / 2);
    dir.Write("bad.p_g", WriteArchive(kPlainKind, EngineParams{3, 0, 0, 0, 0}, o.thumb, broken));
    HData entry;
    ASSERT_TRUE(entry.Load(dir.File("good.p_g").c_str()));
    const Image* icon = entry.icon;
    const size_t kept = ImageStore::Instance().Count();
    std::string reason;
    EXPECT_FALSE(entry.Load(dir.File("bad.p_g").c_str(), reason));
    EXPECT_NE(reason.find("photo 3:"), std::string::npos) << reason;
    EXPECT_EQ(ImageStore::Instance().Count(), kept);  // nothing decoded for it was kept
    EXPECT_EQ(entry.icon, icon);
    EXPECT_EQ(entry.Params(), o.params);
    EXPECT_EQ(entry.photos.Count(), 4);
}

TEST(Hdata, LoadingAgainReplacesThePhotos) {
    const Opponent o;
    TempDir dir;
    dir.Write("four.p_g", WriteArchive(kPlainKind, o.params, o.thumb, o.photos));
    dir.Write("two.p_g", WriteArchive(kScrambledKind, EngineParams{2, 0, 0, 0, 0}, o.thumb,
                                      {o.photos[0], o.photos[1]}));
    HData entry;
    ASSERT_TRUE(entry.Load(dir.File("four.p_g").c_str()));
    ASSERT_TRUE(entry.Load(dir.File("two.p_g").c_str()));
    EXPECT_EQ(entry.photos.Count(), 2);
    EXPECT_EQ(entry.searchDepth, 2);
    EXPECT_EQ(entry.kind, kScrambledKind);
}

TEST(Hdata, BadFilesOnDisk) {
    const Opponent o;
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "3002.p_g");
    dir.Write("empty.p_g", {});
    dir.Write("one.p_g", PlainArchive(o.params, o.thumb, {o.photos[0]}));
    dir.Write("none.p_g", PlainArchive(o.params, o.thumb, {}));
    struct Case {
        const char* name;
        const char* why;
    };
    const Case cases[] = {{"missing.p_g", "no such file"},
                          {"3002.p_g", "not a regular file"},
                          {"empty.p_g", "empty file"},
                          {"one.p_g", "only 1 photos"},
                          {"none.p_g", "only 0 photos"}};
    for (const Case& c : cases) {
        HData entry;
        std::string reason;
        EXPECT_FALSE(entry.Load(dir.File(c.name).c_str(), reason)) << c.name;
        EXPECT_NE(reason.find(c.why), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(entry.icon, nullptr);
    }
}

TEST(Hdata, CorruptFileIsClosedAtOnceAndCanBeReplaced) {
    const Opponent o;
    TempDir dir;
    std::vector<uint8_t> corrupt = WriteArchive(kScrambledKind, o.params, o.thumb, o.photos);
    corrupt.resize(corrupt.size() - 100);
    dir.Write("3003.p_g", corrupt);
    const int32_t open = OpenDescriptors();
    for (int i = 0; i < 5; ++i) {
        HData entry;
        EXPECT_FALSE(entry.Load(dir.File("3003.p_g").c_str()));
        EXPECT_EQ(OpenDescriptors(), open);
    }
    // the player fixes the file while the game runs
    dir.Write("3003.p_g", WriteArchive(kScrambledKind, o.params, o.thumb, o.photos));
    HData entry;
    EXPECT_TRUE(entry.Load(dir.File("3003.p_g").c_str()));
    EXPECT_EQ(OpenDescriptors(), open);
}

TEST(Hdata, LoadFromMemoryIsLoadWithoutTheFile) {
    const Opponent o;
    const std::vector<uint8_t> file = WriteArchive(kScrambledKind, o.params, o.thumb, o.photos);
    HData entry;
    std::string reason;
    ASSERT_TRUE(entry.LoadFromMemory(file.data(), file.size(), reason)) << reason;
    EXPECT_EQ(entry.photos.Count(), 4);
    EXPECT_FALSE(entry.LoadFromMemory(file.data(), 3, reason));
    EXPECT_NE(reason.find("too short"), std::string::npos);
}

}  // namespace
