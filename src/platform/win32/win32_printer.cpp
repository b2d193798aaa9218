// The printer as the spooler shows it (the one chosen in the print dialog stays current for the
// rest of the run, with the settings block the dialog handed back), and a document on its device
// context made with that block, or to a file.
#include "platform/win32/win32_printer.h"

#include <winspool.h>

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "platform/win32/late_binding.h"
#include "platform/win32/picture_image.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

namespace {

// The spooler's functions, bound at first use (see late_binding.h).
constexpr wchar_t spooler[] = L"winspool.drv";

BOOL enumPrinters(DWORD flags, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    auto f = lateBound<BOOL(WINAPI*)(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD)>(spooler,
                                                                                             "EnumPrintersW");
    return f ? f(flags, nullptr, level, buffer, size, needed, count) : FALSE;
}

BOOL defaultPrinter(wchar_t* name, DWORD* size) {
    auto f = lateBound<BOOL(WINAPI*)(LPWSTR, LPDWORD)>(spooler, "GetDefaultPrinterW");
    return f ? f(name, size) : FALSE;
}

BOOL openPrinter(wchar_t* name, HANDLE* handle) {
    auto f = lateBound<BOOL(WINAPI*)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW)>(spooler, "OpenPrinterW");
    return f ? f(name, handle, nullptr) : FALSE;
}

LONG documentProperties(HANDLE printer, wchar_t* name, DEVMODEW* out, DEVMODEW* in, DWORD mode) {
    auto f = lateBound<LONG(WINAPI*)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW, DWORD)>(
        spooler, "DocumentPropertiesW");
    return f ? f(nullptr, printer, name, out, in, mode) : -1;
}

int deviceCapabilities(const wchar_t* device, const wchar_t* port, WORD capability, const DEVMODEW* mode) {
    auto f = lateBound<int(WINAPI*)(LPCWSTR, LPCWSTR, WORD, LPWSTR, const DEVMODEW*)>(spooler,
                                                                                      "DeviceCapabilitiesW");
    return f ? f(device, port, capability, nullptr, mode) : -1;
}

void closePrinter(HANDLE printer) {
    if (auto f = lateBound<BOOL(WINAPI*)(HANDLE)>(spooler, "ClosePrinter")) {
        f(printer);
    }
}

}  // namespace

Win32Printer::~Win32Printer() { KillDoc(); }

std::vector<Win32Printer::Installed> Win32Printer::list() {
    DWORD needed = 0;
    DWORD count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    enumPrinters(flags, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    std::vector<Installed> printers;
    if (needed == 0 || !enumPrinters(flags, 2, buffer.data(), needed, &needed, &count)) {
        return printers;
    }
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back({info[i].pPrinterName ? info[i].pPrinterName : L"",
                            info[i].pDriverName ? info[i].pDriverName : L"",
                            info[i].pPortName ? info[i].pPortName : L""});
    }
    return printers;
}

std::vector<std::string> Win32Printer::installedPrinters() {
    std::vector<std::string> names;
    for (const auto& printer : list()) {
        names.push_back(narrow(printer.device));
    }
    return names;
}

void Win32Printer::makeCurrent(std::size_t index) {
    std::vector<Installed> printers = list();
    if (index >= printers.size()) {
        throw RuntimeError(err::PrinterError);
    }
    current_ = printers[index];
    devMode_.clear();
}

Win32Printer::Installed& Win32Printer::current() {
    if (!current_) {
        // At first the system's default printer, or the first installed one.
        std::vector<Installed> printers = list();
        wchar_t name[512];
        DWORD size = 512;
        std::wstring preferred = defaultPrinter(name, &size) ? name : L"";
        for (const auto& printer : printers) {
            if (printer.device == preferred) {
                current_ = printer;
            }
        }
        if (!current_ && !printers.empty()) {
            current_ = printers.front();
        }
        if (!current_) {
            throw RuntimeError(err::PrinterError);  // no printer installed
        }
    }
    return *current_;
}

