#include "rules/Notation.h"

#include <vector>

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool ParsePieces(std::string_view list, uint8_t side, HDoska& board, std::string& error) {
    if (list.empty()) return true;
    int pieces = 0;
    for (std::string_view token : Split(list, ',')) {
        uint8_t king = 0;
        if (!token.empty() && token[0] == 'K') {
            king = 1;
            token.remove_prefix(1);
        }
        const std::optional<Point> square = ParseSquare(token);
        if (!square) {
            error = "unknown square '" + std::string(token) + "'";
            return false;
        }
        if (!square->IsDark()) {
            error = "light square " + square->Text() + " cannot hold a piece";
            return false;
        }
        HFigura& cell = board.At(*square);
        if (cell.owner != Empty) {
            error = "square " + square->Text() + " is named twice";
            return false;
        }
        if (!king && square->y == CrowningRow(side)) {
            error = "a man on " + square->Text() + " stands on its own crowning row";
            return false;
        }
        if (++pieces > 12) {
            error = std::string("more than 12 pieces for ") + (side == Bottom ? "White" : "Black");
            return false;
        }
        cell = HFigura(side, king, *square);
        if (king) ++board.Kings(side);
    }
    return true;
}

}  // namespace

std::optional<Point> ParseSquare(std::string_view text) {
    if (text.size() != 2) return std::nullopt;
    const Point p{text[0] - 'a' + 1, text[1] - '0'};
    if (!p.OnBoard()) return std::nullopt;
    return p;
}

std::optional<Position> ParseFen(std::string_view text, std::string& error) {
    Position position;
    if (text == "start") {
        position.board.SetInitial();
        return position;
    }
    const std::vector<std::string_view> fields = Split(text, ':');
    if (fields.empty() || (fields[0] != "W" && fields[0] != "B")) {
        error = "position must start with the side to move, W or B: '" + std::string(text) + "'";
        return std::nullopt;
    }
    position.sideToMove = fields[0] == "W" ? Bottom : Top;
    bool seen[2] = {false, false};
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::string_view field = fields[i];
        if (field.empty() || (field[0] != 'W' && field[0] != 'B')) {
            error = "piece list must start with W or B: '" + std::string(field) + "'";
            return std::nullopt;
        }
        const int which = field[0] == 'W' ? 0 : 1;
        if (seen[which]) {
            error = std::string("the ") + field[0] + " piece list is given twice";
            return std::nullopt;
        }
        seen[which] = true;
        if (!ParsePieces(field.substr(1), which == 0 ? Bottom : Top, position.board, error))
            return std::nullopt;
    }
    if (!seen[0] || !seen[1]) {
        error = "position needs both piece lists, ':W...' and ':B...'";
        return std::nullopt;
    }
    return position;
}

std::string ToFen(const HDoska& board, uint8_t sideToMove) {
    std::string text = sideToMove == Bottom ? "W" : "B";
    for (const uint8_t side : {Bottom, Top}) {
        text += side == Bottom ? ":W" : ":B";
        bool first = true;
        for (const Point p : kSquareOrder) {
            const HFigura& cell = board.At(p);
            if (cell.owner != side) continue;
            if (!first) text += ',';
            first = false;
            if (cell.king) text += 'K';
            text += p.Text();
        }
    }
    return text;
}
