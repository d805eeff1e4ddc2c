#pragma once
// A form's timer control run by a QTimer: it ticks every Interval
// milliseconds while the control is Enabled, calling the form's handler.
#include "forms/Form.h"

#include <QObject>

#include <functional>

class QTimer;

namespace tarnwick {

class FormTimer {
public:
    FormTimer(QObject* owner, const TimerControl& control, std::function<void()> handler);

    // Starts, stops or re-times the QTimer as the control now says.
    void Follow();
    bool Running() const;

private:
    const TimerControl& control_;
    QTimer* timer_;
};

} // namespace tarnwick
