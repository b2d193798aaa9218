// What a screen reader hears about an input that has no caption or label of its own: the
// system's standard accessible object of the control, with a name of ours (and read-only where
// the keyboard cannot change the text either).
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

// The answer to WM_GETOBJECT for the control's client object (OBJID_CLIENT): the standard object
// with these facts; nothing for other objects or when the system's accessibility library is not
// there (the control then answers as it would on its own).
std::optional<LRESULT> namedAccessibleObject(HWND control, WPARAM wParam, LPARAM objectId,
                                             const AccessibleFacts& facts);

}  // namespace tivora::win32
