// A stand-in for the printer: installed printers, the current one's settings block (a driver's, with
// a private part), and the documents printed, each with the printer and block it was begun with, its
// pages holding the lines painted whole onto them. A test makes a step fail (482) at its nth time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "fakes/fake_transcript.h"
#include "fakes/fake_window_functions.h"
#include "platform/printer.h"
#include "platform/records.h"

namespace tivora::fakes {

// Little-endian fields of a settings block, and the device it names (its 31-character field).
inline int field16(const std::vector<std::uint8_t>& block, std::size_t at) {
    return static_cast<std::int16_t>(block.at(at) | (block.at(at + 1) << 8));
}
inline void put16(std::vector<std::uint8_t>& block, std::size_t at, int value) {
    block.at(at) = static_cast<std::uint8_t>(value & 0xFF);
    block.at(at + 1) = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline std::uint32_t fieldsOf(const std::vector<std::uint8_t>& block) {
    const std::size_t at = platform::records::dmFields;
    return static_cast<std::uint32_t>((field16(block, at) & 0xFFFF) |
                                      ((field16(block, at + 2) & 0xFFFF) << 16));
}
inline std::string deviceNamed(const std::vector<std::uint8_t>& block) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < platform::records::dmDeviceNameCharacters && field16(block, 2 * i); ++i) {
        name += static_cast<char16_t>(field16(block, 2 * i) & 0xFFFF);
    }
    return utf16ToUtf8(name);
}

class FakePrinter : public platform::Printer {
public:
    // The picture's lines are those the window functions drew into its surface.
    FakePrinter(Transcript& transcript, FakeWindowFunctions& windows)
        : transcript_(transcript), windows_(windows) {}

    struct InstalledPrinter {
        std::string device, driver, port;
    };
    std::vector<InstalledPrinter> printers{{"PDF", "CUPS-PDF", "CUPS:PDF"}};
    std::size_t current = 0;
    // What the drivers give as a printer's own settings block: the public fields they carry in
    // dmFields, two-sided or not, then a private part of their own (the user's choices in it).
    std::uint32_t driverFields = platform::records::fieldOrientation | platform::records::fieldPaperSize |
                                 platform::records::fieldCopies | platform::records::fieldDuplex |
                                 platform::records::fieldCollate | platform::records::fieldFormName;
    int driverDuplex = platform::records::simplex;
    std::size_t driverPublicBytes = platform::records::devModePublicBytes;  // dmSize
    std::string privatePart = "драйвер: 1 стр. на листе";
    std::vector<std::uint8_t> block;  // the current printer's settings; empty: its driver's own
    int deviceCopies = 9999;
    bool deviceCollates = true, deviceTwoSided = true;  // DC_COLLATE, DC_DUPLEX
    std::string driverCalls;  // what a driver writes as the device's name, where not the printer's
    // The user cancels the question for a file that a printer on the port "PORTPROMPT:" asks.
    bool fileQuestionCancelled = false;
    std::string outputFile;  // where the documents go; empty: the printer
    bool printerScalePixels = false;
    // A4 at 600 dots per inch less a sixth of an inch at the top and at the bottom.
    double printableHeight = 6816;
    double printerTwipsPerPixel = 2.4;

    enum class DocumentState { Open, Ended, Abandoned };
    struct Document {
        std::string printer;
        std::vector<std::vector<std::string>> sheets;  // each page's lines; blank pages are empty
        DocumentState state = DocumentState::Open;
        std::vector<std::uint8_t> settings;  // the block it was made with
    };
    std::vector<Document> documents;
    struct Paint {
        double x1, y1, width1, height1;
        int x2, y2, width2, height2;
    };
    std::vector<Paint> paints;
    std::vector<std::string> cutLines;  // lines a paint cut in two above the picture's bottom

    enum class PrinterStep { None, Start, Page, Paint, End };
    PrinterStep failAt = PrinterStep::None;
    int failOnTime = 1;  // the nth time the step is asked
    std::map<PrinterStep, int> stepsAsked;

    // The settings block a printer's driver makes of its own.
    std::vector<std::uint8_t> driverBlock(const std::string& device) const {
        using namespace platform::records;
        std::vector<std::uint8_t> made(devModePublicBytes, 0);
        const std::u16string name =
            utf8ToUtf16(driverCalls.empty() ? device : driverCalls).substr(0, dmDeviceNameCharacters - 1);
        for (std::size_t i = 0; i < name.size(); ++i) {
            put16(made, 2 * i, name[i]);
        }
        put16(made, dmDriverExtra, static_cast<int>(privatePart.size()));
        put16(made, dmFields, static_cast<int>(driverFields & 0xFFFF));
        put16(made, dmFields + 2, static_cast<int>(driverFields >> 16));
        put16(made, dmOrientation, 1);
        put16(made, dmPaperSize, 9);  // A4
        put16(made, dmCopies, 1);
        put16(made, dmDuplex, driverDuplex);
        put16(made, dmCollate, 1);                                 // whether or not dmFields carries it
        put16(made, dmSize, static_cast<int>(driverPublicBytes));  // an older driver's ends sooner
        made.resize(driverPublicBytes);
        made.insert(made.end(), privatePart.begin(), privatePart.end());
        return made;
    }
    // A public field of the current block; 0 where the public part ends before it.
    int field(std::size_t offset) {
        return offset + 2 <= static_cast<std::size_t>(field16(settings(), platform::records::dmSize))
                   ? field16(settings(), offset)
                   : 0;
    }

