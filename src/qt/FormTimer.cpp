#include "qt/FormTimer.h"

#include <QTimer>

namespace tarnwick {

FormTimer::FormTimer(QObject* owner, const TimerControl& control, std::function<void()> handler)
    : control_(control), timer_(new QTimer(owner))
{
    QObject::connect(timer_, &QTimer::timeout, timer_, std::move(handler));
    Follow();
}

void FormTimer::Follow()
{
    if (!control_.Enabled) {
        timer_->stop();
        return;
    }
    // A running timer keeps its count unless its interval changed.
    if (timer_->isActive() && timer_->interval() == control_.Interval)
        return;
    timer_->start(control_.Interval);
}

bool FormTimer::Running() const { return timer_->isActive(); }

} // namespace tarnwick
