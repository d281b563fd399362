#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <functional>
#include <string>

#include "photos/Image.h"
#include "platform/ImageControl.h"
#include "rules/Hfigura.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"

// Helpers for tests that click on the real board and read what it shows.
namespace gui_test {

// A picture of one colour, for archives made by a test.
inline Image SolidImage(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(size_t(width) * height * 3);
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        image.rgb[i] = r;
        image.rgb[i + 1] = g;
        image.rgb[i + 2] = b;
    }
    return image;
}

// Runs the event loop until pred holds or the time is up. The limit only
// ends a test that has already failed: it is far beyond what anything takes
// even on a loaded machine, where idle-class searches may wait for seconds.
inline constexpr int kPatienceMs = 120000;
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = kPatienceMs) {
    return QTest::qWaitFor(pred, timeoutMs);
}

// Hands over everything already posted without waiting for any timer.
inline void DeliverPosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

inline QPoint SquareCentre(Point square) {
    return HParty::SquareTopLeft(square) + QPoint(HParty::kSquare / 2, HParty::kSquare / 2);
}

inline void ClickSquare(ImageControl* board, Point square,
                        Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(board, button, {}, SquareCentre(square));
}

inline Point Sq(const char* name) {
    return Point{name[0] - 'a' + 1, name[1] - '0'};
}

// The pixels of a picture as drawn, at the canvas's ratio.
inline QImage Pixels(const QPixmap& picture) {
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage SquareOnCanvas(const ImageControl* board, Point square) {
    const qreal ratio = board->CanvasRatio();
    const QPoint at = HParty::SquareTopLeft(square) * ratio;
    const int side = qRound(HParty::kSquare * ratio);
    return board->Canvas().copy(at.x(), at.y(), side, side).convertToFormat(QImage::Format_RGB32);
}

// What the board image shows on a square, found by comparing its pixels with
// each picture: "empty", "bottom man", "top king", ... or "other".
inline std::string Shown(const HParty& party, Point square) {
    const QImage shown = SquareOnCanvas(party.boardImage, square);
    const struct {
        const QPixmap* picture;
        const char* name;
    } pictures[] = {{party.cellPicture, "empty"},
                    {party.bottomManPicture, "bottom man"},
                    {party.bottomKingPicture, "bottom king"},
                    {party.topManPicture, "top man"},
                    {party.topKingPicture, "top king"}};
    for (const auto& p : pictures) {
        QImage expected = Pixels(*p.picture);
        expected.setDevicePixelRatio(1.0);
        QImage actual = shown;
        actual.setDevicePixelRatio(1.0);
        if (expected == actual) return p.name;
    }
    return "other";
}

// What the board model holds on a square, in the same words.
inline std::string Held(const HDoska& board, Point square) {
    const HFigura& cell = board.At(square);
    if (cell.owner == Bottom) return cell.king ? "bottom king" : "bottom man";
    if (cell.owner == Top) return cell.king ? "top king" : "top man";
    return "empty";
}

// Puts a position on the game's board mid-game, with its side to move, and
// starts that side's turn.
inline void SetPosition(HParty& party, const char* fen) {
    std::string error;
    auto position = ParseFen(fen, error);
    ASSERT_TRUE(position) << error;
    party.Halt();
    party.board = position->board;
    party.sideToMove = position->sideToMove;
    party.lastComputerValue = 0;
    party.Redraw();
    party.NextTurn();
}

}  // namespace gui_test
