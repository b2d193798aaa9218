// A stand-in for the printer: installed printers, the current one's settings, and the documents
// printed, each on the printer it was begun on, its sheets holding the lines of the picture
// painted whole onto them. A test makes it fail (482) at the nth time a step is asked of it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "fakes/fake_transcript.h"
#include "fakes/fake_window_functions.h"
#include "platform/printing.h"

namespace tivora::fakes {

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
    int orientation = 1, paperSize = 9, duplex = 1, copies = 1, printQuality = -4, colorMode = 2,
        paperBin = 7, collate = 0, deviceCopies = 9999;
    std::string outputFile;  // where the documents go; empty: the printer
    double width = 11906;
    bool printerScalePixels = false;
    // A4 at 600 dots per inch less a sixth of an inch at the top and at the bottom.
    double printableHeight = 6816;
    double printerTwipsPerPixel = 2.4;

    enum class DocumentState { Open, Ended, Abandoned };
    struct Document {
        std::string printer;
        std::vector<std::vector<std::string>> sheets;
        DocumentState state = DocumentState::Open;
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
    // The sheets of the last document begun.
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
    void makeCurrent(std::size_t index) override {
        transcript_.push_back("makeCurrent " + std::to_string(index));
        current = index;
    }
    std::string DeviceName() override { return currentPrinter().device; }
    std::string DriverName() override { return currentPrinter().driver; }
    std::string Port() override { return currentPrinter().port; }
    int Orientation() override { return currentPrinter(), orientation; }
    void setOrientation(int v) override { orientation = v; }
    int PaperSize() override { return paperSize; }
    void setPaperSize(int v) override { paperSize = v; }
    double Width() override { return width; }
    int Duplex() override { return duplex; }
    void setDuplex(int v) override { duplex = v; }
    void setCopies(int v) override { copies = v; }
    void setCollate(int v) override { collate = v; }
    int DeviceCopies() override { return currentPrinter(), deviceCopies; }
    void setOutputFile(const std::string& path) override { outputFile = path; }
    void setPrintQuality(int v) override { printQuality = v; }
    void setColorMode(int v) override { colorMode = v; }
    void setPaperBin(int v) override { paperBin = v; }
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
            asked(PrinterStep::Start);
            documents.push_back({currentPrinter().device, {{}}});
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
    void NewPage() override {
        asked(PrinterStep::Page);
        if (!openDocument()) {
            asked(PrinterStep::Start);
            documents.push_back({currentPrinter().device, {{}}});
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