std::vector<BYTE> Win32Printer::fromDriver(const DEVMODEW* asked) {
    Installed& printer = current();
    HANDLE handle = nullptr;
    if (!openPrinter(printer.device.data(), &handle)) {
        throw RuntimeError(err::PrinterError);
    }
    LONG size = documentProperties(handle, printer.device.data(), nullptr, nullptr, 0);
    if (size <= 0) {
        // Without the driver's size, the second call could write past any buffer guessed.
        closePrinter(handle);
        throw RuntimeError(err::PrinterError);
    }
    std::vector<BYTE> block(std::max<std::size_t>(static_cast<std::size_t>(size), sizeof(DEVMODEW)), 0);
    LONG result = documentProperties(handle, printer.device.data(), reinterpret_cast<DEVMODEW*>(block.data()),
                                     const_cast<DEVMODEW*>(asked),
                                     asked ? DM_IN_BUFFER | DM_OUT_BUFFER : DM_OUT_BUFFER);
    closePrinter(handle);
    if (result < 0) {
        throw RuntimeError(err::PrinterError);  // refused: the settings stay as they were
    }
    return block;
}

DEVMODEW& Win32Printer::devMode() {
    if (devMode_.empty()) {
        devMode_ = fromDriver(nullptr);
    }
    return *reinterpret_cast<DEVMODEW*>(devMode_.data());
}

std::vector<std::uint8_t> Win32Printer::settings() {
    const DEVMODEW& mode = devMode();
    const std::size_t whole = std::min<std::size_t>(devMode_.size(), mode.dmSize + mode.dmDriverExtra);
    return std::vector<std::uint8_t>(devMode_.begin(), devMode_.begin() + whole);
}

void Win32Printer::useSettings(const std::vector<std::uint8_t>& block, bool ofCurrent) {
    std::vector<BYTE> given(block.begin(), block.end());
    given.resize(std::max(given.size(), sizeof(DEVMODEW)), 0);
    auto* mode = reinterpret_cast<DEVMODEW*>(given.data());
    if (block.size() < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) ||
        mode->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) ||
        std::size_t{mode->dmSize} + mode->dmDriverExtra > block.size()) {
        throw RuntimeError(err::PrinterError);  // not a whole settings block
    }
    // (dmDeviceName cannot tell: many drivers write their model's name there, not the printer's.)
    if (ofCurrent) {
        devMode_ = std::move(given);
        return;
    }
    // Another printer's block: its driver's private part means nothing to this one's driver,
    // which takes the public fields the block carries.
    std::fill(given.begin() + mode->dmSize, given.end(), 0);
    mode->dmDriverExtra = 0;
    devMode_ = fromDriver(mode);
}

void Win32Printer::setCopies(int copies, bool collate) {
    const DEVMODEW& mode = devMode();
    // A field the block carries lies within its public part, where dmSize says it ends.
    auto carries = [&](DWORD field, std::size_t offset) {
        return (mode.dmFields & field) && offset + sizeof(short) <= mode.dmSize;
    };
    std::vector<BYTE> asked = devMode_;
    auto* in = reinterpret_cast<DEVMODEW*>(asked.data());
    if (carries(DM_COPIES, offsetof(DEVMODEW, dmCopies))) {
        in->dmCopies = static_cast<short>(copies);
    } else if (copies != 1) {
        throw RuntimeError(err::PrinterError);  // the driver makes no copies
    }
    if (copies > 1 && carries(DM_COLLATE, offsetof(DEVMODEW, dmCollate))) {
        in->dmCollate = collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    }
    if (asked != devMode_) {
        // The driver brings its own part of the settings into agreement with the change.
        devMode_ = fromDriver(in);
    }
}

std::string Win32Printer::DeviceName() { return narrow(current().device); }
std::string Win32Printer::DriverName() { return narrow(current().driver); }
std::string Win32Printer::Port() { return narrow(current().port); }
void Win32Printer::setOutputFile(const std::string& path) { output_ = widen(path); }

