#include "rules/Hfigura.h"

std::string Point::Text() const {
    std::string text(1, static_cast<char>('a' + x - 1));
    text += std::to_string(y);
    return text;
}
