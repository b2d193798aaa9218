// The current printer on Windows: the installed printers from the spooler, the current one's
// settings in a DEVMODE of our own, and a document on a printer device context.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/printing.h"

namespace tivora::win32 {

class Win32Printer : public platform::Printer {
public:
    ~Win32Printer() override;

    std::vector<std::string> installedPrinters() override;
    void makeCurrent(std::size_t index) override;
    std::string DeviceName() override;
    std::string DriverName() override;
    std::string Port() override;
    int Orientation() override;
    void setOrientation(int value) override;
    int PaperSize() override;
    void setPaperSize(int value) override;
    double Width() override;
    int Duplex() override;
    void setDuplex(int value) override;
    void setCopies(int value) override;
    void setPrintQuality(int value) override;
    void setColorMode(int value) override;
    void setPaperBin(int value) override;
    void setScaleModePixels() override {}
    void PaintPicture(std::uintptr_t image, int widthPixels, int heightPixels, double x, double y) override;
    void NewPage() override;
    void EndDoc() override;

private:
    struct Installed {
        std::wstring device, driver, port;
    };
    std::vector<Installed> list();
    Installed& current();
    DEVMODEW& settings();
    void set(DWORD field, short DEVMODEW::*member, int value);

    std::optional<Installed> current_;
    std::vector<BYTE> devMode_;
    HDC document_ = nullptr;
};

}  // namespace tivora::win32
