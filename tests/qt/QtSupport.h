#pragma once
// For the Qt window tests: acting on a modal window once it is up.
#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace tarnwick::test {

// Runs `act` on the modal window once it is up (the splash, a splash
// screen, is modal without being the active modal widget).
inline void WhenShown(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (!w && top->isVisible() && qobject_cast<QDialog*>(top))
                w = top;
        QVERIFY(w);
        act(*w);
    });
}

} // namespace tarnwick::test
