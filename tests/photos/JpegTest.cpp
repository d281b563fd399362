#include <gtest/gtest.h>

#include "photos/Jpeg.h"
#include "tests/photos/Fixtures.h"

namespace {

// Offset of the first SOFn marker's height field.
size_t FrameHeaderOffset(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
    return 0;
}

// Offset just past the start-of-scan header: the entropy-coded data begins here.
size_t ScanDataOffset(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 2; i + 4 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            return i + 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    return 0;
}

TEST(Jpeg, DecodesWhatWasEncodedCloseToTheSource) {
    const Image source = TestPicture(64, 48, 3);
    const std::vector<uint8_t> jpeg = EncodeJpeg(source, 95);
    ASSERT_FALSE(jpeg.empty());
    Image decoded;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(jpeg, decoded, reason)) << reason;
    EXPECT_EQ(decoded.width, 64);
    EXPECT_EQ(decoded.height, 48);
    ASSERT_EQ(decoded.rgb.size(), size_t(64 * 48 * 3));
    EXPECT_LT(MeanDifference(decoded, source), 4.0);
    // a different picture is far away: the comparison above can fail
    EXPECT_GT(MeanDifference(decoded, TestPicture(64, 48, 4)), 10.0);
}

TEST(Jpeg, RefusesWhatIsNotAJpeg) {
    Image out;
    std::string reason;
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
    EXPECT_FALSE(DecodeJpeg(png, out, reason));
    EXPECT_NE(reason.find("not a JPEG"), std::string::npos) << reason;
    EXPECT_FALSE(DecodeJpeg({}, out, reason));
    const std::vector<uint8_t> justMarker = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_FALSE(DecodeJpeg(justMarker, out, reason));
    EXPECT_TRUE(out.rgb.empty());
}

TEST(Jpeg, EveryTruncationFails) {
    const std::vector<uint8_t> jpeg = TestJpeg(40, 24, 5);
    for (size_t length = 0; length < jpeg.size(); ++length) {
        Image out;
        std::string reason;
        EXPECT_FALSE(DecodeJpeg(std::span(jpeg.data(), length), out, reason))
            << "length " << length;
        EXPECT_FALSE(reason.empty());
    }
}

TEST(Jpeg, CorruptScanDataFails) {
    std::vector<uint8_t> jpeg = TestJpeg(64, 64, 6);
    const size_t scan = ScanDataOffset(jpeg);
    ASSERT_GT(scan, 0u);
    // a marker in the middle of the entropy-coded data is corruption the
    // decoder only warns about
    jpeg[scan + 40] = 0xFF;
    jpeg[scan + 41] = 0xD0;
    Image out;
    std::string reason;
    EXPECT_FALSE(DecodeJpeg(jpeg, out, reason));
    EXPECT_NE(reason.find("corrupt"), std::string::npos) << reason;
}

// Offset of the end-of-image marker that closes the picture.
size_t EndMarkerOffset(const std::vector<uint8_t>& jpeg) {
    return jpeg.size() >= 2 && jpeg[jpeg.size() - 2] == 0xFF && jpeg.back() == 0xD9
               ? jpeg.size() - 2
               : 0;
}

// Stray bytes before a marker only make the decoder warn; the picture is
// whole and decodes to the same pixels.
TEST(Jpeg, StrayBytesBeforeAMarkerAreHarmless) {
    const std::vector<uint8_t> clean = TestJpeg(64, 48, 9);
    Image expected;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(clean, expected, reason)) << reason;
    const size_t end = EndMarkerOffset(clean);
    const size_t scan = ScanDataOffset(clean);
    ASSERT_GT(end, 0u);
    ASSERT_GT(scan, 0u);
    size_t scanMarker = scan;
    while (!(clean[scanMarker] == 0xFF && clean[scanMarker + 1] == 0xDA)) --scanMarker;
    for (const size_t at : {end, scanMarker}) {
        std::vector<uint8_t> jpeg = clean;
        jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), {0x12, 0x34, 0x56});
        Image out;
        EXPECT_TRUE(DecodeJpeg(jpeg, out, reason)) << "at " << at << ": " << reason;
        EXPECT_EQ(out, expected) << "at " << at;
    }
}

// The same stray bytes do not excuse a file cut short, nor damage that
// follows them.
TEST(Jpeg, StrayBytesDoNotExcuseTruncationOrCorruption) {
    std::vector<uint8_t> jpeg = TestJpeg(64, 64, 10);
    const size_t scan = ScanDataOffset(jpeg);
    size_t scanMarker = scan;
    while (!(jpeg[scanMarker] == 0xFF && jpeg[scanMarker + 1] == 0xDA)) --scanMarker;
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(scanMarker), {0x12, 0x34, 0x56});
    Image out;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(jpeg, out, reason)) << reason;
    for (size_t length = scanMarker + 8; length < jpeg.size(); length += 7) {
        EXPECT_FALSE(DecodeJpeg(std::span(jpeg.data(), length), out, reason))
            << "length " << length;
        EXPECT_FALSE(reason.empty());
    }
    // An end marker in the middle of the scan data: the rest never decodes.
    std::vector<uint8_t> cut = jpeg;
    cut[scan + 3 + 40] = 0xFF;
    cut[scan + 3 + 41] = 0xD9;
    EXPECT_FALSE(DecodeJpeg(cut, out, reason));
}

TEST(Jpeg, HeaderClaimingHugeDimensionsIsRefusedBeforeDecoding) {
    std::vector<uint8_t> jpeg = TestJpeg(16, 16, 7);
    const size_t frame = FrameHeaderOffset(jpeg);
    ASSERT_GT(frame, 0u);
    // 8000 x 8000 from a few hundred bytes: no honest JPEG is that dense
    jpeg[frame] = 0x1F, jpeg[frame + 1] = 0x40;
    jpeg[frame + 2] = 0x1F, jpeg[frame + 3] = 0x40;
    Image out;
    std::string reason;
    EXPECT_FALSE(DecodeJpeg(jpeg, out, reason));
    EXPECT_NE(reason.find("too large"), std::string::npos) << reason;

    jpeg[frame] = 0x23, jpeg[frame + 1] = 0x28;  // 9000 high: past any side we accept
    EXPECT_FALSE(DecodeJpeg(jpeg, out, reason));
    EXPECT_NE(reason.find("out of range"), std::string::npos) << reason;
}

TEST(Jpeg, TrailingBytesAfterThePictureAreHarmless) {
    std::vector<uint8_t> jpeg = TestJpeg(16, 16, 8);
    Image plain, padded;
    std::string reason;
    ASSERT_TRUE(DecodeJpeg(jpeg, plain, reason)) << reason;
    jpeg.insert(jpeg.end(), {1, 2, 3, 4});
    ASSERT_TRUE(DecodeJpeg(jpeg, padded, reason)) << reason;
    EXPECT_EQ(plain, padded);
}

}  // namespace
