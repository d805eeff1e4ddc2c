#include "qt/WindowFont.h"

#include <QFontDatabase>
#include <QWidget>

namespace tarnwick {

QFont WindowFont(bool italic)
{
    QFont font;
    // The list is a preference order: Qt takes the first family it has.
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Bitstream Vera Sans"), QStringLiteral("Tahoma")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setItalic(italic);
    return font;
}

void PlaceTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(TwipRect(left, top, width, height));
}

} // namespace tarnwick
