#include "rules/Hmove.h"

std::string HMove::PathText() const {
    std::string text;
    const char separator = IsCapture() ? ':' : '-';
    for (int32_t i = 0; i < stepCount; ++i) {
        if (i > 0) text += separator;
        text += steps[i].pos.Text();
    }
    return text;
}
