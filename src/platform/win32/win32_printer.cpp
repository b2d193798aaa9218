// The printer as the spooler shows it (the one chosen in the print dialog stays current for the
// rest of the run, with the settings block the dialog handed back), and a document on its device
// context made with that block, or to a file.
#include "platform/win32/win32_printer.h"

#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <optional>

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

BOOL getPrinter(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
    auto f = lateBound<BOOL(WINAPI*)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD)>(spooler, "GetPrinterW");
    return f ? f(printer, level, buffer, size, needed) : FALSE;
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

// A spooler answer whose length may change between the sizing call and the reading one: asked
// again at the size it then needs.
template <class Call>
std::optional<std::vector<BYTE>> answer(Call call) {
    std::vector<BYTE> buffer;
    DWORD needed = 0;
    for (int tries = 0; tries < 4; ++tries) {
        buffer.resize(needed);
        if (call(buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) {
            break;
        }
    }
    return std::nullopt;
}

}  // namespace

Win32Printer::~Win32Printer() { KillDoc(); }

// Level 4 reads the names the system keeps; level 2 would ask every print server, waiting on
// each one that is out of reach.
std::vector<std::wstring> Win32Printer::list() {
    DWORD count = 0;
    auto buffer = answer([&](BYTE* at, DWORD size, DWORD* needed) {
        return enumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 4, at, size, needed, &count);
    });
    std::vector<std::wstring> names;
    for (DWORD i = 0; buffer && i < count; ++i) {
        const wchar_t* name = reinterpret_cast<PRINTER_INFO_4W*>(buffer->data())[i].pPrinterName;
        names.push_back(name ? name : L"");
    }
    return names;
}

// The driver and port of the one printer made current, from its own server (the print needs it
// anyway); one that will not open fails the print here, before anything else waits on it.
Win32Printer::Installed Win32Printer::describe(std::wstring device) {
    HANDLE handle = nullptr;
    if (!openPrinter(device.data(), &handle)) {
        throw RuntimeError(err::PrinterError);
    }
    auto buffer =
        answer([&](BYTE* at, DWORD size, DWORD* needed) { return getPrinter(handle, 2, at, size, needed); });
    closePrinter(handle);
    // Without them the names block lacks the driver, and the driver's questions the port; GDI makes
    // a printer's DC from the device name alone.
    const auto* info = buffer && buffer->size() >= sizeof(PRINTER_INFO_2W)
                           ? reinterpret_cast<PRINTER_INFO_2W*>(buffer->data())
                           : nullptr;
    return {device, info && info->pDriverName ? info->pDriverName : L"",
            info && info->pPortName ? info->pPortName : L""};
}

std::vector<std::string> Win32Printer::installedPrinters() {
    std::vector<std::string> names;
    for (const auto& name : list()) {
        names.push_back(narrow(name));
    }
    return names;
}

void Win32Printer::makeCurrent(const std::string& device) {
    current_ = describe(widen(device));
    devMode_.clear();
}

Win32Printer::Installed& Win32Printer::current() {
    if (!current_) {
        // At first the system's default printer, or the first installed one.
        std::vector<std::wstring> printers = list();
        wchar_t name[512];
        DWORD size = 512;
        std::wstring preferred = defaultPrinter(name, &size) ? name : L"";
        if (printers.empty()) {
            throw RuntimeError(err::PrinterError);  // no printer installed
        }
        bool installed = std::find(printers.begin(), printers.end(), preferred) != printers.end();
        current_ = describe(installed ? preferred : printers.front());
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

void Win32Printer::useSettings(const std::vector<std::uint8_t>& block) {
    std::vector<BYTE> given(block.begin(), block.end());
    given.resize(std::max(given.size(), sizeof(DEVMODEW)), 0);
    auto* mode = reinterpret_cast<DEVMODEW*>(given.data());
    if (block.size() < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) ||
        mode->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) ||
        std::size_t{mode->dmSize} + mode->dmDriverExtra > block.size()) {
        throw RuntimeError(err::PrinterError);  // not a whole settings block
    }
    devMode_ = std::move(given);
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
