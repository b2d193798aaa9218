// Realises a forms::Form as real windows: one HWND per control at its twips position converted
// with the window's real DPI, the controls' fonts, Tab over the visible enabled controls, model
// changes mirrored into the HWNDs without echo, and user input turned into model events.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/controls.h"
#include "forms/form.h"

namespace tivora::win32 {

class FormHost : public forms::FormView, public forms::ControlView {
  public:
    struct Style {
        bool minimizeBox = true;
        HICON bigIcon = nullptr;
        HICON smallIcon = nullptr;
    };

    FormHost(forms::Form& form, HINSTANCE instance, Style style);
    ~FormHost() override;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    // Creates the window and its controls, invisible; the form's Load may then run.
    void create();
    HWND hwnd() const { return hwnd_; }
    HWND controlWindow(const forms::Control& control) const;

    // forms::FormView
    void formChanged(forms::Form& form, forms::FormChange what) override;
    std::uintptr_t windowHandle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
    std::uintptr_t iconHandle() const override { return reinterpret_cast<std::uintptr_t>(style_.smallIcon); }
    void destroy() override;
    forms::Menu* popupMenu(forms::Menu& menu, int flags, const float* x, const float* y,
                           forms::Menu* defaultEntry) override;

    // forms::ControlView
    void controlChanged(forms::Control& control, forms::Change what) override;
    std::uintptr_t surfaceDeviceContext(forms::Control& control) override;
    std::uintptr_t surfaceImage(forms::Control& control) override;

    // Keyboard navigation (Tab, arrows, Enter) for the program's windows; true when handled.
    static bool preTranslate(MSG& msg);
    // Number of program windows alive; the message loop ends when the last one has gone.
    static int liveWindows();

  private:
    struct Child {
        forms::Control* control = nullptr;
        HWND hwnd = nullptr;
        int id = 0;
        bool writing = false;  // up while we write to it: its change notification is our own echo
        // A picture box's surface: a memory bitmap that keeps what is drawn on it.
        HDC surface = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ firstBitmap = nullptr;
        HFONT surfaceFont = nullptr;
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void createChild(forms::Control& control, int id, bool groupStart);
    DWORD windowStyle() const;
    RECT initialFrame() const;
    void adoptWindowDpi();
    // Gives each control its font and, when move is set, its place and size at the current DPI.
    void layout(bool move = true);
    // The window moved to a monitor of another DPI: the suggested rectangle, fonts and layout anew.
    void dpiChanged(int dpi, const RECT& suggested);
    // The background brush of a coloured label or picture box; nullptr for the others.
    HBRUSH controlBackground(HWND control, HDC dc);
    void makeFonts();
    void freeFonts();
    Child* find(const forms::Control& control);
    Child* findById(int id);
    void writeText(Child& child, const std::string& text);
    void writeCheck(Child& child);
    void updateTimer(forms::Timer& timer);
    void focusFirstControl();
    // Moves the focus to the next (1) or previous (-1) visible enabled control in tab order.
    void moveFocus(int direction);
    int toPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    void reportPosition();
    // A position in twips as screen pixels, kept within what Windows can place a window at.
    static int screenPixels(double twips, double twipsPerPixel);
    // Moves the window where the model says; a visible window is kept within reach.
    void applyPosition();
    // Moves the window onto the nearest monitor's work area when its title bar is on none.
    void keepReachable();
    // Shows the window restored, within reach, in front.
    void showNow();
    void makeSurface(Child& child);
    void clearSurface(Child& child);
    void freeSurface(Child& child);

    forms::Form& form_;
    HINSTANCE instance_;
    Style style_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    std::vector<Child> children_;
    std::vector<HFONT> fonts_;
    HFONT defaultFont_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool destroying_ = false;
    static constexpr UINT firstShowMessage = WM_APP + 1;
    bool firstShowPending_ = false;
    bool firstShowDone_ = false;
    std::vector<std::pair<COLORREF, HBRUSH>> brushes_;  // one per colour, for coloured labels
};

// Runs the program's message loop until its last window has gone; returns the exit code.
int runMessageLoop();

// The program's hidden top-level window titled with the program title, alive for the whole run.
// It hears the shell's broadcasts: onTaskbarCreated runs when the notification area is made anew.
HWND createApplicationWindow(HINSTANCE instance, const std::wstring& title,
                             std::function<void()> onTaskbarCreated);

}  // namespace tivora::win32
