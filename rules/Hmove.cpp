#include "rules/Hmove.h"

#include <algorithm>

HMove& HMove::operator=(const HMove& other) {
    stepCount = other.stepCount;
    capturedCount = other.capturedCount;
    score = other.score;
    value = other.value;
    valueSet = other.valueSet;
    std::copy_n(other.steps, stepCount, steps);
    std::copy_n(other.captured, capturedCount, captured);
    return *this;
}

std::string HMove::PathText() const {
    std::string text;
    const char separator = IsCapture() ? ':' : '-';
    for (int32_t i = 0; i < stepCount; ++i) {
        if (i > 0) text += separator;
        text += steps[i].pos.Text();
    }
    return text;
}
