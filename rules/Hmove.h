#pragma once

#include <cstdint>
#include <string>

#include "engine/EngineParams.h"
#include "rules/Hfigura.h"

// One move: the path of its piece landing by landing, the pieces it takes,
// and its running gain, kept by four step operations and their exact
// inverses so that moves are built depth-first in one record.
//
// The opponent has at most 12 pieces, so a capture takes at most 12 and lands
// at most 12 times: 13 path entries and 12 captured pieces always suffice.
struct HMove {
    static constexpr int32_t kMaxSteps = 13;
    static constexpr int32_t kMaxCaptured = 12;

    // The counts lead, so that copying a short move touches one cache line.
    int32_t stepCount = 0;
    int32_t capturedCount = 0;
    int32_t score = 0;
    int32_t value = 0;     // the search's value of the move
    uint8_t valueSet = 0;  // a search frame has recorded a value
    HFigura steps[kMaxSteps];
    HFigura captured[kMaxCaptured];

    HMove() = default;
    // Copies only the path and captures in use: a listed move is usually two
    // entries long, and the record is several hundred bytes.
    HMove(const HMove& other) { *this = other; }
    HMove& operator=(const HMove& other) {
        stepCount = other.stepCount;
        capturedCount = other.capturedCount;
        score = other.score;
        value = other.value;
        valueSet = other.valueSet;
        // Most moves are two entries long; a library copy call costs more than that.
        if (stepCount >= 2) {
            steps[0] = other.steps[0];
            steps[1] = other.steps[1];
            for (int32_t i = 2; i < stepCount; ++i) steps[i] = other.steps[i];
        } else if (stepCount == 1) {
            steps[0] = other.steps[0];
        }
        for (int32_t i = 0; i < capturedCount; ++i) captured[i] = other.captured[i];
        return *this;
    }

    void Clear() {
        stepCount = 0;
        capturedCount = 0;
        score = 0;
    }

    // Appends a landing. A man landing on its crowning row is crowned in the
    // caller's record too, so the caller knows to go on as a king.
    void AddStep(HFigura& piece, int32_t& moverKings, const EngineParams& p = engineParams) {
        if (piece.king == 0 && piece.pos.y == CrowningRow(piece.owner)) {
            piece.king = 1;
            score += p.promotionBonus;
            if (moverKings == 0) score += p.firstKingBonus;
            ++moverKings;
        }
        steps[stepCount++] = piece;
    }

    void UndoStep(int32_t& moverKings, const EngineParams& p = engineParams) {
        --stepCount;
        if (stepCount >= 1 && steps[stepCount].king == 1 && steps[stepCount - 1].king == 0) {
            score -= p.promotionBonus;
            --moverKings;
            if (moverKings == 0) score -= p.firstKingBonus;
        }
    }

    void AddCapture(const HFigura& piece, int32_t& opponentKings,
                    const EngineParams& p = engineParams) {
        if (piece.king != 1) {
            score += p.manValue;
        } else {
            score += p.kingValue;
            --opponentKings;
            if (opponentKings == 0) score += p.firstKingBonus;
        }
        captured[capturedCount++] = piece;
    }

    void UndoCapture(int32_t& opponentKings, const EngineParams& p = engineParams) {
        --capturedCount;
        if (captured[capturedCount].king != 1) {
            score -= p.manValue;
        } else {
            score -= p.kingValue;
            if (opponentKings == 0) score -= p.firstKingBonus;
            ++opponentKings;
        }
    }

    bool IsCapture() const { return capturedCount > 0; }
    const HFigura& From() const { return steps[0]; }
    const HFigura& To() const { return steps[stepCount - 1]; }

    // "c3-d4", "c3:e5:g7": the squares joined by ":" for a capture.
    std::string PathText() const;
    // The moves line form: " > " and the path.
    std::string Text() const { return " > " + PathText(); }
};
