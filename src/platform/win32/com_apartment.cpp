// COM initialised at first need and uninitialised at the end of the run.
#include "platform/win32/com_apartment.h"

#include <objbase.h>

#include "platform/win32/late_binding.h"

namespace tivora::win32 {

namespace {

bool entered = false;

}  // namespace

bool enterComApartment() {
    if (entered) {
        return true;
    }
    auto coInitializeEx = lateBound<HRESULT(WINAPI*)(LPVOID, DWORD)>(L"ole32.dll", "CoInitializeEx");
    // S_FALSE (already initialised on this thread, by a dialog for instance) counts as well and
    // is balanced at the end like S_OK; a thread already in another apartment is left alone.
    if (!coInitializeEx) {
        return false;
    }
    HRESULT result = coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    entered = SUCCEEDED(result);
    // A thread already in the multithreaded apartment can use COM all the same.
    return entered || result == RPC_E_CHANGED_MODE;
}

void leaveComApartment() {
    if (!entered) {
        return;
    }
    entered = false;
    if (auto coUninitialize = lateBound<void(WINAPI*)()>(L"ole32.dll", "CoUninitialize")) {
        coUninitialize();
    }
}

}  // namespace tivora::win32
