// The program's dialog records copied into PRINTDLGW and OPENFILENAMEW and back (checked against
// the system's declarations at compile time), the save dialog, and FindFirstFileW for the files of
// a pattern.
#include "platform/win32/common_dialogs.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <cstddef>

#include <algorithm>

#include "platform/win32/late_binding.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

// The records as the program hands them to the dialogs, checked against the system's own
// declarations: the field offsets everywhere, the record sizes where the program is 32-bit.
namespace records = platform::records;
static_assert(offsetof(DEVMODEW, dmSize) == records::dmSize &&
              offsetof(DEVMODEW, dmDriverExtra) == records::dmDriverExtra &&
              offsetof(DEVMODEW, dmFields) == records::dmFields &&
              offsetof(DEVMODEW, dmOrientation) == records::dmOrientation &&
              offsetof(DEVMODEW, dmPaperSize) == records::dmPaperSize &&
              offsetof(DEVMODEW, dmCopies) == records::dmCopies &&
              offsetof(DEVMODEW, dmDuplex) == records::dmDuplex &&
              offsetof(DEVMODEW, dmCollate) == records::dmCollate &&
              offsetof(DEVMODEW, dmFormName) == records::dmFormName &&
              sizeof(DEVMODEW::dmDeviceName) == records::dmDeviceNameCharacters * sizeof(WCHAR) &&
              sizeof(DEVMODEW) == records::devModePublicBytes);
static_assert(records::fieldOrientation == DM_ORIENTATION && records::fieldPaperSize == DM_PAPERSIZE &&
              records::fieldCopies == DM_COPIES && records::fieldDuplex == DM_DUPLEX &&
              records::fieldCollate == DM_COLLATE && records::fieldFormName == DM_FORMNAME &&
              records::simplex == DMDUP_SIMPLEX && records::duplexVertical == DMDUP_VERTICAL &&
              records::duplexHorizontal == DMDUP_HORIZONTAL);
static_assert(sizeof(DEVNAMES) == records::devNamesHeaderBytes);
#if !defined(_WIN64)
static_assert(sizeof(PRINTDLGW) == records::printDialogBytes);
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName) ==
              records::openFileBytes);
#endif

std::uint32_t Win32CommonDialogs::printDialogRecordSize() { return sizeof(PRINTDLGW); }

bool Win32CommonDialogs::PrintDlgW(platform::PrintDialogRecord& record) {
    PRINTDLGW dialog{};
    dialog.lStructSize = record.lStructSize;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.hDevMode = reinterpret_cast<HGLOBAL>(record.hDevMode);
    dialog.hDevNames = reinterpret_cast<HGLOBAL>(record.hDevNames);
    dialog.Flags = record.Flags;
    dialog.nFromPage = record.nFromPage;
    dialog.nToPage = record.nToPage;
    dialog.nMinPage = record.nMinPage;
    dialog.nMaxPage = record.nMaxPage;
    dialog.nCopies = record.nCopies;
    auto printDlg = lateBound<BOOL(WINAPI*)(LPPRINTDLGW)>(L"comdlg32.dll", "PrintDlgW");
    BOOL confirmed = printDlg ? printDlg(&dialog) : FALSE;
    // The dialog may hand back other blocks than it got.
    record.hDevMode = reinterpret_cast<std::uintptr_t>(dialog.hDevMode);
    record.hDevNames = reinterpret_cast<std::uintptr_t>(dialog.hDevNames);
    record.Flags = dialog.Flags;
    record.nFromPage = dialog.nFromPage;
    record.nToPage = dialog.nToPage;
    record.nCopies = dialog.nCopies;
    return confirmed != FALSE;
}

std::uint32_t Win32CommonDialogs::openFileRecordSize() { return OPENFILENAME_SIZE_VERSION_400W; }

bool Win32CommonDialogs::GetOpenFileNameW(platform::OpenFileRecord& record) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = record.lStructSize;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
    std::wstring filter = widen(record.lpstrFilter);  // its NULs kept
    dialog.lpstrFilter = filter.c_str();
    std::wstring given = widen(record.lpstrFile);
    std::vector<wchar_t> file(std::max<std::size_t>(record.nMaxFile, given.size() + 1), L'\0');
    std::copy(given.begin(), given.end(), file.begin());
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = record.nMaxFile;
    std::wstring folder = record.lpstrInitialDir ? widen(*record.lpstrInitialDir) : L"";
    std::wstring title = record.lpstrTitle ? widen(*record.lpstrTitle) : L"";
    dialog.lpstrInitialDir = record.lpstrInitialDir ? folder.c_str() : nullptr;
    dialog.lpstrTitle = record.lpstrTitle ? title.c_str() : nullptr;
    dialog.Flags = record.Flags;
    auto getOpenFileName = lateBound<BOOL(WINAPI*)(LPOPENFILENAMEW)>(L"comdlg32.dll", "GetOpenFileNameW");
    BOOL chosen = getOpenFileName ? getOpenFileName(&dialog) : FALSE;
    // The buffer as long as it was handed over, the dialog's answer and its NUL within it.
    record.lpstrFile = narrow(std::wstring_view(file.data(), given.size()));
    return chosen != FALSE;
}

bool Win32CommonDialogs::GetSaveFileNameW(platform::SaveFileRecord& record) {
    std::wstring filter = widen(record.filter) + L'\0';
    std::wstring extension = widen(record.defaultExtension);
    std::wstring title = widen(record.title);
    std::vector<wchar_t> file(32768, L'\0');  // room for a long path
    std::wstring given = widen(record.file);
    std::copy(given.begin(), given.begin() + std::min(given.size(), file.size() - 1), file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    auto getSaveFileName = lateBound<BOOL(WINAPI*)(LPOPENFILENAMEW)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!getSaveFileName || !getSaveFileName(&dialog)) {
        return false;
    }
    record.file = narrow(file.data());
    return true;
}

std::uint32_t Win32CommonDialogs::CommDlgExtendedError() {
    // Without comdlg32 no dialog was shown: that is a failure, not a cancel.
    auto extendedError = lateBound<DWORD(WINAPI*)()>(L"comdlg32.dll", "CommDlgExtendedError");
    return extendedError ? extendedError() : CDERR_DIALOGFAILURE;
}

std::vector<std::string> Win32CommonDialogs::findFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!(found.dwFileAttributes & skipped)) {
            names.push_back(narrow(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace tivora::win32
