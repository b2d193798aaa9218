// Tivora's entry point: the system, one copy per program folder, the hidden application window,
// the main window and the help window it opens, and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "base/report.h"
#include "forms/win32/form_host.h"
#include "help/form_help.h"
#include "main_window/form_main.h"
#include "main_window/one_copy.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/system_files.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "settings/ini_functions.h"
#include "version.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tivora;
    win32::loadLibrariesFromTheSystemFolderOnly();
    win32::Win32Platform system(instance);
    platform::Platform platform = system.platform();

    // A copy that runs from this folder already shows its window instead; this start ends before
    // it touches the settings file, the tray or the autostart value.
    if (!startsAsTheFoldersOneCopy(platform)) {
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ErrorReporter reporter(platform::reportBox(platform.messageBoxes, TIVORA_TITLE));

    // Another start from this folder asks for the window: answered once start-up has ended (it
    // may come while a report stands during the load), and no more once the program is ending.
    Form_Main* startedForm = nullptr;
    bool showAfterStartUp = false;
    bool ending = false;

    // Our hidden application window, titled with the program title: the window that the
    // program brings to the foreground before its action.
    // It also hears when Explorer makes the notification area anew, and other starts' requests.
    win32::ApplicationEvents events;
    win32::FormHost* mainHost = nullptr;
    events.taskbarCreated = [&system, &mainHost] {
        mainHost ? mainHost->makeNotifyAreaIcon() : void();  // a new taskbar may stand at a new scale
        system.notifyAreaCreated();
    };
    events.takesShowRequest = [&] {
        return !ending && (!startedForm || (startedForm->loaded() && !startedForm->Exit_Requested));
    };
    events.showRequested = [&] {
        if (startedForm) {
            startedForm->showForAnotherStart();
        } else {
            showAfterStartUp = true;
        }
    };
    HWND applicationWindow =
        win32::createApplicationWindow(instance, win32::widen(TIVORA_TITLE), std::move(events));

    INI_Functions ini(platform, reporter);
    Form_Main form(platform, reporter, ini);
    form.applicationWindow = reinterpret_cast<std::uintptr_t>(applicationWindow);
    win32::FormHost::Style style;
    style.icon = 1;
    win32::FormHost host(form, instance, style);
    // Without its window the program would run with no tray icon and no daily action: it says
    // so, as for the help window, and ends.
    bool made = trap(reporter, "Main", [&](Step& step) {
        step(1);
        host.create();
        if (!host.hwnd()) {
            throw RuntimeError(err::OutOfMemory);  // the system could not make the window
        }
    });
    if (!made) {
        DestroyWindow(applicationWindow);
        win32::leaveComApartment();
        return 1;
    }
    mainHost = &host;

    // The help window is made anew each time it opens; it has no minimise box.
    std::unique_ptr<Form_Help> help;
    std::unique_ptr<win32::FormHost> helpHost;
    win32::FormHost::Style helpStyle = style;
    helpStyle.minimizeBox = false;
    form.showHelpWindow = [&] {
        if (!help || !help->loaded()) {
            helpHost.reset();
            help = std::make_unique<Form_Help>(platform, reporter, form);
            helpHost = std::make_unique<win32::FormHost>(*help, instance, helpStyle);
            helpHost->create();
            if (!helpHost->hwnd()) {
                throw RuntimeError(err::OutOfMemory);  // the system could not make the window
            }
            help->load();
        }
        help->show();
    };

    // Load runs while the window is still invisible; then the window is shown and activated.
    form.load();
    if (form.loaded()) {
        form.show();
        // Shown at logon while another program holds the focus, the window may not become
        // active; start-up's activation step must run all the same.
        form.activated();
    }
    startedForm = &form;
    if (showAfterStartUp) {
        form.showForAnotherStart();
    }
    int exitCode = win32::runMessageLoop();
    ending = true;
    DestroyWindow(applicationWindow);
    win32::leaveComApartment();
    return exitCode;
}
