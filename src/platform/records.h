// The sizes and fields of the system's records that the program lays out itself: the dialogs'
// records, the printer's settings block and the printer-name block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tivora::platform {

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

}  // namespace tivora::platform
