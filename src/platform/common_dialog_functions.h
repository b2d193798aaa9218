// comdlg32's print, open-file and save-file dialogs, the records they take and give back, and a
// search for files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/records.h"

namespace tivora::platform {

// The fields of PRINTDLG the program fills and reads; the others are zero.
struct PrintDialogRecord {
    std::uint32_t lStructSize = 0;
    std::uintptr_t hwndOwner = 0;
    std::uintptr_t hDevMode = 0;
    std::uintptr_t hDevNames = 0;
    std::uint32_t Flags = 0;
    std::uint16_t nFromPage = 0;
    std::uint16_t nToPage = 0;
    std::uint16_t nMinPage = 0;
    std::uint16_t nMaxPage = 0;
    std::uint16_t nCopies = 0;
};

// PRINTDLG's flags that the program gives or reads.
inline constexpr std::uint32_t PD_SELECTION = 0x1;
inline constexpr std::uint32_t PD_PAGENUMS = 0x2;
inline constexpr std::uint32_t PD_NOSELECTION = 0x4;
inline constexpr std::uint32_t PD_COLLATE = 0x10;
inline constexpr std::uint32_t PD_PRINTTOFILE = 0x20;
inline constexpr std::uint32_t PD_USEDEVMODECOPIESANDCOLLATE = 0x40000;

// The save dialog's question and answer, texts in UTF-8: its title, filter pairs separated by NULs,
// the extension a bare name gets, and the whole path chosen.
struct SaveFileRecord {
    std::uintptr_t hwndOwner = 0;
    std::string title;
    std::string filter;
    std::string defaultExtension;
    std::string file;
};

// The fields of OPENFILENAME the program fills and reads, texts the program's own (UTF-8, to the
// system as UTF-16, so that a path in any letters comes through whole); the file buffer is
// handed over as it is and comes back with the dialog's answer.
struct OpenFileRecord {
    std::uint32_t lStructSize = 0;
    std::uintptr_t hwndOwner = 0;
    std::uintptr_t hInstance = 0;
    std::string lpstrFilter;  // pairs separated by NULs, ended by two NULs
    std::string lpstrFile;    // the file-name buffer
    std::uint32_t nMaxFile = 0;
    std::optional<std::string> lpstrInitialDir;
    std::optional<std::string> lpstrTitle;
    std::uint32_t Flags = 0;
};

class CommonDialogFunctions {
public:
    virtual ~CommonDialogFunctions() = default;
    virtual std::uint32_t printDialogRecordSize() = 0;  // 66 bytes in a 32-bit program
    virtual bool PrintDlgW(PrintDialogRecord& record) = 0;
    virtual std::uint32_t openFileRecordSize() = 0;  // 76 bytes in a 32-bit program
    virtual bool GetOpenFileNameW(OpenFileRecord& record) = 0;
    // Asks where a file goes (an existing one is replaced only when the user says so); false when
    // the dialog was closed without a name.
    virtual bool GetSaveFileNameW(SaveFileRecord& record) = 0;
    // Why the last of these dialogs answered false: 0 when the user cancelled or closed it, else
    // the dialog's error (it failed).
    virtual std::uint32_t CommDlgExtendedError() = 0;
    // The bare names of the ordinary files (not hidden, not system, not folders) that a path
    // or pattern names, as a directory search finds them.
    virtual std::vector<std::string> findFiles(const std::string& pattern) = 0;
};

}  // namespace tivora::platform