    InstalledPrinter& currentPrinter() {
        if (printers.empty()) {
            throw RuntimeError(err::PrinterError);
        }
        return printers.at(current);
    }
    // The document open now, if any.
    Document* openDocument() {
        return !documents.empty() && documents.back().state == DocumentState::Open ? &documents.back()
                                                                                   : nullptr;
    }
    // The pages of the last document begun.
    const std::vector<std::vector<std::string>>& sheets() {
        static const std::vector<std::vector<std::string>> none;
        return documents.empty() ? none : documents.back().sheets;
    }
    std::vector<std::string> installedPrinters() override {
        std::vector<std::string> names;
        for (const auto& p : printers) {
            names.push_back(p.device);
        }
        return names;
    }
    void makeCurrent(const std::string& device) override {
        const std::vector<std::string> names = installedPrinters();
        current = static_cast<std::size_t>(std::find(names.begin(), names.end(), device) - names.begin());
        block.clear();
    }
    std::string DeviceName() override { return currentPrinter().device; }
    std::string DriverName() override { return currentPrinter().driver; }
    std::string Port() override { return currentPrinter().port; }
    std::vector<std::uint8_t> settings() override {
        if (block.empty()) {
            block = driverBlock(currentPrinter().device);
        }
        return block;
    }
    void useSettings(const std::vector<std::uint8_t>& given) override { block = given; }
    // As the driver takes them: only the fields the block carries, more than one copy a failure
    // where it carries none.
    void setCopies(int copies, bool collate) override {
        using namespace platform::records;
        std::vector<std::uint8_t> asked = settings();
        // A field carried lies within the public part, where dmSize says it ends.
        auto carries = [&](std::uint32_t flag, std::size_t at) {
            return (fieldsOf(asked) & flag) && at + 2 <= static_cast<std::size_t>(field16(asked, dmSize));
        };
        if (carries(fieldCopies, dmCopies)) {
            put16(asked, dmCopies, copies);
        } else if (copies != 1) {
            throw RuntimeError(err::PrinterError);
        }
        if (copies > 1 && carries(fieldCollate, dmCollate)) {
            put16(asked, dmCollate, collate ? 1 : 0);
        }
        if (asked != block) {
            transcript_.push_back("DocumentPropertiesW copies " + std::to_string(field16(asked, dmCopies)) +
                                  " collate " + std::to_string(field16(asked, dmCollate)));
            block = asked;
        }
    }
    int DeviceCopies() override { return currentPrinter(), deviceCopies; }
    bool DeviceCollates() override { return currentPrinter(), deviceCollates; }
    bool DeviceTwoSided() override { return currentPrinter(), deviceTwoSided; }
    void setOutputFile(const std::string& path) override { outputFile = path; }
    void setScaleModePixels() override { printerScalePixels = true; }
    double ScaleHeight() override { return currentPrinter(), printableHeight; }
    double TwipsPerPixelX() override { return printerTwipsPerPixel; }
    double TwipsPerPixelY() override { return printerTwipsPerPixel; }
    void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1, int x2,
                      int y2, int width2, int height2) override {
        transcript_.push_back("PaintPicture " + hex(image) + " " + std::to_string(width2) + "x" +
                              std::to_string(height2) + " from " + std::to_string(x2) + "," +
                              std::to_string(y2) + " at " + std::to_string(static_cast<int>(x1)) + "," +
                              std::to_string(static_cast<int>(y1)));
        if (!openDocument()) {
            throw RuntimeError(err::PrinterError);  // no document begun
        }
        asked(PrinterStep::Paint);
        paints.push_back({x1, y1, width1, height1, x2, y2, width2, height2});
        const int lineHeight = windows_.pictureLineHeight;
        for (const auto& line : windows_.pictureLines) {
            bool whole = line.top >= y2 && line.top + lineHeight <= y2 + height2;
            bool overlaps = line.top < y2 + height2 && line.top + lineHeight > y2;
            bool cutByThePicture =
                line.top + lineHeight > windows_.pictureBottom && y2 + height2 >= windows_.pictureBottom;
            if (whole) {
                documents.back().sheets.back().push_back(line.text);
            } else if (overlaps && !cutByThePicture) {
                cutLines.push_back(line.text);
            }
        }
    }
    bool beginDocument() override {
        asked(PrinterStep::Start);
        if (currentPrinter().port == "PORTPROMPT:" && fileQuestionCancelled) {
            transcript_.push_back("beginDocument cancelled");
            return false;
        }
        documents.push_back({currentPrinter().device, {{}}, DocumentState::Open, settings()});
        return true;
    }
    void NewPage() override {
        asked(PrinterStep::Page);
        if (!openDocument()) {
            throw RuntimeError(err::PrinterError);
        }
        documents.back().sheets.emplace_back();
    }
    void EndDoc() override {
        asked(PrinterStep::End);
        if (Document* document = openDocument()) {
            document->state = DocumentState::Ended;
        }
    }
    void KillDoc() override {
        transcript_.push_back("KillDoc");
        if (Document* document = openDocument()) {
            document->state = DocumentState::Abandoned;
        }
    }
    void asked(PrinterStep step) {
        if (++stepsAsked[step] == failOnTime && step == failAt) {
            throw RuntimeError(err::PrinterError);
        }
    }

private:
    Transcript& transcript_;
    FakeWindowFunctions& windows_;
};

}  // namespace tivora::fakes
