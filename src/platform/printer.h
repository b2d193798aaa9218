// The printer: the installed ones, the current one's settings, and the document printed on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tivora::platform {

// The program's current printer (at first the system's default one), its settings, and the
// document being printed on it. Texts are the program's own (UTF-8). A printer that cannot be
// reached, a setting it refuses, or a page it does not take is a printer failure (482).
class Printer {
public:
    virtual ~Printer() = default;
    // The installed printers' device names, in the system's order.
    virtual std::vector<std::string> installedPrinters() = 0;
    // One of the installed printers, by its device name, with its driver's own settings until the
    // print dialog gives it others.
    virtual void makeCurrent(const std::string& device) = 0;

    virtual std::string DeviceName() = 0;
    virtual std::string DriverName() = 0;
    virtual std::string Port() = 0;
    // The current printer's settings block whole, public and private part: as its driver gives it,
    // or as the print dialog handed it back (useSettings).
    virtual std::vector<std::uint8_t> settings() = 0;
    // The block the print dialog handed back for the current printer, kept whole: the documents
    // are made with it.
    virtual void useSettings(const std::vector<std::uint8_t>& block) = 0;
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
