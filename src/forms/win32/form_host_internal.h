// What the files of the window layer share: the live windows, the window classes and small
// conversions between the model's values and the controls'.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/controls.h"
#include "platform/win32/program_copies.h"

namespace tivora::win32 {

class FormHost;

namespace detail {

inline constexpr wchar_t formClass[] = L"TivoraForm";

// Every program window alive, in the order they were made.
std::vector<FormHost*>& liveHosts();
void registerClasses(HINSTANCE instance);

std::wstring windowText(HWND hwnd);
COLORREF toColorref(forms::Color color);
// Character offsets of the model as UTF-16 offsets of the control, and back.
int utf16Offset(const std::string& text, int characters);
int characterOffset(const std::wstring& text, int utf16);
// A font of the model at a DPI (the caller deletes it).
HFONT createFont(const forms::Font& font, int dpi);
// The size of the frame of icon resource id that an icon of size pixels is made from: the
// smallest not smaller than size, else the largest; 0 when there is no such icon.
int iconFrame(HINSTANCE instance, int id, int size);
// An icon of size pixels made from that frame, shrunk where it is larger (the caller destroys it).
HICON loadIcon(HINSTANCE instance, int id, int size);
// Whether a high-contrast theme is on: the system's answer, or a test's.
bool systemHighContrast();
extern bool (*highContrast)();

}  // namespace detail
}  // namespace tivora::win32
