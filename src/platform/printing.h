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
// The settings block: DEVMODEW's public part (dmSize bytes), then the driver's private part
// (dmDriverExtra bytes), as long as the driver makes it.
inline constexpr std::size_t devModePublicBytes = 220;  // DEVMODEW as Windows 2000 and later declare it
// The printer-name block: DEVNAMES's four offsets (counted in UTF-16 units from the block's
// start), then the driver, device and port names in UTF-16, each ended by a NUL.
inline constexpr std::size_t devNamesHeaderBytes = 8;

// Where DEVMODEW keeps the fields the program and its tests read, and their flags in dmFields.
enum DevModeOffset : std::size_t {
    dmDeviceName = 0,
    dmDeviceNameCharacters = 32,  // UTF-16 units, the ending NUL among them
    dmSize = 68,
    dmDriverExtra = 70,
    dmFields = 72,
    dmOrientation = 76,
    dmPaperSize = 78,
    dmCopies = 86,
    dmDuplex = 94,
    dmCollate = 100,
    dmFormName = 102,
};
// (wingdi.h has the Windows names as macros: DM_COPIES, DMDUP_SIMPLEX ...)
inline constexpr std::uint32_t fieldOrientation = 0x1;
inline constexpr std::uint32_t fieldPaperSize = 0x2;
inline constexpr std::uint32_t fieldCopies = 0x100;
inline constexpr std::uint32_t fieldDuplex = 0x1000;
inline constexpr std::uint32_t fieldCollate = 0x8000;
inline constexpr std::uint32_t fieldFormName = 0x10000;
inline constexpr int simplex = 1;  // dmDuplex of one-sided printing, then the two ways of two-sided
inline constexpr int duplexVertical = 2;
inline constexpr int duplexHorizontal = 3;
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
    // With its driver's own settings until the print dialog gives it others.
    virtual void makeCurrent(std::size_t index) = 0;

    virtual std::string DeviceName() = 0;
    virtual std::string DriverName() = 0;
    virtual std::string Port() = 0;
    // The current printer's settings block whole, public and private part: as its driver gives it,
    // or as the print dialog handed it back (useSettings).
    virtual std::vector<std::uint8_t> settings() = 0;
    // The block the print dialog handed back, kept whole when it was made for the current printer
    // (ofCurrent): the documents are made with it. Another printer's gives its public fields only.
    virtual void useSettings(const std::vector<std::uint8_t>& block, bool ofCurrent) = 0;
    // The copies the driver makes of a document (collated or not, of more than one), changed in the
    // block through the driver; a field the block does not carry in dmFields is never pushed, and
    // more than one copy asked of a block without DM_COPIES is a printer failure.
    virtual void setCopies(int copies, bool collate) = 0;
    // The most copies the driver makes of a document itself (DeviceCapabilities DC_COPIES); 1
    // when it makes none.
    virtual int DeviceCopies() = 0;
    // Whether the driver collates the copies it makes, and prints on both sides of the paper
    // (DeviceCapabilities DC_COLLATE, DC_DUPLEX): a field a block carries promises neither.
    virtual bool DeviceCollates() = 0;
    virtual bool DeviceTwoSided() = 0;

    // The documents begun from now on go to this file instead of the printer; "" to the printer.
    virtual void setOutputFile(const std::string& path) = 0;

    virtual void setScaleModePixels() = 0;
    // The height of a page's printable area in the printer's pixels, and the size of one of them.
    virtual double ScaleHeight() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
    // Begins a document, on its first page, made with the settings block. False when the user
    // cancelled a question the driver asked on the way (the file that a printer to PDF or XPS
    // writes): nothing is begun then.
    virtual bool beginDocument() = 0;
    // Paints the part of a picture (its image handle) from pixel (x2, y2), width2 x height2 pixels,
    // onto the page's rectangle (x1, y1, width1, height1) in printer pixels from the printable
    // area's corner, at the printer's own resolution.
    virtual void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1,
                              int x2, int y2, int width2, int height2) = 0;
    virtual void NewPage() = 0;
    // Ends the document begun, if any: it goes to the printer.
    virtual void EndDoc() = 0;
    // Abandons the document begun, if any: none of it is printed, and the next document is made
    // on the printer current then. Never fails.
    virtual void KillDoc() = 0;
};

}  // namespace tivora::platform
