// The text laid out page by page, chunk by chunk on the picture box, and each page printed.
#include "dialogs/printed_pages.h"

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/text.h"

namespace tivora {

namespace {

constexpr int chunkCharacters = 5800;
constexpr std::uint32_t DT_WORDBREAK = 0x10;

}  // namespace

PrintedPages::Sheets PrintedPages::sheetLayout() {
    platform::Printer& printer = platform_.printer;
    Sheets layout;
    // The picture at the size it has on the screen: each of its pixels as wide and as tall on
    // paper as on the screen.
    layout.scaleX = platform_.screen.twipsPerPixelX() / printer.TwipsPerPixelX();
    layout.scaleY = platform_.screen.twipsPerPixelY() / printer.TwipsPerPixelY();
    if (!(layout.scaleX > 0 && layout.scaleY > 0 && std::isfinite(layout.scaleX) &&
          std::isfinite(layout.scaleY))) {
        throw RuntimeError(err::PrinterError);  // a printer without a resolution
    }
    // As many whole lines as the printable height holds (one at least, should a line be taller).
    const int lineHeight = std::max(1, picture_.lineHeightPixels());
    const double holds = std::clamp(printer.ScaleHeight() / layout.scaleY, 0.0, double{pictureHeight});
    layout.band = std::max(1, static_cast<int>(holds) / lineHeight) * lineHeight;
    return layout;
}

int PrintedPages::drawChunk(Layout& layout, const std::string& text, std::size_t chunk) {
    picture_.Cls();
    layout.drawn = chunk;
    const std::uintptr_t surface = picture_.hDC();
    if (!surface) {
        throw RuntimeError(err::PrinterError);  // no surface to draw on: the pages would be blank
    }
    return platform_.windows.DrawTextW(
        surface, characters(std::string_view(text).substr(layout.chunkStarts[chunk]), 0, chunkCharacters), 0,
        0, pictureWidth, pictureHeight, DT_WORDBREAK);
}

bool PrintedPages::layOut(Layout& layout, const std::string& text, const Sheets& sheets, int page) {
    while (static_cast<int>(layout.pages.size()) < page && !layout.complete) {
        // Chunks of 5800 characters, each beginning a page; the lines drawn of a chunk go on as
        // many pages as they need, a band of whole lines on each.
        const std::size_t chunk = layout.chunkStarts.size();
        const std::size_t start =
            chunk == 0
                ? 0
                : layout.chunkStarts.back() +
                      characters(std::string_view(text).substr(layout.chunkStarts.back()), 0, chunkCharacters)
                          .size();
        layout.chunkStarts.push_back(start);
        chunkOffset_ = static_cast<double>(chunk) * chunkCharacters;
        const int used = std::clamp(drawChunk(layout, text, chunk), 0, pictureHeight);
        int top = 0;
        do {
            layout.pages.push_back({chunk, top, std::min(sheets.band, pictureHeight - top)});
            top += sheets.band;
        } while (top < used);
        layout.complete = chunkOffset_ + chunkCharacters >= layout.length;
    }
    return static_cast<int>(layout.pages.size()) >= page;
}

bool PrintedPages::newSide(Layout& layout) {
    if (layout.sides++ == 0) {
        return platform_.printer.beginDocument();
    }
    platform_.printer.NewPage();
    return true;
}

bool PrintedPages::printPage(Layout& layout, const std::string& text, const Sheets& sheets, int page) {
    const Layout::Page& where = layout.pages.at(static_cast<std::size_t>(page - 1));
    if (layout.drawn != where.chunk) {
        drawChunk(layout, text, where.chunk);
    }
    if (!newSide(layout)) {
        return false;
    }
    platform_.printer.PaintPicture(picture_.Image(), 0, 0, pictureWidth * sheets.scaleX,
                                   where.height * sheets.scaleY, 0, where.top, pictureWidth, where.height);
    return true;
}

}  // namespace tivora
