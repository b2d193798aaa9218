// SetTimer and KillTimer, each timer's action kept by its id until it has run once.
#include "platform/win32/timers.h"

#include <windows.h>

#include <map>
#include <utility>

#include "base/error.h"

namespace tivora::win32 {

namespace {

// Thread timers carry no context of their own: their actions are kept by id.
std::map<UINT_PTR, std::function<void()>>& onceActions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK runOnce(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto& actions = onceActions();
    auto found = actions.find(id);
    if (found == actions.end()) {
        return;
    }
    std::function<void()> action = std::move(found->second);
    actions.erase(found);
    try {
        action();
    } catch (...) {
        // The actions trap their own failures; nothing may cross user32.
    }
}

}  // namespace

int Win32Timers::startOnce(int milliseconds, std::function<void()> action) {
    UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &runOnce);
    if (id == 0) {
        throw RuntimeError(err::OutOfMemory);
    }
    onceActions()[id] = std::move(action);
    return static_cast<int>(id);
}

void Win32Timers::cancel(int id) {
    auto& actions = onceActions();
    auto found = actions.find(static_cast<UINT_PTR>(id));
    if (found != actions.end()) {
        KillTimer(nullptr, found->first);
        actions.erase(found);
    }
}

}  // namespace tivora::win32
