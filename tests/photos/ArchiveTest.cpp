#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "photos/Archive.h"
#include "photos/Jpeg.h"
#include "tests/photos/Fixtures.h"

namespace {

const EngineParams kParams{9, 4, 6, 1, 2};

struct Parts {
    std::vector<uint8_t> thumb = TestJpeg(24, 24, 1);
    std::vector<std::vector<uint8_t>> photos = {TestJpeg(30, 44, 2), TestJpeg(30, 44, 3),
                                                TestJpeg(30, 44, 4)};
};

bool Layout(const std::vector<uint8_t>& file, std::string& reason) {
    ArchiveLayout layout;
    return ReadLayout(file, layout, reason);
}

::testing::AssertionResult Refused(const std::vector<uint8_t>& file, const std::string& why) {
    std::string reason;
    ArchiveContents contents;
    if (ParseArchive(file, contents, reason)) return ::testing::AssertionFailure() << "it loaded";
    if (reason.find(why) == std::string::npos)
        return ::testing::AssertionFailure() << "reason '" << reason << "' lacks '" << why << "'";
    return ::testing::AssertionSuccess();
}

TEST(Archive, KeystreamMatchesTheDocumentedExample) {
    std::vector<uint8_t> body(8, 0);
    ScrambleBody(body, 1);
    EXPECT_EQ(body, (std::vector<uint8_t>{0x5b, 0x00, 0x78, 0x48, 0xfe, 0xb3, 0x12, 0x0f}));
}

TEST(Archive, ScramblingTwiceRestoresTheBodyAndDependsOnTheThumbnailLength) {
    std::vector<uint8_t> body(1001);
    for (size_t i = 0; i < body.size(); ++i) body[i] = uint8_t(i * 7);
    std::vector<uint8_t> a = body, b = body;
    ScrambleBody(a, 500);
    ScrambleBody(b, 501);
    EXPECT_NE(a, body);
    EXPECT_NE(a, b);
    ScrambleBody(a, 500);
    EXPECT_EQ(a, body);
}

TEST(Archive, WriterFollowsTheDocumentedPlainLayout) {
    const Parts parts;
    const std::vector<uint8_t> written =
        WriteArchive(kPlainKind, kParams, parts.thumb, parts.photos);
    EXPECT_EQ(written, PlainArchive(kParams, parts.thumb, parts.photos));
}

TEST(Archive, ScrambledBodyHidesThePhotosAndLoadsTheSame) {
    const Parts parts;
    const std::vector<uint8_t> plain = WriteArchive(kPlainKind, kParams, parts.thumb, parts.photos);
    const std::vector<uint8_t> scrambled =
        WriteArchive(kScrambledKind, kParams, parts.thumb, parts.photos);
    ASSERT_EQ(plain.size(), scrambled.size());
    EXPECT_EQ(scrambled[0], 1);
    const size_t bodyStart = 5 + parts.thumb.size();
    EXPECT_TRUE(
        std::equal(plain.begin() + 1, plain.begin() + long(bodyStart), scrambled.begin() + 1));
    for (const auto& photo : parts.photos) {
        auto found = std::search(scrambled.begin() + long(bodyStart), scrambled.end(),
                                 photo.begin(), photo.begin() + 16);
        EXPECT_EQ(found, scrambled.end()) << "a photo lies in the file in the clear";
    }
    ArchiveContents fromPlain, fromScrambled;
    std::string reason;
    ASSERT_TRUE(ParseArchive(plain, fromPlain, reason)) << reason;
    ASSERT_TRUE(ParseArchive(scrambled, fromScrambled, reason)) << reason;
    EXPECT_EQ(fromPlain.params, fromScrambled.params);
    EXPECT_EQ(fromPlain.icon, fromScrambled.icon);
    EXPECT_EQ(fromPlain.photos, fromScrambled.photos);
    EXPECT_EQ(fromScrambled.kind, kScrambledKind);
}

TEST(Archive, KingIsStoredBeforeMan) {
    const Parts parts;
    // depth 9, promotion 4, first king 6, king 2, man 1, as the file holds them
    Bytes b;
    b.U8(0).I32(int32_t(parts.thumb.size())).Raw(parts.thumb);
    b.I32(9).I32(4).I32(6).I32(2).I32(1).I32(2);
    for (int i = 0; i < 2; ++i) b.I32(int32_t(parts.photos[i].size())).Raw(parts.photos[i]);
    ArchiveContents contents;
    std::string reason;
    ASSERT_TRUE(ParseArchive(b.data, contents, reason)) << reason;
    EXPECT_EQ(contents.params.searchDepth, 9);
    EXPECT_EQ(contents.params.promotionBonus, 4);
    EXPECT_EQ(contents.params.firstKingBonus, 6);
    EXPECT_EQ(contents.params.kingValue, 2);
    EXPECT_EQ(contents.params.manValue, 1);
}

TEST(Archive, ThreePhotosInFileOrderAndTrailingBytesChangeNothing) {
    const Parts parts;
    std::vector<uint8_t> file = PlainArchive(kParams, parts.thumb, parts.photos);
    ArchiveContents exact, padded;
    std::string reason;
    ASSERT_TRUE(ParseArchive(file, exact, reason)) << reason;
    ASSERT_EQ(exact.photos.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        Image direct;
        ASSERT_TRUE(DecodeJpeg(parts.photos[i], direct, reason));
        EXPECT_EQ(exact.photos[i], (Photo{direct.width, direct.height, parts.photos[i]}))
            << "photo " << i;
    }
    file.insert(file.end(), {0xFF, 0xD8, 0, 0, 0, 7, 7});
    ASSERT_TRUE(ParseArchive(file, padded, reason)) << reason;
    EXPECT_EQ(padded.photos, exact.photos);
    EXPECT_EQ(padded.icon, exact.icon);
    ArchiveLayout layout;
    ASSERT_TRUE(ReadLayout(file, layout, reason));
    EXPECT_EQ(layout.usedBytes, file.size() - 7);
}

TEST(Archive, EveryProperPrefixOfAFileIsRefused) {
    const Parts parts;
    const std::vector<uint8_t> plain =
        WriteArchive(kPlainKind, kParams, parts.thumb, {parts.photos[0], parts.photos[1]});
    const std::vector<uint8_t> scrambled =
        WriteArchive(kScrambledKind, kParams, parts.thumb, {parts.photos[0], parts.photos[1]});
    for (const auto* file : {&plain, &scrambled}) {
        ArchiveContents contents;
        std::string reason;
        ASSERT_TRUE(ParseArchive(*file, contents, reason)) << reason;
        for (size_t length = 0; length < file->size(); ++length)
            EXPECT_FALSE(ParseArchive(std::span(file->data(), length), contents, reason))
                << "length " << length;
    }
}

TEST(Archive, LengthsThatAreNotPositiveOrRunPastTheEnd) {
    const Parts parts;
    const std::vector<uint8_t> good = PlainArchive(kParams, parts.thumb, parts.photos);
    const auto withThumbLength = [&](int32_t length) {
        std::vector<uint8_t> file = good;
        for (int i = 0; i < 4; ++i) file[size_t(1 + i)] = uint8_t(uint32_t(length) >> (8 * i));
        return file;
    };
    EXPECT_TRUE(Refused(withThumbLength(0), "thumbnail length 0 is not positive"));
    EXPECT_TRUE(Refused(withThumbLength(-5), "thumbnail length -5 is not positive"));
    EXPECT_TRUE(Refused(withThumbLength(int32_t(good.size())), "runs past the end of the file"));
    EXPECT_TRUE(Refused(withThumbLength(std::numeric_limits<int32_t>::max()),
                        "runs past the end of the file"));

    const size_t firstPhotoLength = 5 + parts.thumb.size() + 24;
    const auto withPhotoLength = [&](int32_t length) {
        std::vector<uint8_t> file = good;
        for (int i = 0; i < 4; ++i)
            file[firstPhotoLength + size_t(i)] = uint8_t(uint32_t(length) >> (8 * i));
        return file;
    };
    EXPECT_TRUE(Refused(withPhotoLength(0), "photo 0 length 0 is not positive"));
    EXPECT_TRUE(Refused(withPhotoLength(-1), "photo 0 length -1 is not positive"));
    EXPECT_TRUE(Refused(withPhotoLength(int32_t(good.size())), "photo 0 length"));
    EXPECT_TRUE(Refused(withPhotoLength(std::numeric_limits<int32_t>::min()), "not positive"));
}

TEST(Archive, LastPhotoMayEndAtTheLastByteButNotOnePast) {
    const Parts parts;
    for (const size_t trailing : {size_t{0}, size_t{3}}) {
        std::vector<uint8_t> good = PlainArchive(kParams, parts.thumb, parts.photos);
        good.insert(good.end(), trailing, uint8_t{0xD9});
        const size_t lastLengthAt = good.size() - trailing - parts.photos[2].size() - 4;
        const auto withLastLength = [&](size_t length) {
            std::vector<uint8_t> file = good;
            for (int i = 0; i < 4; ++i)
                file[lastLengthAt + size_t(i)] = uint8_t(uint32_t(length) >> (8 * i));
            return file;
        };
        const size_t toTheEnd = parts.photos[2].size() + trailing;
        std::string reason;
        ArchiveLayout layout;
        const std::vector<uint8_t> exact = withLastLength(toTheEnd);
        ASSERT_TRUE(ReadLayout(exact, layout, reason)) << reason;
        EXPECT_EQ(layout.usedBytes, exact.size());
        ASSERT_EQ(layout.photos.size(), 3u);
        EXPECT_EQ(layout.photos[2].data() + layout.photos[2].size(), exact.data() + exact.size());

        const std::vector<uint8_t> past = withLastLength(toTheEnd + 1);
        EXPECT_FALSE(ReadLayout(past, layout, reason)) << "trailing " << trailing;
        EXPECT_NE(reason.find("photo 2 length"), std::string::npos) << reason;
        EXPECT_TRUE(Refused(past, "photo 2 length"));
    }
}

TEST(Archive, PhotoCountsOutsideWhatTheBodyCanHold) {
    const Parts parts;
    const auto withCount = [&](int32_t count) {
        Bytes b;
        b.U8(0).I32(int32_t(parts.thumb.size())).Raw(parts.thumb);
        b.I32(5).I32(1).I32(1).I32(1).I32(1).I32(count);
        for (const auto& photo : parts.photos) b.I32(int32_t(photo.size())).Raw(photo);
        return b.data;
    };
    EXPECT_TRUE(Refused(withCount(-1), "negative photo count -1"));
    EXPECT_TRUE(Refused(withCount(std::numeric_limits<int32_t>::min()), "negative photo count"));
    EXPECT_TRUE(Refused(withCount(0), "only 0 photos; an opponent needs 2 at least"));
    EXPECT_TRUE(Refused(withCount(1), "only 1 photos"));
    EXPECT_TRUE(Refused(withCount(std::numeric_limits<int32_t>::max()), "more than the body"));
    EXPECT_TRUE(Refused(withCount(4), "body ends before the length of photo 3"));
    std::string reason;
    EXPECT_TRUE(Layout(withCount(2), reason)) << reason;  // fewer records read than stored is fine
}

TEST(Archive, HeaderAndFixedFieldsMustBeThere) {
    const Parts parts;
    EXPECT_TRUE(Refused({}, "empty file"));
    EXPECT_TRUE(Refused({0, 1, 0}, "too short for its header"));
    Bytes b;
    b.U8(0).I32(int32_t(parts.thumb.size())).Raw(parts.thumb).I32(5).I32(1);
    EXPECT_TRUE(Refused(b.data, "too short for the engine numbers"));
    std::vector<uint8_t> file = PlainArchive(kParams, parts.thumb, parts.photos);
    file[0] = 2;
    EXPECT_TRUE(Refused(file, "unknown kind 2"));
    file[0] = 255;
    EXPECT_TRUE(Refused(file, "unknown kind 255"));
}

// A depth of 0 or below is a greedy opponent: no search, each reply valued by
// its own gain. She loads with her numbers as they stand.
TEST(Archive, DepthZeroOrBelowLoads) {
    const Parts parts;
    for (const int32_t depth : {0, -3, std::numeric_limits<int32_t>::min()}) {
        std::string reason;
        ArchiveContents contents;
        ASSERT_TRUE(ParseArchive(PlainArchive({depth, 5, 7, 1, 3}, parts.thumb, parts.photos),
                                 contents, reason))
            << depth << ": " << reason;
        EXPECT_EQ(contents.params.searchDepth, depth);
        EXPECT_EQ(contents.params.kingValue, 3);
        EXPECT_EQ(contents.photos.size(), parts.photos.size());
    }
}

TEST(Archive, EngineNumbersThatWouldHarmTheEngineAreRefused) {
    const Parts parts;
    EXPECT_TRUE(Refused(PlainArchive({0, 5, 7, 1, kMaxWeight + 1}, parts.thumb, parts.photos),
                        "out of range"));
    EXPECT_TRUE(Refused(PlainArchive({5, kMaxWeight + 1, 7, 1, 3}, parts.thumb, parts.photos),
                        "out of range"));
    EXPECT_TRUE(Refused(
        PlainArchive({5, 5, 7, 1, std::numeric_limits<int32_t>::min()}, parts.thumb, parts.photos),
        "out of range"));
    std::string reason;
    EXPECT_TRUE(
        Layout(PlainArchive({1, -kMaxWeight, kMaxWeight, 0, 0}, parts.thumb, parts.photos), reason))
        << reason;
}

TEST(Archive, PicturesTooLargeTogetherAreRefusedBeforeDecoding) {
    const Parts parts;
    // a small picture whose header claims 8000 x 8000, padded so that its
    // record is long enough to make the claim believable on its own
    std::vector<uint8_t> big = TestJpeg(16, 16, 9);
    for (size_t i = 2; i + 9 < big.size(); ++i) {
        if (big[i] == 0xFF && big[i + 1] == 0xC0) {
            big[i + 5] = 0x1F, big[i + 6] = 0x40, big[i + 7] = 0x1F, big[i + 8] = 0x40;
            break;
        }
    }
    big.resize(100000, 0);
    std::string reason;
    EXPECT_GE(JpegDecodedBytes(big, reason), int64_t(8000) * 8000 * 3) << reason;
    EXPECT_TRUE(
        Refused(PlainArchive(kParams, parts.thumb, {big, big, big}), "more than 512 MiB decoded"));
    // two of them fit, and then fail only because the stream is not really that large
    EXPECT_TRUE(Refused(PlainArchive(kParams, parts.thumb, {big, big}), "photo 0: corrupt JPEG"));
}

TEST(Archive, PicturesThatAreNotCleanJpegsAreRefused) {
    const Parts parts;
    std::vector<uint8_t> notJpeg(200, 0x42);
    EXPECT_TRUE(Refused(PlainArchive(kParams, notJpeg, parts.photos), "thumbnail: not a JPEG"));
    EXPECT_TRUE(Refused(PlainArchive(kParams, parts.thumb, {parts.photos[0], notJpeg}),
                        "photo 1: not a JPEG"));
    std::vector<uint8_t> cut = parts.photos[2];
    cut.resize(cut.size() * 2 / 3);
    EXPECT_TRUE(Refused(PlainArchive(kParams, parts.thumb, {parts.photos[0], parts.photos[1], cut}),
                        "photo 2:"));
}

}  // namespace
