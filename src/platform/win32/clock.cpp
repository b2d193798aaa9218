// The local time (GetLocalTime), the sleep time from the tick count and the interrupt time, and
// the pause (Sleep) and tick count (GetTickCount) of a wait.
#include "platform/win32/clock.h"

#include <windows.h>

namespace tivora::win32 {

DateTime Win32Clock::now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// The tick count goes on while the machine sleeps, the unbiased interrupt time (in 100 ns) does
// not: their difference is the time asleep, to the tick count's resolution (10 to 16 ms).
std::int64_t Win32Clock::sleptMilliseconds() {
    ULONGLONG awake = 0;
    QueryUnbiasedInterruptTime(&awake);
    return static_cast<std::int64_t>(GetTickCount64()) - static_cast<std::int64_t>(awake / 10000);
}

void Win32Clock::pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

std::uint32_t Win32Clock::tickCount() { return GetTickCount(); }

}  // namespace tivora::win32
