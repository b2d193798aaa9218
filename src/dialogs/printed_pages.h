// The pages of a print: a text laid out page by page on the hidden picture box, as far as the
// print needs it, and each page painted on the printer at the size the picture has on the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "platform/platform.h"

namespace tivora {

class PrintedPages {
public:
    // The picture box each chunk of text is drawn on, in its pixels.
    static constexpr int pictureWidth = 750;
    static constexpr int pictureHeight = 3232;

    PrintedPages(platform::Platform& platform, forms::PictureBox& picture)
        : platform_(platform), picture_(picture) {}

    // How a chunk's picture goes on paper: its scale from the screen's pixels to the printer's,
    // and the height of picture (whole lines of text, in its pixels) that one page takes.
    struct Sheets {
        double scaleX = 1;
        double scaleY = 1;
        int band = 1;
    };
    // The text laid out page by page as far as a print has needed: the chunk each page is drawn
    // from and the band of the picture it takes.
    struct Layout {
        struct Page {
            std::size_t chunk;
            int top, height;
        };
        explicit Layout(std::size_t characters) : length(characters) {}
        const std::size_t length;              // of the text, in characters
        std::vector<std::size_t> chunkStarts;  // byte positions in the text
        std::vector<Page> pages;
        bool complete = false;
        std::size_t drawn = SIZE_MAX;  // the chunk on the picture now
        int sides = 0;                 // sides of paper begun by the print, blank ones among them
    };
    Sheets sheetLayout();
    // Lays the text out until it has the page (counted from 1); false when it ends before.
    bool layOut(Layout& layout, const std::string& text, const Sheets& sheets, int page);
    // A new side of paper: the document begun on the first. False when the user cancelled the
    // driver's question on the way.
    bool newSide(Layout& layout);
    bool printPage(Layout& layout, const std::string& text, const Sheets& sheets, int page);

private:
    // Draws the chunk on the cleared picture; the height its lines take.
    int drawChunk(Layout& layout, const std::string& text, std::size_t chunk);

    platform::Platform& platform_;
    forms::PictureBox& picture_;
    double chunkOffset_ = 0;
};

// Abandons the document on the printer when the scope it guards is left by a failure, before
// the failure is reported: the report's modal wait must not find a half-printed document open.
class AbandonOnFailure {
public:
    explicit AbandonOnFailure(platform::Printer& printer)
        : printer_(printer), failures_(std::uncaught_exceptions()) {}
    ~AbandonOnFailure() {
        if (std::uncaught_exceptions() > failures_) {
            printer_.KillDoc();
        }
    }
    AbandonOnFailure(const AbandonOnFailure&) = delete;
    AbandonOnFailure& operator=(const AbandonOnFailure&) = delete;

private:
    platform::Printer& printer_;
    int failures_;
};

}  // namespace tivora