int Win32Printer::DeviceCopies() {
    Installed& printer = current();
    return std::max(1,
                    deviceCapabilities(printer.device.c_str(), printer.port.c_str(), DC_COPIES, &devMode()));
}

bool Win32Printer::DeviceCollates() {
    Installed& printer = current();
    return deviceCapabilities(printer.device.c_str(), printer.port.c_str(), DC_COLLATE, &devMode()) == 1;
}

bool Win32Printer::DeviceTwoSided() {
    Installed& printer = current();
    return deviceCapabilities(printer.device.c_str(), printer.port.c_str(), DC_DUPLEX, &devMode()) == 1;
}

int Win32Printer::capability(int index) {
    if (document_) {
        return GetDeviceCaps(document_, index);
    }
    HDC info = CreateICW(nullptr, current().device.c_str(), nullptr, &devMode());
    if (!info) {
        throw RuntimeError(err::PrinterError);
    }
    int value = GetDeviceCaps(info, index);
    DeleteDC(info);
    return value;
}

double Win32Printer::ScaleHeight() { return capability(VERTRES); }

double Win32Printer::TwipsPerPixelX() {
    int dpi = capability(LOGPIXELSX);
    if (dpi <= 0) {
        throw RuntimeError(err::PrinterError);
    }
    return 1440.0 / dpi;
}

double Win32Printer::TwipsPerPixelY() {
    int dpi = capability(LOGPIXELSY);
    if (dpi <= 0) {
        throw RuntimeError(err::PrinterError);
    }
    return 1440.0 / dpi;
}

bool Win32Printer::beginDocument() {
    if (document_) {
        return true;
    }
    HDC dc = CreateDCW(nullptr, current().device.c_str(), nullptr, &devMode());
    if (!dc) {
        throw RuntimeError(err::PrinterError);
    }
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = L"Tivora!!!";
    info.lpszOutput = output_.empty() ? nullptr : output_.c_str();
    SetLastError(ERROR_SUCCESS);  // a failure need not set one, and an earlier one is no cancel
    if (StartDocW(dc, &info) <= 0) {
        const DWORD error = GetLastError();
        DeleteDC(dc);
        if (error == ERROR_CANCELLED) {
            return false;  // the user cancelled the driver's question for a file name
        }
        throw RuntimeError(err::PrinterError);
    }
    document_ = dc;
    if (StartPage(dc) <= 0) {
        throw RuntimeError(err::PrinterError);  // the caller abandons the document
    }
    return true;
}

void Win32Printer::PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1,
                                int x2, int y2, int width2, int height2) {
    if (!document_) {
        throw RuntimeError(err::PrinterError);  // no document begun
    }
    // A picture not made (no surface, nothing recorded) would print a blank page as done.
    const auto* picture = reinterpret_cast<const PictureImage*>(image);
    if (!picture || picture->layers.empty() ||
        !playPicture(document_, *picture, x1, y1, width1, height1, x2, y2, width2, height2)) {
        throw RuntimeError(err::PrinterError);  // no picture, or the driver refused the page's text
    }
}

void Win32Printer::NewPage() {
    if (!document_ || EndPage(document_) <= 0 || StartPage(document_) <= 0) {
        throw RuntimeError(err::PrinterError);  // the driver refused the page
    }
}

void Win32Printer::EndDoc() {
    if (document_) {
        if (EndPage(document_) <= 0 || ::EndDoc(document_) <= 0) {
            throw RuntimeError(err::PrinterError);  // the caller abandons the document
        }
        DeleteDC(document_);
        document_ = nullptr;
    }
}

void Win32Printer::KillDoc() {
    if (document_) {
        AbortDoc(document_);
        DeleteDC(document_);
        document_ = nullptr;
    }
}

}  // namespace tivora::win32
