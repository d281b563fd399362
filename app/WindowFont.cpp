#include "app/WindowFont.h"

QFont WindowFont(int pixels, bool bold) {
#ifdef _WIN32
    QFont font(QStringLiteral("MS Sans Serif"));
#else
    QFont font(QStringLiteral("DejaVu Sans"));
#endif
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
