// Printing and the common dialogs: kernel32's movable global memory (the print dialog takes its
// records in it), comdlg32's print, open-file and save-file dialogs with a search for files, and
// the current printer with the installed ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tivora::platform {

class GlobalMemory {
public:
    virtual ~GlobalMemory() = default;
    virtual std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) = 0;
    virtual void* GlobalLock(std::uintptr_t block) = 0;
    virtual bool GlobalUnlock(std::uintptr_t block) = 0;
    virtual std::uintptr_t GlobalFree(std::uintptr_t block) = 0;
    virtual std::size_t GlobalSize(std::uintptr_t block) = 0;  // 0 for a block that is not there
    // kernel32's RtlMoveMemory (a macro in some headers, hence the name).
    virtual void moveMemory(void* destination, const void* source, std::size_t length) = 0;
};

inline constexpr std::uint32_t globalMoveable = 0x2;   // GMEM_MOVEABLE
inline constexpr std::uint32_t globalZeroInit = 0x40;  // GMEM_ZEROINIT

// The records as a 32-bit program hands them to the dialogs, checked in platform/win32 against the
// system's declarations (the offsets always, the sizes when 32-bit). The print dialog is the wide
// one (PrintDlgW), so printer names come back whole whatever the system's code page.
namespace records {
inline constexpr std::uint32_t printDialogBytes = 66;  // PRINTDLGW
inline constexpr std::uint32_t openFileBytes = 76;     // OPENFILENAMEA as Windows 95 and NT 4 know it
// The settings block: DEVMODEW from its start, far enough to hold the form name; the dialog
// reads as much of it as dmSize says.
inline constexpr std::size_t devModeBytes = 186;
// The printer-name block: DEVNAMES's four offsets (counted in UTF-16 units from the block's
// start), then the driver, device and port names in UTF-16, each ended by a NUL.
inline constexpr std::size_t devNamesHeaderBytes = 8;

// Where DEVMODEW keeps the fields the program fills and reads.
enum DevModeOffset : std::size_t {
    dmDeviceName = 0,
    dmDeviceNameCharacters = 32,  // UTF-16 units, the ending NUL among them
    dmSize = 68,
    dmFields = 72,
    dmOrientation = 76,
    dmPaperSize = 78,
    dmPaperWidth = 82,
    dmCopies = 86,
    dmDefaultSource = 88,
    dmPrintQuality = 90,
    dmColor = 92,
    dmDuplex = 94,
    dmCollate = 100,
};
}  // namespace records

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
    // The bare names of the ordinary files (not hidden, not system, not folders) that a path
    // or pattern names, as a directory search finds them.
    virtual std::vector<std::string> findFiles(const std::string& pattern) = 0;
};

// The program's current printer (at first the system's default one), its settings, and the
// document being printed on it. Texts are the program's own (UTF-8). A printer that cannot be
// reached, a setting it refuses, or a page it does not take is a printer failure (482).
class Printer {
public:
    virtual ~Printer() = default;
    // The installed printers' device names, in the system's order.
    virtual std::vector<std::string> installedPrinters() = 0;
    virtual void makeCurrent(std::size_t index) = 0;

    virtual std::string DeviceName() = 0;
    virtual std::string DriverName() = 0;
    virtual std::string Port() = 0;
    virtual int Orientation() = 0;
    virtual void setOrientation(int value) = 0;
    virtual int PaperSize() = 0;
    virtual void setPaperSize(int value) = 0;
    virtual double Width() = 0;  // the page width in twips
    virtual int Duplex() = 0;
    virtual void setDuplex(int value) = 0;
    virtual void setCopies(int value) = 0;
    virtual void setCollate(int value) = 0;
    // The most copies the driver makes of a document itself (DeviceCapabilities DC_COPIES); 1
    // when it makes none.
    virtual int DeviceCopies() = 0;
    virtual void setPrintQuality(int value) = 0;
    virtual void setColorMode(int value) = 0;
    virtual void setPaperBin(int value) = 0;

    // The documents begun from now on go to this file instead of the printer; "" to the printer.
    virtual void setOutputFile(const std::string& path) = 0;

    virtual void setScaleModePixels() = 0;
    // The height of a page's printable area in the printer's pixels, and the size of one of them.
    virtual double ScaleHeight() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
    // Paints the part of a picture (its image handle) from pixel (x2, y2), width2 x height2 pixels,
    // onto the page's rectangle (x1, y1, width1, height1) in printer pixels from the printable
    // area's corner, at the printer's own resolution. The first paint begins the document.
    virtual void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1,
                              int x2, int y2, int width2, int height2) = 0;
    virtual void NewPage() = 0;
    // Ends the document: it goes to the printer.
    virtual void EndDoc() = 0;
    // Abandons the document begun, if any: none of it is printed, and the next paint begins a new
    // one on the printer current then. Never fails.
    virtual void KillDoc() = 0;
};

}  // namespace tivora::platform
