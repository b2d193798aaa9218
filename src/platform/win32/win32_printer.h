// The current printer on Windows: the installed printers from the spooler, the current one's
// settings block as its driver or the print dialog gave it, and a document on a printer device
// context made with that block, on which a picture's drawing is played at the printer's resolution.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace tivora::win32 {

class Win32Printer : public platform::Printer {
public:
    ~Win32Printer() override;

    std::vector<std::string> installedPrinters() override;
    void makeCurrent(const std::string& device) override;
    std::string DeviceName() override;
    std::string DriverName() override;
    std::string Port() override;
    std::vector<std::uint8_t> settings() override;
    void useSettings(const std::vector<std::uint8_t>& block) override;
    void setCopies(int copies, bool collate) override;
    int DeviceCopies() override;
    bool DeviceCollates() override;
    bool DeviceTwoSided() override;
    void setOutputFile(const std::string& path) override;
    void setScaleModePixels() override {}
    double ScaleHeight() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    bool beginDocument() override;
    void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1, int x2,
                      int y2, int width2, int height2) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;

private:
    struct Installed {
        std::wstring device, driver, port;
    };
    // The installed printers' names, asking no print server.
    std::vector<std::wstring> list();
    Installed describe(std::wstring device);
    Installed& current();
    // The settings block as a DEVMODEW, its public fields all readable (zeros after a short one).
    DEVMODEW& devMode();
    // The driver's block for the current printer: its own, or the one asked merged into it
    // (DocumentPropertiesW: DM_IN_BUFFER, DM_OUT_BUFFER).
    std::vector<BYTE> fromDriver(const DEVMODEW* asked);
    // A device capability of the current printer with its settings.
    int capability(int index);

    std::optional<Installed> current_;
    std::vector<BYTE> devMode_;
    std::wstring output_;  // the file the next document goes to; empty: the printer
    HDC document_ = nullptr;
};

}  // namespace tivora::win32
