// The current printer on Windows: the installed printers from the spooler, the current one's
// settings in a DEVMODE of our own, and a document on a printer device context, on which a
// picture's drawing is played again at the printer's own resolution.
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
    void setCollate(int value) override;
    int DeviceCopies() override;
    void setOutputFile(const std::string& path) override;
    void setPrintQuality(int value) override;
    void setColorMode(int value) override;
    void setPaperBin(int value) override;
    void setScaleModePixels() override {}
    double ScaleHeight() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1, int x2,
                      int y2, int width2, int height2) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;

private:
    struct Installed {
        std::wstring device, driver, port;
    };
    std::vector<Installed> list();
    Installed& current();
    DEVMODEW& settings();
    void set(DWORD field, short DEVMODEW::*member, int value);
    // The document's device context, the document begun on first use.
    HDC document();
    // A device capability of the current printer with its settings.
    int capability(int index);

    std::optional<Installed> current_;
    std::vector<BYTE> devMode_;
    std::wstring output_;  // the file the next document goes to; empty: the printer
    HDC document_ = nullptr;
};

}  // namespace tivora::win32
