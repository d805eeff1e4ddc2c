#pragma once
// The main window's tab strip: the whole client area, the tabs along its top
// and a frame around the rest, where the pages lie over it.
#include <QTabBar>

namespace tarnwick {

class TabStrip : public QTabBar {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarnwick
