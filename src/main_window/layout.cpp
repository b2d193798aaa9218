// The main window as it is designed: every control with its place (twips in the client area),
// caption, initial text, state and font; the tab order, the names screen readers hear, and each
// concern's handlers bound.
#include "main_window/form_main.h"

namespace tivora {

namespace {

const forms::Font buttonFont{"MS Sans Serif", 8.25, 700, 204};
const forms::Font printFont{"Times New Roman", 9.75, 400, 204};

}  // namespace

Form_Main::Form_Main(platform::Platform& platform, ErrorReporter& reporter, INI_Functions& ini)
    : forms::Form("Form_Main", "Form_Main", 2880, 4305),
      Check_Message_Exit(*this, "Check_Message_Exit", {120, 720, 255, 255}, ""),
      Check_FullScreen_Brake(*this, "Check_FullScreen_Brake", {120, 3120, 2655, 375},
                             "Пытаться сворачивать полноэкранные приложения"),
      Check_Minimize(*this, "Check_Minimize", {120, 2640, 2655, 375},
                     "Сворачивать и стартовать программу при ее загрузке"),
      Check_AutoStart(*this, "Check_AutoStart", {120, 2160, 2655, 375},
                      "Загружать программу при загрузке Windows"),
      Combo_Percents(*this, "Combo_Percents", {2040, 1080, 735, 315}, "50%",
                     {"50%", "00%", "10%", "33%", "66%", "75%"}),
      Option_Melody(*this, "Option_Melody", {120, 1080, 2775, 195}, "Мелодия (melody.mp3)", false),
      Option_Volume(*this, "Option_Volume", {120, 840, 2775, 195}, "Изменение громкости до", false),
      Option_Message(*this, "Option_Message", {120, 1320, 2655, 195}, "Сообщение", true),
      Check_MsgBox(*this, "Check_MsgBox", {2040, 600, 3252, 255}, "Отладка (вкл. MsgBox в ErrorHandle)"),
      Text_Message(*this, "Text_Message", {120, 1560, 2655, 375}, "Tivora свое чертово радио!!!"),
      Text_Minute(*this, "Text_Minute", {600, 120, 375, 375}, "00", 2),
      Text_Hour(*this, "Text_Hour", {120, 120, 375, 375}, "23", 2),
      Command_ON_OFF(*this, "Command_ON_OFF", {1200, 120, 735, 495}, "Старт"),
      Command_Test(*this, "Command_Test", {2040, 120, 735, 495}, "Тест"),
      Command_Help(*this, "Command_Help", {120, 3960, 2655, 255}, "Справка"),
      Label_Hour(*this, "Label_Hour", {120, 480, 495, 255}, "Час"),
      Label_Minute(*this, "Label_Minute", {600, 480, 615, 255}, "Минута"),
      Label_Indicator(*this, "Label_Indicator", {960, 240, 255, 255}, ""),
      Picture_Print(*this, "Picture_Print", {0, 0, 480, 225}),
      Timer_Run(*this, "Timer_Run", 1000, false),
      pmnuTray(*this, "pmnuTray", "[Tray]"),
      TrayMenu_Command_View(*this, "TrayMenu_Command_View", "Скрыть", &pmnuTray),
      TrayMenu_Command_ON_OFF(*this, "TrayMenu_Command_ON_OFF", "Старт", &pmnuTray),
      TrayMenu_Command_Test(*this, "TrayMenu_Command_Test", "Тест", &pmnuTray),
      TrayMenu_Command_Exit(*this, "TrayMenu_Command_Exit", "Выход", &pmnuTray),
      INI(ini),
      platform_(platform),
      reporter_(reporter),
      trigger_(
          {*this, Text_Hour, Text_Minute, Label_Indicator, Timer_Run, Command_ON_OFF, Last_Action_Date,
           Last_Action_Minute},
          platform.clock, platform.timers, reporter, [this] { Timer_Run_Timer(); }, [this] { vAction(); }) {
    Command_ON_OFF.setTag("0");
    Command_ON_OFF.font = buttonFont;
    Command_Test.font = buttonFont;
    Combo_Percents.setEnabled(false);

    // Screen readers name the inputs: the time boxes by their labels (below them on the screen),
    // the message text and the percentage box, which have none, by names of their own.
    Label_Hour.labelFor = &Text_Hour;
    Label_Minute.labelFor = &Text_Minute;
    Text_Message.accessibleName = "Текст сообщения";
    Combo_Percents.accessibleName = "Громкость";

    Label_Indicator.backColor = forms::rgb(0, 0, 192);
    Label_Indicator.setVisible(false);

    Check_Message_Exit.setVisible(false);
    Check_MsgBox.setVisible(false);
    Picture_Print.setVisible(false);
    Picture_Print.font = printFont;
    pmnuTray.setVisible(false);  // shown only as the tray icon's popup menu

    setTabOrder({&Command_ON_OFF, &Text_Hour, &Text_Minute, &Text_Message, &Command_Help, &Option_Message,
                 &Option_Volume, &Option_Melody, &Combo_Percents, &Command_Test, &Check_AutoStart,
                 &Check_Minimize, &Check_FullScreen_Brake});

    twipsPerPixelX = platform.screen.twipsPerPixelX();
    twipsPerPixelY = platform.screen.twipsPerPixelY();
    numberFormat = platform.regional.numberFormat();
    reporter_.setDebugging([this] { return Check_MsgBox.value() == forms::CheckBox::Checked; });

    bindScheduler();
    bindActions();
    bindLifecycle();
    bindTrayInteraction();
    bindValidation();
    bindAutostart();
    bindHelp();
}

}  // namespace tivora
