#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "app/PiecePictures.h"
#include "rules/Hfigura.h"

namespace {

constexpr QRgb kGrey = 0xff808080;

QImage Pixels(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

struct Mean {
    double r = 0, g = 0, b = 0;
};

// Mean colour of the pixels within `radius` logical pixels of the picture's
// middle.
Mean MeanAroundCentre(const QImage& image, double dpr, double radius) {
    Mean m;
    int n = 0;
    const double c = image.width() / 2.0;
    const double rr = radius * dpr;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            if (dx * dx + dy * dy > rr * rr) continue;
            const QRgb p = image.pixel(x, y);
            m.r += qRed(p), m.g += qGreen(p), m.b += qBlue(p);
            ++n;
        }
    m.r /= n, m.g /= n, m.b /= n;
    return m;
}

double Luma(QRgb p) {
    return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
}

using Case = std::tuple<uint8_t, bool, double>;

class PictureTest : public ::testing::TestWithParam<Case> {};

TEST_P(PictureTest, HasTheSizeAndRatioOfTheScreen) {
    const auto [owner, king, dpr] = GetParam();
    const QPixmap pixmap = PaintPiece(owner, king, dpr);
    const int side = static_cast<int>(std::lround(48 * dpr));
    EXPECT_EQ(pixmap.width(), side);
    EXPECT_EQ(pixmap.height(), side);
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), dpr);
    EXPECT_NEAR(pixmap.deviceIndependentSize().width(), 48.0, 1e-9);
}

// The piece stays inside its square: the outermost ring of pixels, corners
// included, is the dark square's grey, so it blends with the board.
TEST_P(PictureTest, BorderIsExactlyTheSquareGrey) {
    const auto [owner, king, dpr] = GetParam();
    const QImage image = Pixels(PaintPiece(owner, king, dpr));
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        EXPECT_EQ(image.pixel(corner), kGrey) << corner.x() << "," << corner.y();
    for (int i = 0; i <= last; ++i) {
        ASSERT_EQ(image.pixel(i, 0), kGrey) << i;
        ASSERT_EQ(image.pixel(i, last), kGrey) << i;
        ASSERT_EQ(image.pixel(0, i), kGrey) << i;
        ASSERT_EQ(image.pixel(last, i), kGrey) << i;
    }
}

TEST_P(PictureTest, IsOpaqueAndHasAPieceInTheMiddle) {
    const auto [owner, king, dpr] = GetParam();
    const QImage image = Pixels(PaintPiece(owner, king, dpr));
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 255);
            if (image.pixel(x, y) != kGrey) ++painted;
        }
    // A disc of radius 19 covers about half of the 48 x 48 square.
    EXPECT_GT(painted, image.width() * image.height() * 4 / 10);
    EXPECT_NE(image.pixel(image.width() / 2, image.height() / 2), kGrey);
}

// Light falls from the upper left: that side of the piece is brighter than
// the lower right, where the piece's edge and shadow are.
TEST_P(PictureTest, IsLitFromTheUpperLeft) {
    const auto [owner, king, dpr] = GetParam();
    const QImage image = Pixels(PaintPiece(owner, king, dpr));
    const double c = image.width() / 2.0;
    double upperLeft = 0, lowerRight = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double d = (x + 0.5 - c) + (y + 0.5 - c);
            if (d < -4 * dpr) upperLeft += Luma(image.pixel(x, y));
            if (d > 4 * dpr) lowerRight += Luma(image.pixel(x, y));
        }
    EXPECT_GT(upperLeft, lowerRight * 1.1);
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    const auto [owner, king, dpr] = info.param;
    return std::string(owner == Bottom ? "Bottom" : "Top") + (king ? "King" : "Man") + "_x" +
           std::to_string(static_cast<int>(dpr * 10));
}

INSTANTIATE_TEST_SUITE_P(AllPieces, PictureTest,
                         ::testing::Combine(::testing::Values(uint8_t(Bottom), uint8_t(Top)),
                                            ::testing::Bool(), ::testing::Values(1.0, 1.5, 2.0)),
                         CaseName);

// Drawing follows the ratio: the picture at twice the density, averaged over
// 2 x 2 blocks, looks like the picture at density 1.
void ExpectDenseMatchesNormal(uint8_t owner, bool king) {
    const QImage normal = Pixels(PaintPiece(owner, king, 1.0));
    const QImage dense = Pixels(PaintPiece(owner, king, 2.0));
    ASSERT_EQ(dense.width(), 2 * normal.width());
    double total = 0;
    int worse = 0;
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; ++k) {
                const QRgb p = dense.pixel(2 * x + k % 2, 2 * y + k / 2);
                r += qRed(p), g += qGreen(p), b += qBlue(p);
            }
            const QRgb q = normal.pixel(x, y);
            const double diff = (std::abs(r / 4.0 - qRed(q)) + std::abs(g / 4.0 - qGreen(q)) +
                                 std::abs(b / 4.0 - qBlue(q))) /
                                3.0;
            total += diff;
            if (diff > 60) ++worse;
        }
    EXPECT_LT(total / (normal.width() * normal.height()), 6.0);
    // Fine lines may land on different pixels, never whole areas.
    EXPECT_LT(worse, normal.width() * normal.height() / 50);
}

