#include "qt/TabStrip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace tarnwick {

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent)
{
    // The frame is drawn below the tabs instead.
    setDrawBase(false);
    setExpanding(false);
}

void TabStrip::paintEvent(QPaintEvent* event)
{
    {
        QStylePainter p(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        const int tabs = count() > 0 ? tabRect(0).height() : 0;
        frame.rect = rect().adjusted(0, tabs - 1, 0, 0);
        frame.shape = shape();
        frame.tabBarSize = QSize(count() > 0 ? tabRect(count() - 1).right() + 1 : 0, tabs);
        frame.tabBarRect = QRect(QPoint(0, 0), frame.tabBarSize);
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    }
    QTabBar::paintEvent(event);
}

} // namespace tarnwick
