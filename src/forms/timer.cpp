// A timer ticks while it is enabled and has an interval.
#include "forms/timer.h"

#include <utility>

#include "base/error.h"

namespace tivora::forms {

Timer::Timer(Form& form, std::string name, int intervalMs, bool enabled)
    : Control(form, std::move(name), classKind, Rect{}), interval_(intervalMs) {
    Control::setEnabled(enabled);
    setVisible(false);
}

void Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    if (interval_ != ms) {
        interval_ = ms;
        notify(Change::Interval);
    }
}

void Timer::tick() {
    if (enabled() && interval_ > 0) {
        raise(onTimer);
    }
}

void Timer::restart() {
    if (enabled() && interval_ > 0) {
        notify(Change::Restart);
    }
}

}  // namespace tivora::forms