TEST(PiecePictures, DenseVersionMatchesTheNormalOne) {
    for (const uint8_t owner : {uint8_t(Bottom), uint8_t(Top)})
        for (const bool king : {false, true}) {
            SCOPED_TRACE(testing::Message() << int(owner) << (king ? " king" : " man"));
            ExpectDenseMatchesNormal(owner, king);
        }
}

TEST(PiecePictures, BottomIsGoldenAndTopIsViolet) {
    for (const double dpr : {1.0, 2.0})
        for (const bool king : {false, true}) {
            const Mean gold = MeanAroundCentre(Pixels(PaintPiece(Bottom, king, dpr)), dpr, 12);
            const Mean violet = MeanAroundCentre(Pixels(PaintPiece(Top, king, dpr)), dpr, 12);
            SCOPED_TRACE(testing::Message() << "dpr " << dpr << " king " << king);
            // Gold: red above green above blue.
            EXPECT_GT(gold.r, gold.b + 80);
            EXPECT_GT(gold.g, gold.b + 40);
            // Violet: blue above red above green.
            EXPECT_GT(violet.b, violet.g + 60);
            EXPECT_GT(violet.r, violet.g);
            // Either side is warmer or colder than the other, never both.
            EXPECT_GT(gold.r - gold.b, violet.r - violet.b + 100);
        }
}

TEST(PiecePictures, KingDiffersFromManAtAGlance) {
    for (const uint8_t owner : {uint8_t(Bottom), uint8_t(Top)}) {
        const QImage man = Pixels(PaintPiece(owner, false, 1.0));
        const QImage king = Pixels(PaintPiece(owner, true, 1.0));
        int different = 0;
        for (int y = 0; y < man.height(); ++y)
            for (int x = 0; x < man.width(); ++x) {
                const QRgb a = man.pixel(x, y), b = king.pixel(x, y);
                if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                        std::abs(qBlue(a) - qBlue(b)) >
                    90)
                    ++different;
            }
        EXPECT_GT(different, 48 * 48 / 20) << int(owner);
    }
}

TEST(PiecePictures, EmptySquareIsPlainGrey) {
    for (const double dpr : {1.0, 1.5, 2.0, 3.0}) {
        const QPixmap pixmap = PaintEmptySquare(dpr);
        EXPECT_EQ(pixmap.width(), std::lround(48 * dpr));
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), dpr);
        const QImage image = Pixels(pixmap);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixel(x, y), kGrey);
    }
    EXPECT_EQ(DarkSquareColor().rgb(), kGrey);
}

// A ratio rounded to a fractional pixel count still fills the whole square.
TEST(PiecePictures, OddRatioKeepsTheGreyBorder) {
    const QPixmap pixmap = PaintPiece(Bottom, true, 1.3);
    EXPECT_EQ(pixmap.width(), 62);
    const QImage image = Pixels(pixmap);
    EXPECT_EQ(image.pixel(0, 0), kGrey);
    EXPECT_EQ(image.pixel(61, 61), kGrey);
    EXPECT_NE(image.pixel(31, 31), kGrey);
}

TEST(PiecePictures, NonsenseRatioFallsBackToOne) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double dpr : {0.0, -2.0, nan, inf, 1e9}) {
        const QPixmap piece = PaintPiece(Top, false, dpr);
        EXPECT_EQ(piece.width(), 48) << dpr;
        EXPECT_DOUBLE_EQ(piece.devicePixelRatio(), 1.0);
        EXPECT_EQ(PaintEmptySquare(dpr).width(), 48) << dpr;
    }
    // The same picture as with a sound ratio of 1.
    EXPECT_EQ(Pixels(PaintPiece(Top, false, nan)), Pixels(PaintPiece(Top, false, 1.0)));
}

TEST(PiecePictures, NoSideMeansAnEmptySquare) {
    for (const uint8_t owner : {uint8_t(Empty), uint8_t(Blocked), uint8_t(7)}) {
        const QImage image = Pixels(PaintPiece(owner, true, 2.0));
        ASSERT_EQ(image.width(), 96);
        EXPECT_EQ(image, Pixels(PaintEmptySquare(2.0))) << int(owner);
    }
}

TEST(AppIcon, HasEverySizeWithBothPieces) {
    const QIcon icon = AppIcon();
    QList<QSize> expected;
    for (const int size : kIconSizes) expected.append(QSize(size, size));
    EXPECT_EQ(icon.availableSizes(), expected);
    for (const int size : kIconSizes) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
        ASSERT_EQ(pixmap.size(), QSize(size, size));
        const QImage image = Pixels(pixmap);
        // Round pieces leave the top-right and bottom-left corners clear.
        EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, size - 1)), 0) << size;
        int gold = 0, violet = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = QColor::fromRgba(image.pixel(x, y));
                if (c.alpha() < 255) continue;
                if (c.red() > c.blue() + 80 && c.green() > c.blue() + 40) ++gold;
                if (c.blue() > c.green() + 60 && c.red() > c.green()) ++violet;
            }
        // The king is in front and larger in view, but both show.
        EXPECT_GT(gold, size * size / 8) << size;
        EXPECT_GT(violet, size * size / 20) << size;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Pixmaps need a GUI application; headless runs use the offscreen one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
