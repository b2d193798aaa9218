// The printer as the spooler shows it (the one chosen in the print dialog stays current for the
// rest of the run, with the dialog's settings), and a document on its device context or to a file.
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

DEVMODEW& Win32Printer::settings() {
    if (devMode_.empty()) {
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
        size = std::max(size, static_cast<LONG>(sizeof(DEVMODEW)));
        devMode_.assign(static_cast<std::size_t>(size), 0);
        auto* mode = reinterpret_cast<DEVMODEW*>(devMode_.data());
        LONG result = documentProperties(handle, printer.device.data(), mode, nullptr, DM_OUT_BUFFER);
        closePrinter(handle);
        if (result < 0) {
            devMode_.clear();
            throw RuntimeError(err::PrinterError);
        }
    }
    return *reinterpret_cast<DEVMODEW*>(devMode_.data());
}

void Win32Printer::set(DWORD field, short DEVMODEW::*member, int value) {
    settings();
    // The driver keeps a part of the settings of its own behind the public fields: it takes the
    // change and gives the settings back whole, both parts in agreement.
    std::vector<BYTE> asked = devMode_;
    auto* in = reinterpret_cast<DEVMODEW*>(asked.data());
    in->*member = static_cast<short>(value);
    in->dmFields |= field;
    Installed& printer = current();
    HANDLE handle = nullptr;
    if (!openPrinter(printer.device.data(), &handle)) {
        throw RuntimeError(err::PrinterError);
    }
    std::vector<BYTE> merged(asked.size(), 0);
    LONG result =
        documentProperties(handle, printer.device.data(), reinterpret_cast<DEVMODEW*>(merged.data()), in,
                           DM_IN_BUFFER | DM_OUT_BUFFER);
    closePrinter(handle);
    if (result < 0) {
        throw RuntimeError(err::PrinterError);  // refused: the settings stay as they were
    }
    devMode_ = std::move(merged);
}

std::string Win32Printer::DeviceName() { return narrow(current().device); }
std::string Win32Printer::DriverName() { return narrow(current().driver); }
std::string Win32Printer::Port() { return narrow(current().port); }
int Win32Printer::Orientation() { return settings().dmOrientation; }
void Win32Printer::setOrientation(int value) { set(DM_ORIENTATION, &DEVMODEW::dmOrientation, value); }
int Win32Printer::PaperSize() { return settings().dmPaperSize; }
void Win32Printer::setPaperSize(int value) { set(DM_PAPERSIZE, &DEVMODEW::dmPaperSize, value); }
int Win32Printer::Duplex() { return settings().dmDuplex; }
void Win32Printer::setDuplex(int value) { set(DM_DUPLEX, &DEVMODEW::dmDuplex, value); }
void Win32Printer::setCopies(int value) { set(DM_COPIES, &DEVMODEW::dmCopies, value); }
void Win32Printer::setCollate(int value) { set(DM_COLLATE, &DEVMODEW::dmCollate, value); }
void Win32Printer::setOutputFile(const std::string& path) { output_ = widen(path); }

int Win32Printer::DeviceCopies() {
    Installed& printer = current();
    return std::max(1,
                    deviceCapabilities(printer.device.c_str(), printer.port.c_str(), DC_COPIES, &settings()));
}
void Win32Printer::setPrintQuality(int value) { set(DM_PRINTQUALITY, &DEVMODEW::dmPrintQuality, value); }
void Win32Printer::setColorMode(int value) { set(DM_COLOR, &DEVMODEW::dmColor, value); }
void Win32Printer::setPaperBin(int value) { set(DM_DEFAULTSOURCE, &DEVMODEW::dmDefaultSource, value); }

double Win32Printer::Width() {
    return std::round(1440.0 * capability(PHYSICALWIDTH) / std::max(1, capability(LOGPIXELSX)));
}

int Win32Printer::capability(int index) {
    if (document_) {
        return GetDeviceCaps(document_, index);
    }
    HDC info = CreateICW(nullptr, current().device.c_str(), nullptr, &settings());
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

HDC Win32Printer::document() {
    if (!document_) {
        HDC dc = CreateDCW(nullptr, current().device.c_str(), nullptr, &settings());
        if (!dc) {
            throw RuntimeError(err::PrinterError);
        }
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = L"Tivora!!!";
        info.lpszOutput = output_.empty() ? nullptr : output_.c_str();
        if (StartDocW(dc, &info) <= 0) {
            DeleteDC(dc);
            throw RuntimeError(err::PrinterError);
        }
        document_ = dc;
        if (StartPage(dc) <= 0) {
            throw RuntimeError(err::PrinterError);  // the caller abandons the document
        }
    }
    return document_;
}

void Win32Printer::PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1,
                                int x2, int y2, int width2, int height2) {
    HDC dc = document();
    const auto* picture = reinterpret_cast<const PictureImage*>(image);
    if (picture && !playPicture(dc, *picture, x1, y1, width1, height1, x2, y2, width2, height2)) {
        throw RuntimeError(err::PrinterError);  // the driver refused the page's text
    }
}

void Win32Printer::NewPage() {
    HDC dc = document();
    if (EndPage(dc) <= 0 || StartPage(dc) <= 0) {
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
