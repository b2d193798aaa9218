// Start-up (the tray icon, the settings, the help text), the close box that only hides, the real
// shut-down that saves the settings, and the show/hide toggle that start-up, the close box and the
// tray share.
#include "base/numbers.h"
#include "base/text.h"
#include "main_window/form_main.h"
#include "version.h"

namespace tivora {

namespace {

constexpr char closeNotice[] =
    "Программа при нажатии на крестик сворачивается. Показать программу - левый клик по значку. Выход из "
    "программы - правый клик по значку.";

// The help text: every line of the file indented by five blanks, CR LF between lines. A line
// ends at CR or CR LF (a LF alone belongs to the line). Built in one pass, so a large file
// costs time in proportion to its size.
std::string helpText(std::string_view file) {
    std::string text;
    text.reserve(file.size() + file.size() / 8 + 16);
    size_t start = 0;
    while (start < file.size()) {
        size_t end = file.find('\r', start);
        if (end == std::string_view::npos) {
            end = file.size();
        }
        if (!text.empty()) {
            text += "\r\n";
        }
        text += "     ";
        text.append(file.substr(start, end - start));
        start = end + 1;
        if (start < file.size() && file[start] == '\n' && end < file.size()) {
            ++start;
        }
    }
    return text;
}

}  // namespace

void Form_Main::bindLifecycle() {
    onLoad = [this] { Form_Load(); };
    onActivate = [this] { Form_Activate(); };
    onQueryUnload = [this](int& cancel, forms::UnloadMode mode) { Form_QueryUnload(cancel, mode); };
    onUnload = [this](int& cancel) { Form_Unload(cancel); };
    TrayMenu_Command_View.onClick = [this] { TrayMenu_Command_View_Click(); };
    // A change of the user's number format while the program runs holds from then on: the
    // volume level's decimal separator, the validation, the time patterns, the saved position.
    onRegionalSettingsChanged = [this] { numberFormat = platform_.regional.numberFormat(); };
    // At a new display scale the tray shows the icon made for it, not one the shell stretches.
    onIconChanged = [this] {
        if (cTray) {
            cTray->setIcon(iconHandle());
            cTray->Modify();
        }
    };
}

void Form_Main::Form_Load() {
    procedure("Form_Load", [&](Step& step) {
        step(1);
        Form_Loaded = false;
        step(2);
        cTray = std::make_shared<TrayIcon>(platform_, reporter_);
        cTray->OnIcon = [this](short& code) { cTray_OnIcon(code); };
        step(3);
        cTray->setHwnd(hWnd());
        step(4);
        cTray->setIcon(iconHandle());
        step(5);
        cTray->setToolTipText("Tivora!!! v.1.0");
        step(6);
        cTray->Add();
        step(7);
        INI.Settings_File = platform_.application.programFolder() + "\\Settings.ini";
        step(8);
        // Before the settings load: loading can register autostart, which is named after it.
        setCaption(std::string(TIVORA_TITLE) + " v." + std::to_string(TIVORA_VERSION_MAJOR) + "." +
                   std::to_string(TIVORA_VERSION_MINOR));
        step(9);
        loadingSettings_ = true;  // Settings traps its own failures: it always returns here
        INI.Settings(INI_Functions::Load, *this);
        loadingSettings_ = false;
        // Whether or not the rest of start-up completes, the box shows what Windows will do.
        showAutostartAsWindowsWill();
        step(10);
        std::string file = platform_.files.readFile(platform_.application.programFolder() + "\\Справка.txt");
        // Our own file, in our own encoding: the system's code page may not be Cyrillic at all.
        Help_Text += helpText(ownTextFile(file));
        step(11);
        if (Combo_Percents.text() == "Combo_Percents") {
            Combo_Percents.setText(Combo_Percents.list().at(1));
        }
        step(12);
        Form_Loaded = true;
        step(13);
        Exit_Requested = false;
        step(14);
        // The percentage box remembers its last pick; a design text that the load left alone
        // raised no change, so it is remembered here. Otherwise typing into the box before the
        // first pick would empty it, and the volume action could not read a percentage.
        if (Combo_Percents.tag().empty()) {
            Combo_Percents.setTag(Combo_Percents.text());
        }
    });
}

void Form_Main::Form_Activate() {
    procedure("Form_Activate", [&](Step& step) {
        step(1);
        if (Check_Minimize.value() == forms::CheckBox::Checked) {
            step(2);
            Command_ON_OFF_Click();
            step(3);
            TrayMenu_Command_View_Click();
        }
    });
}

void Form_Main::Form_QueryUnload(int& Cancel, forms::UnloadMode UnloadMode) {
    procedure("Form_QueryUnload", [&](Step& step) {
        step(1);
        // Once the end has begun (its save's report may stand), a second "Выход", a close or the
        // session's end does nothing more: the first end saves and removes the icon once.
        if (unloadBegun_) {
            Cancel = -1;
            return;
        }
        unloadMode_ = UnloadMode;
        // A Windows shutdown or log-off is let through: refused, Windows would end the program
        // anyway, before its settings were saved.
        if (Exit_Requested || UnloadMode == forms::UnloadMode::WindowsSession) {
            return;
        }
        step(2);
        TrayMenu_Command_View_Click();
        step(3);
        if (Check_Message_Exit.value() == forms::CheckBox::Unchecked) {
            // Ticked as the notice goes on the screen: a session that ends while it stands there
            // saves it as shown, and it does not come back.
            Check_Message_Exit.setValue(forms::CheckBox::Checked);
            platform_.messageBoxes.show(closeNotice, TIVORA_TITLE);
        }
        step(4);
        Cancel = -1;
    });
}

void Form_Main::Form_Unload(int&) {
    unloadBegun_ = true;
    procedure("Form_UnLoad", [&](Step& step) {
        step(1);
        if (leadingValue(Command_ON_OFF.tag()) == 1) {
            Command_ON_OFF_Click();
        }
        step(2);
        INI.Settings(INI_Functions::Save, *this);
        // Told when the user ends the program; a session that ends waits for no box.
        if (unloadMode_ != forms::UnloadMode::WindowsSession) {
            INI.reportFailedSave();
        }
        step(3);
        cCommonDialog.reset();  // the file test holds nothing to release
        step(4);
        if (!cTray) {
            throw RuntimeError(err::ObjectNotSet);
        }
        cTray->Delete();
        step(5);
        cTray.reset();
    });
    // Saved and gone from the tray: a new start from this folder runs beside a help window that
    // the user has not closed yet, instead of waiting for this copy to end.
    platform_.instances.releaseProgramFolder();
}

void Form_Main::TrayMenu_Command_View_Click() {
    procedure("TrayMenu_Command_View_Click", [&](Step& step) {
        step(1);
        if (visible()) {
            hide();
        } else {
            show();  // restored, should it have been minimised before it was hidden
        }
        step(2);
        TrayMenu_Command_View.setCaption(visible() ? "Скрыть" : "Показать");
        step(3);
        if (visible()) {
            setFocus();
        }
    });
}

}  // namespace tivora
