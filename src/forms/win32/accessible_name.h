// A name of ours for an input without a caption or label, as screen readers hear it: given through
// the system's accessibility property service (MSAA and UI Automation both honour it), or where that
// is missing or refuses, by the system's own accessible object wrapped with the name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tivora::win32 {

struct AccessibleFacts {
    std::wstring name;      // empty: the system's name
    bool readOnly = false;  // announced as read-only
    bool comboBox = false;  // announced as a combo box with its text as value, where the system's
                            // object knows the control only as a window (Wine's does)
};

// The system's accessibility property service, as the window layer uses it.
class AccessibleProperties {
public:
    virtual ~AccessibleProperties() = default;
    // Gives the control's own object the name, and the role of a combo box where the facts say
    // so; false when the service is missing or refuses any of it.
    virtual bool annotate(HWND control, const AccessibleFacts& facts) = 0;
    // Takes back what annotate gave, as the control's window goes.
    virtual void clear(HWND control) = 0;
};

// The system's own service (Dynamic Annotation), reached through COM when first needed.
AccessibleProperties& systemAccessibleProperties();

// The answer to WM_GETOBJECT for the control's client object (OBJID_CLIENT): the standard object
// with these facts; nothing for other objects or when the system's accessibility library is not
// there (the control then answers as it would on its own).
std::optional<LRESULT> namedAccessibleObject(HWND control, WPARAM wParam, LPARAM objectId,
                                             const AccessibleFacts& facts);

}  // namespace tivora::win32
