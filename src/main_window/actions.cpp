// The action: the window shown, the foreground taken when the full-screen brake is ticked, then the
// melody played, the message shown or the volume set by the volume tool; the Test buttons that run
// it, and the option buttons that choose one and enable its input.
#include "base/numbers.h"
#include "base/text.h"
#include "main_window/form_main.h"
#include "version.h"

namespace tivora {

namespace {
// WM_NULL does nothing; a window whose program reads its messages answers it at once. Never 0 ms:
// with SMTO_ABORTIFHUNG that is a wait without end.
constexpr std::uint32_t nullMessage = 0;
constexpr unsigned answerMilliseconds = 250;
}  // namespace

void Form_Main::bindActions() {
    Command_Test.onClick = [this] { Command_Test_Click(); };
    TrayMenu_Command_Test.onClick = [this] { TrayMenu_Command_Test_Click(); };
    Option_Melody.onClick = [this] { Option_Melody_Click(); };
    Option_Message.onClick = [this] { Option_Message_Click(); };
    Option_Volume.onClick = [this] { Option_Volume_Click(); };
}

std::string Form_Main::volumeLevel() const {
    // The first two characters are the percentage; 65535 is the full volume. The level keeps
    // its fraction and is written with the user's decimal separator (32767,5 in Russia).
    double percent = toNumber(characters(Combo_Percents.text(), 0, 2), numberFormat);
    return numberText(percent * (65535.0 / 100.0), numberFormat);
}

void Form_Main::vAction() {
    // The evening's message must be seen over whatever the user works in; a Test pressed by the
    // user comes up in front as it is.
    const bool fromTrigger = trigger_.takeActionFromTrigger();
    // The trigger holds its ticks back until the action, a message box perhaps, is over.
    trigger_.actionStarted();
    struct Ended {
        DailyTrigger& trigger;
        ~Ended() { trigger.actionEnded(); }
    } ended{trigger_};
    procedure("vAction", [&](Step& step) {
        step(1);
        show();  // the tray menu's show/hide caption is left as it is
        step(2);
        if (Check_FullScreen_Brake.value() == forms::CheckBox::Checked) {
            vFullScreen_Brake();
        }
        step(3);
        if (Option_Melody.value()) {
            // A missing melody or a file type without a player is the shell's affair: its answer
            // is not looked at.
            platform_.shell.ShellExecuteW(platform_.windows.GetDesktopWindow(), "Open",
                                          platform_.application.programFolder() + "\\melody.mp3", "", "", 1);
        }
        step(4);
        if (Option_Message.value()) {
            if (fromTrigger) {
                platform_.messageBoxes.showOnTop(Text_Message.text(), TIVORA_TITLE);
            } else {
                platform_.messageBoxes.show(Text_Message.text(), TIVORA_TITLE);
            }
        }
        step(5);
        if (Option_Volume.value()) {
            // The tool's path is quoted: unquoted, a folder with a blank in it (C:\Program Files)
            // would have Windows try C:\Program.exe first.
            std::string commandLine = "\"";
            commandLine += platform_.application.programFolder();
            commandLine += "\\volume.exe\" setsysvolume ";
            commandLine += volumeLevel();
            platform_.processes.start(commandLine, platform::WindowStyle::MinimizedFocus);
        }
    });
}

void Form_Main::vFullScreen_Brake() {
    procedure("vFullScreen_Brake", [&](Step& step) {
        // Our hidden application window bears the bare title; taking the foreground for it makes
        // a full-screen application in front give way.
        step(1);
        std::uintptr_t found = platform_.windows.FindWindowA(std::nullopt, TIVORA_TITLE);
        // Another copy's window (from another program folder) may be found first: never taken.
        std::uintptr_t window = platform_.windows.ofThisProcess(found) ? found : applicationWindow;
        step(2);
        if (window != 0 && !platform_.windows.SetForegroundWindow(window)) {
            // Refused while the user works in another program: joined to its thread's input for
            // the one request we may take it. Joined, the request waits on that program, so only
            // one that answers at once is joined; otherwise, or refused again, the button flashes.
            std::uintptr_t inFront = platform_.windows.GetForegroundWindow();
            bool joined = platform_.windows.SendMessageTimeoutW(inFront, nullMessage, answerMilliseconds) &&
                          platform_.windows.AttachThreadInput(inFront, true);
            bool granted = joined && platform_.windows.SetForegroundWindow(window);
            if (joined) {
                platform_.windows.AttachThreadInput(inFront, false);
            }
            if (!granted) {
                platform_.windows.FlashWindowEx(hWnd());
            }
        }
    });
}

void Form_Main::Command_Test_Click() {
    procedure("Command_Test_Click", [&](Step& step) {
        step(1);
        vAction();
    });
}

void Form_Main::TrayMenu_Command_Test_Click() {
    procedure("TrayMenu_Command_Test_Click", [&](Step& step) {
        step(1);
        vAction();
    });
}

void Form_Main::Option_Melody_Click() {
    procedure("Option_Melody_Click", [&](Step& step) {
        step(1);
        Text_Message.setEnabled(false);
        step(2);
        Combo_Percents.setEnabled(false);
    });
}

void Form_Main::Option_Message_Click() {
    procedure("Option_Message_Click", [&](Step& step) {
        step(1);
        Text_Message.setEnabled(true);
        step(2);
        Combo_Percents.setEnabled(false);
    });
}

void Form_Main::Option_Volume_Click() {
    procedure("Option_Volume_Click", [&](Step& step) {
        step(1);
        Text_Message.setEnabled(false);
        step(2);
        Combo_Percents.setEnabled(true);
    });
}

}  // namespace tivora
