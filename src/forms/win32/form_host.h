// FormHost realises a forms::Form as real windows: one HWND per control placed from its twips at
// the real DPI, model changes mirrored in without echo, user input turned into model events. Also
// the message loop, and the program's hidden application window with what it hears.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/controls.h"
#include "forms/form.h"
#include "platform/win32/picture_image.h"

namespace tivora::win32 {

class AccessibleProperties;

class FormHost : public forms::FormView, public forms::ControlView {
public:
    struct Style {
        bool minimizeBox = true;
        // The program's icon resource (0: none), made at the window's scale: a shell that
        // stretched icons made for another scale would show them blurred.
        int icon = 0;
    };

    FormHost(forms::Form& form, HINSTANCE instance, Style style);
    ~FormHost() override;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    // Creates the window and its controls, invisible; the form's Load may then run.
    void create();
    // The icon for the notification area, at its size: made anew when that changed (the taskbar
    // or the display did), and the model hears of it.
    void makeNotifyAreaIcon();
    HWND hwnd() const { return hwnd_; }
    HWND controlWindow(const forms::Control& control) const;

    // forms::FormView
    void formChanged(forms::Form& form, forms::FormChange what) override;
    std::uintptr_t windowHandle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
    std::uintptr_t iconHandle() const override { return reinterpret_cast<std::uintptr_t>(notifyAreaIcon_); }
    void destroy() override;
    forms::Menu* popupMenu(forms::Menu& menu, int flags, const float* x, const float* y,
                           forms::Menu* defaultEntry, bool& byEscape) override;

    // forms::ControlView
    void controlChanged(forms::Control& control, forms::Change what) override;
    std::uintptr_t surfaceDeviceContext(forms::Control& control) override;
    std::uintptr_t surfaceImage(forms::Control& control) override;
    int surfaceLineHeight(forms::Control& control) override;

    // The accessibility property service that names the inputs; the system's unless replaced.
    void useAccessibleProperties(AccessibleProperties& service) { accessibleProperties_ = &service; }

    // Keyboard navigation (Tab, arrows, Enter) for the program's windows; true when handled.
    static bool preTranslate(MSG& msg);
    // Number of program windows alive; the message loop ends when the last one has gone.
    static int liveWindows();

private:
    struct Child {
        forms::Control* control = nullptr;
        HWND hwnd = nullptr;
        int id = 0;
        bool writing = false;      // up while we write to it: its change notification is our own echo
        bool namingLabel = false;  // a label lifted above the controls to stand just before its input
        HWND innerEdit = nullptr;  // an editable combo box's edit part, where the keyboard's focus lands
        // A label that is nothing but a coloured square (no caption): its window stays shown and
        // its coming and going is painted (see paintSwatch).
        bool swatch = false;
        // A picture box's surface: a screen-compatible device context in the picture's font, which
        // text is laid out against, and what is drawn on it, recorded.
        HDC surface = nullptr;
        HFONT surfaceFont = nullptr;
        HDC recording = nullptr;  // open while something may be drawn
        std::shared_ptr<PictureImage> image;
    };

    // Making the windows (form_host.cpp).
    void createChild(forms::Control& control, int id, bool groupStart);
    Child* find(const forms::Control& control);
    Child* findById(int id);

    // Placement and scale (form_placement.cpp): sizes from twips at the window's DPI, fonts, and
    // the position, reported to the model and kept within the user's reach.
    DWORD windowStyle() const;
    RECT initialFrame() const;
    // The window's size at a DPI: the frame around the designed client area.
    SIZE frameSize(int dpi) const;
    void adoptWindowDpi();
    // Gives each control its font and, when move is set, its place and size at the current DPI.
    void layout(bool move = true);
    // A label lifted to stand before its input paints only where it did when it lay under the
    // other controls: the parts that they cover are cut out of it.
    void clipNamingLabels();
    void makeFonts();
    // Where a control stands in pixels: its twips at the window's DPI, following the window's
    // right and bottom edges where it asks to (a window that the work area made smaller).
    RECT childPlace(const forms::Control& control) const;
    // The window's icons at its DPI, made anew when it changes.
    void makeIcons();
    void freeFonts();
    int toPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    // The window moved to a monitor of another DPI: the suggested rectangle, fonts and layout anew.
    void dpiChanged(int dpi, const RECT& suggested);
    void reportPosition();
    // A position in twips as screen pixels, kept within what Windows can place a window at.
    static int screenPixels(double twips, double twipsPerPixel);
    // Moves the window where the model says; a visible window is kept within reach.
    void applyPosition();
    // Moves the window onto the nearest monitor's work area when its title bar is on none.
    void keepReachable();

    // Mirroring the model into the windows (form_mirror.cpp).
    void writeText(Child& child, const std::string& text);
    void writeCheck(Child& child);
    void updateTimer(forms::Timer& timer);
    void focusFirstControl();
    // Shows the window restored, within reach, in front.
    void showNow();
    // The background brush of a coloured label or picture box; nullptr for the others.
    HBRUSH controlBackground(HWND control, HDC dc);
    // Paints a coloured square at once as the model has it: in its colour, or in the window's
    // background while it is hidden.
    void paintSwatch(Child& child);

    // Window messages as model events (form_input.cpp).
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Text and combo boxes: a click into a text box, and the name screen readers announce.
    static LRESULT CALLBACK inputProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    Child* findByWindow(HWND hwnd);
    // At a screen reader's first question: the inputs' names given through the property service.
    void annotateInputs();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    // Tells each text box's model where the user has left its selection (an edit says nothing when
    // only the selection moves).
    void reportSelections();
    // Moves the focus to the next (1) or previous (-1) visible enabled control in tab order.
    void moveFocus(int direction);

    // A picture box's drawing surface (picture_surface.cpp).
    void makeSurface(Child& child);
    // The picture box's child with its surface, made at the first call; nullptr for other controls.
    Child* surfaceOf(const forms::Control& control);
    void clearSurface(Child& child);
    void freeSurface(Child& child);
    // Ends the recording open on the surface, keeping what it holds in the image.
    void closeRecording(Child& child);

    forms::Form& form_;
    HINSTANCE instance_;
    Style style_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HICON notifyAreaIcon_ = nullptr;  // the tray's, the model's iconHandle()
    int notifyAreaIconSize_ = 0;
    std::vector<Child> children_;
    std::vector<HFONT> fonts_;
    HFONT defaultFont_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool destroying_ = false;
    static constexpr UINT firstShowMessage = WM_APP + 1;
    bool firstShowPending_ = false;
    bool firstShowDone_ = false;
    std::vector<std::pair<COLORREF, HBRUSH>> brushes_;  // one per colour, for coloured labels
    AccessibleProperties* accessibleProperties_;
    bool annotationTried_ = false;
    std::vector<HWND> annotated_;  // the inputs the service named: they need no wrapper
};

// Runs the program's message loop until its last window has gone; returns the exit code.
int runMessageLoop();

// What the application window hears.
struct ApplicationEvents {
    // The shell's broadcast: the notification area was made anew.
    std::function<void()> taskbarCreated;
    // Another start from the program folder asks for the main window: whether this copy takes it
    // (one on its way out does not), answered before the showing, so that a message box standing
    // in this copy never holds the asking start up.
    std::function<bool()> takesShowRequest;
    std::function<void()> showRequested;
};

// The program's hidden top-level window titled with the program title, alive for the whole run.
// Other copies of the program find it by its class; it hears the shell's broadcasts.
HWND createApplicationWindow(HINSTANCE instance, const std::wstring& title, ApplicationEvents events);

}  // namespace tivora::win32
