// Form_Main, the program's one permanent window: the time of day, the action and its inputs,
// the option check boxes, the start/stop button, the one-second timer, the tray menu and the
// window's own state.
#pragma once

#include "base/datetime.h"
#include "base/report.h"
#include "dialogs/common_dialog.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "main_window/scheduler.h"
#include "platform/platform.h"
#include "settings/ini_functions.h"
#include "tray/tray_icon.h"

#include <memory>

namespace tivora {

class Form_Main : public forms::Form {
public:
    Form_Main(platform::Platform& platform, ErrorReporter& reporter, INI_Functions& ini);

    // The controls, declared in the window's fixed order. A new settings file lists its keys
    // in this order, so the keyed controls come first, in the order users' files already have.
    forms::CheckBox Check_Message_Exit;
    forms::CheckBox Check_FullScreen_Brake;
    forms::CheckBox Check_Minimize;
    forms::CheckBox Check_AutoStart;
    forms::ComboBox Combo_Percents;
    forms::OptionButton Option_Melody;
    forms::OptionButton Option_Volume;
    forms::OptionButton Option_Message;
    forms::CheckBox Check_MsgBox;
    forms::TextBox Text_Message;
    forms::TextBox Text_Minute;
    forms::TextBox Text_Hour;
    forms::CommandButton Command_ON_OFF;
    forms::CommandButton Command_Test;
    forms::CommandButton Command_Help;
    forms::Label Label_Hour;
    forms::Label Label_Minute;
    forms::Label Label_Indicator;
    forms::PictureBox Picture_Print;
    forms::Timer Timer_Run;
    forms::Menu pmnuTray;
    forms::Menu TrayMenu_Command_View;
    forms::Menu TrayMenu_Command_ON_OFF;
    forms::Menu TrayMenu_Command_Test;
    forms::Menu TrayMenu_Command_Exit;

    // The daily trigger's handlers (scheduler.cpp).
    void Timer_Run_Timer();
    void vON_OFF();
    void Command_ON_OFF_Click();
    void TrayMenu_Command_ON_OFF_Click();

    // The actions (actions.cpp).
    void vAction();
    void vFullScreen_Brake();
    void Command_Test_Click();
    void TrayMenu_Command_Test_Click();
    void Option_Melody_Click();
    void Option_Message_Click();
    void Option_Volume_Click();

    // Start-up, shut-down and the show/hide toggle (lifecycle.cpp).
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(int& Cancel, forms::UnloadMode UnloadMode);
    void Form_Unload(int& Cancel);
    void TrayMenu_Command_View_Click();
    // Another start from the program folder asks for the window (one_copy.cpp): it is shown,
    // restored and in front, as the tray's "Показать" shows it.
    void showForAnotherStart();

    // The tray icon's mouse and menu (tray_interaction.cpp).
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void cTray_OnIcon(short& MouseMessage);
    void TrayMenu_Command_Exit_Click();

    // Input validation (validation.cpp).
    void vNumeric(forms::Control& field, int lower, int upper);
    void Text_Hour_Change();
    void Text_Minute_Change();
    void Text_Hour_Click();
    void Text_Minute_Click();
    void Combo_Percents_Change();
    void Combo_Percents_Click();

    // The Help button (help.cpp): the window disabled, the help window shown.
    void Command_Help_Click();
    // Opens the help window (the program sets it up: it makes windows).
    std::function<void()> showHelpWindow;
    // This copy's hidden application window, which the brake brings forward (the program sets it).
    std::uintptr_t applicationWindow = 0;
    // The program-wide common-dialog object, made on first use, released at unload.
    Cl_Module_CommonDialog& commonDialog();
    std::shared_ptr<Cl_Module_CommonDialog> cCommonDialog;

    // Autostart registration (autostart.cpp).
    void Check_AutoStart_Click();
    // Ticked or not as Windows will start the program at logon (right after start-up's load).
    void showAutostartAsWindowsWill();

    // The level the volume tool gets for a percentage text such as "50%".
    std::string volumeLevel() const;

    // State fields.
    bool Form_Loaded = false;
    bool Exit_Requested = false;
    CalendarDate Last_Action_Date{};
    double Last_Action_Minute = 0;

    // The window's tray icon, from start-up to shut-down.
    std::shared_ptr<TrayIcon> cTray;
    // The settings module, and the help text built at start-up (program-wide values).
    INI_Functions& INI;
    std::string Help_Text;

protected:
    // Runs a procedure's steps under its own error report (see base/report.h).
    template <class Body>
    bool procedure(std::string_view name, Body&& body) {
        return trap(reporter_, name, std::forward<Body>(body));
    }

    platform::Platform& platform_;
    ErrorReporter& reporter_;

private:
    void bindScheduler();
    void bindActions();
    void bindLifecycle();
    void bindTrayInteraction();
    void bindValidation();
    void bindAutostart();
    void bindHelp();

    forms::UnloadMode unloadMode_ = forms::UnloadMode::Code;  // of the close let through last
    bool unloadBegun_ = false;
    std::string programPath();
    bool startsThisProgram(const std::string& command);
    bool startsAnotherProgram(const std::string& command);
    std::string autostartName();
    bool autostartShownOnly_ = false;  // the box is set to show the registry, not by the user
    bool loadingSettings_ = false;     // start-up's load of the saved values runs their handlers
    // The daily trigger's state and logic (scheduler.cpp); the handlers above forward to it.
    DailyTrigger trigger_;
};

}  // namespace tivora
