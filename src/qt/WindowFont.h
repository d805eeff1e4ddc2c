#pragma once
// The look shared by the small windows: the classic 8.25 pt Verdana of the
// original program, or the nearest sans-serif the machine has, and the twip
// positions the layouts are given in.
#include <QFont>
#include <QRect>

class QWidget;

namespace tarnwick {

// Verdana 8.25 pt where installed; otherwise DejaVu Sans (Verdana's metric
// sibling) or the system's sans-serif.
QFont WindowFont(bool italic = false);

// 15 twips are one pixel at 96 dots per inch.
constexpr int Twips(int twips) { return (twips + 7) / 15; }
inline QRect TwipRect(int left, int top, int width, int height)
{
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Places a child at a position given in twips within its parent.
void PlaceTwips(QWidget* w, int left, int top, int width, int height);

} // namespace tarnwick
