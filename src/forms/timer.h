// The timer control: it ticks on the window layer's timer while it is enabled.
#pragma once

#include <string>

#include "forms/control.h"

namespace tivora::forms {

class Timer : public Control {
public:
    static constexpr Kind classKind = Kind::Timer;
    Timer(Form& form, std::string name, int intervalMs, bool enabled);

    int interval() const { return interval_; }
    void setInterval(int ms);

    Handler onTimer;
    // One tick of the window layer's timer; a disabled timer does not tick.
    void tick();
    // Starts the interval anew from now: the next tick comes a whole interval later.
    void restart();

    bool canTakeFocus() const override { return false; }

private:
    int interval_;
};

}  // namespace tivora::forms
