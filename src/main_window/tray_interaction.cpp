// The main window's side of the tray icon: its mouse codes and its menu.
#include "main_window/form_main.h"

namespace tivora {

namespace {

constexpr short leftButtonUp = 2;
constexpr short rightButtonUp = 5;
constexpr int rightButtonToo = 2;  // the menu's entries answer the right mouse button as well

}  // namespace

void Form_Main::bindTrayInteraction() {
    onMouseMove = [this](int button, int shift, float x, float y) { Form_MouseMove(button, shift, x, y); };
    TrayMenu_Command_Exit.onClick = [this] { TrayMenu_Command_Exit_Click(); };
}

void Form_Main::Form_MouseMove(int, int, float X, float Y) {
    procedure("Form_MouseMove", [&](Step& step) {
        step(1);
        // The tray reports its clicks as mouse moves; CallEvent tells them from the pointer's.
        if (!cTray) {
            throw RuntimeError(err::ObjectNotSet);
        }
        cTray->CallEvent(X, Y);
    });
}

void Form_Main::cTray_OnIcon(short& MouseMessage) {
    procedure("cTray_OnIcon", [&](Step& step) {
        // Our own reference: choosing "Выход" releases the window's while the menu is open.
        std::shared_ptr<TrayIcon> tray = cTray;
        step(1);
        if (MouseMessage == leftButtonUp) {
            TrayMenu_Command_View_Click();
        }
        step(2);
        if (MouseMessage == rightButtonUp && tray) {
            tray->CallPopupMenu(*this, pmnuTray, rightButtonToo, std::nullopt, std::nullopt,
                                &TrayMenu_Command_Exit);
        }
    });
}

void Form_Main::TrayMenu_Command_Exit_Click() {
    procedure("TrayMenu_Command_Exit_Click", [&](Step& step) {
        step(1);
        Exit_Requested = true;
        step(2);
        requestClose(forms::UnloadMode::Code);
    });
}

}  // namespace tivora
