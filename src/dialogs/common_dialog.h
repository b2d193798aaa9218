// Cl_Module_CommonDialog: the print dialog, a text printed page by page (on the printer, or into a
// file the save dialog names), and the open-file dialog with its properties. Its failures are
// reported only while the main window's hidden debug box is ticked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/report.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "platform/platform.h"

namespace tivora {

// Owned through a shared_ptr (the program-wide cCommonDialog): each dialog method keeps the
// object alive while its modal wait lasts, since the end of the Windows session may release the
// program's reference from inside that wait.
class Cl_Module_CommonDialog : public std::enable_shared_from_this<Cl_Module_CommonDialog> {
public:
    // mainWindow and picture: the window whose coordinate unit printing switches to pixels, and
    // its hidden picture box that each page is drawn on.
    Cl_Module_CommonDialog(platform::Platform& platform, ErrorReporter& reporter, forms::Form& mainWindow,
                           forms::PictureBox& picture);

    // The open-file dialog; true when it was closed without choosing a file.
    bool ShowOpen(forms::Form& Form);
    std::string InitDir();
    void setInitDir(const std::string& New_Path);
    std::string DialogTitle();
    void setDialogTitle(const std::string& Dialog);
    std::string FileTitle();
    std::string FileName();
    void setFileName(const std::string& New_File_Name);
    std::string Tag();
    void setTag(const std::string& Tag_in);
    std::string Filter();
    void setFilter(const std::string& Filter_Text_in);

    // The print dialog, modal to owner (the window that asks, which takes no input meanwhile);
    // true when it was closed without confirming or could not be shown (nothing changed then). It
    // offers "selection" only when the asking window has text selected.
    bool ShowPrinter(forms::Form* owner = nullptr, bool selectionOffered = false);
    // Asks for the printer through CommonDialog and prints sText, or selection when the user chose
    // it: each 5800 characters begin a page, and lines that one page cannot hold go on the next.
    // The pages of the range chosen, as many copies as asked, on the printer or into a file.
    void vPrint_To_Paper(Cl_Module_CommonDialog& CommonDialog, const std::string& sText,
                         forms::Form* owner = nullptr, const std::string& selection = {});

    // The printer-name block for a driver, device and port name, as long as the names need.
    static std::vector<std::uint8_t> devNames(const std::string& driver, const std::string& device,
                                              const std::string& port);

private:
    // What the print dialog was answered besides the printer and its settings.
    struct Answer {
        int copies = 1;  // that the program prints itself: those the driver cannot make
        bool collate = true;
        bool twoSided;
        int firstPage = 1;
        int lastPage = 0xFFFF;
        bool selection = false;
        bool toFile = false;
    };
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
    // Draws the chunk on the cleared picture; the height its lines take.
    int drawChunk(Layout& layout, const std::string& text, std::size_t chunk);
    // A new side of paper: the document begun on the first. False when the user cancelled the
    // driver's question on the way.
    bool newSide(Layout& layout);
    bool printPage(Layout& layout, const std::string& text, const Sheets& sheets, int page);
    // Where a print to file goes, asked with the save dialog; none when the user cancelled.
    std::optional<std::string> askOutputFile(forms::Form* owner);

    template <class Body>
    bool procedure(std::string_view name, Body&& body) {
        return trap(reporter_, name, ReportForm::OnlyWhenDebugging, std::forward<Body>(body));
    }

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    forms::Form& mainWindow_;
    forms::PictureBox& picture_;

    platform::OpenFileRecord openFile_;
    std::string tag_;
    std::string filter_;
    double chunkOffset_ = 0;
    Answer answer_;
};

}  // namespace tivora
