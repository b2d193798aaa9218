// "Загружать программу при загрузке Windows": the system's reg tool writes or removes this copy's
// value under the current user's Run key (and an earlier version's that starts it), never another
// copy's; the box shows what Windows will do at logon, Task Manager's switch counted.
#include "base/text.h"
#include "main_window/form_main.h"

namespace tivora {

namespace {

constexpr char runKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager's Startup tab and Settings keep the user's "off" for a Run value.
constexpr char startupListKey[] =
    "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// One argument of a command line, as the started tool reads it back whole: in quotation marks,
// a quotation mark inside written \" (and the backslashes before one doubled).
std::string quoted(const std::string& text) {
    std::string argument = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        argument.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        argument += c;
    }
    argument.append(2 * backslashes, '\\');
    return argument + "\"";
}

// The program a Run value's command starts: its path in quotation marks, or, unquoted (as
// earlier versions and other tools write it), the path up to ".exe", else up to the first blank.
std::string startedProgram(std::string_view command) {
    command = trimBlanks(command);
    if (command.starts_with('"')) {
        command.remove_prefix(1);
        return std::string(command.substr(0, command.find('"')));
    }
    const std::string folded = foldCase(command);
    for (size_t at = folded.find(".exe"); at != std::string::npos; at = folded.find(".exe", at + 1)) {
        if (at + 4 == folded.size() || folded[at + 4] == ' ') {
            return std::string(command.substr(0, at + 4));  // folding keeps every letter's length
        }
    }
    return std::string(command.substr(0, command.find(' ')));
}

}  // namespace

void Form_Main::bindAutostart() {
    Check_AutoStart.onClick = [this] { Check_AutoStart_Click(); };
}

std::string Form_Main::programPath() {
    return platform_.application.programFolder() + "\\" + platform_.application.exeName() + ".exe";
}

// Whether a Run value's command starts this program file, by whatever path it names it (a share
// now mapped to a drive, an environment variable, short names): the file's own key where it is
// there to ask, the text otherwise.
bool Form_Main::startsThisProgram(const std::string& command) {
    const std::string started = startedProgram(command);
    const std::string theirs = platform_.runKey.programFileKey(started);
    const std::string ours = platform_.runKey.programFileKey(programPath());
    return !theirs.empty() && !ours.empty() ? theirs == ours : foldCase(started) == foldCase(programPath());
}

// Whether a Run value's command starts a program file that is there other than this one: a copy
// in another folder, or another program, whose value this copy leaves alone.
bool Form_Main::startsAnotherProgram(const std::string& command) {
    return !platform_.runKey.programFileKey(startedProgram(command)).empty() && !startsThisProgram(command);
}

// This copy's Run value: named after the caption, as every version wrote it, unless that value
// starts another copy that is there (or this copy keeps its own already); then the caption and
// this copy's folder, so that the two stand apart in Task Manager's Startup tab.
std::string Form_Main::autostartName() {
    const std::string beside = caption() + " (" + platform_.application.programFolder() + ")";
    bool besideIt = false;
    for (const platform::RunKey::Value& value : platform_.runKey.runValues()) {
        if (foldCase(value.name) == foldCase(caption())) {
            if (startsThisProgram(value.command)) {
                return caption();
            }
            besideIt = besideIt || startsAnotherProgram(value.command);
        } else if (foldCase(value.name) == foldCase(beside) && startsThisProgram(value.command)) {
            besideIt = true;
        }
    }
    return besideIt ? beside : caption();
}

// The box shows what Windows will do at logon (Task Manager's switch may have changed since the
// save); only the box follows, the registry stays as the user left it. Just after a tick the reg
// tool may not have written yet, so only the startup list, which it does not touch, counts then.
void Form_Main::showAutostartAsWindowsWill() {
    const std::string name = autostartName();
    const bool switchedOff = platform_.runKey.startSwitchedOff(name);
    int shown = Check_AutoStart.value();
    if (shown == forms::CheckBox::Checked && switchedOff) {
        shown = forms::CheckBox::Unchecked;
    } else if (shown == forms::CheckBox::Unchecked && !switchedOff) {
        for (const platform::RunKey::Value& value : platform_.runKey.runValues()) {
            if (foldCase(value.name) == foldCase(name) && startsThisProgram(value.command)) {
                shown = forms::CheckBox::Checked;
            }
        }
    }
    if (Check_AutoStart.value() != shown) {
        autostartShownOnly_ = true;
        Check_AutoStart.setValue(shown);
        autostartShownOnly_ = false;
    }
}

void Form_Main::Check_AutoStart_Click() {
    if (autostartShownOnly_) {
        return;
    }
    procedure("Check_AutoStart_Click", [&](Step& step) {
        step(2);
        int state = Check_AutoStart.value();
        std::string arguments;
        const std::string path = programPath();
        const std::string name = autostartName();
        // A tick loaded from the settings file while the start is switched off in Task Manager
        // would undo the user's choice there; it only shows as Windows will act (right after the
        // load), and the Run value that Task Manager's entry stands on stays.
        const bool switchedOff = platform_.runKey.startSwitchedOff(name);
        if (state == forms::CheckBox::Checked && switchedOff && loadingSettings_) {
            return;
        }
        if (state == forms::CheckBox::Checked) {
            step(3);
            // The path is stored in quotation marks (written \" inside the quoted /d argument):
            // Windows starts an unquoted value by splitting it at blanks, so for a program in
            // C:\Program Files it would try C:\Program.exe first.
            arguments = "add " + quoted(runKey) + " /v " + quoted(name) + " /t REG_SZ /d " +
                        quoted("\"" + path + "\"") + " /f";
        } else {
            step(4);
            arguments = "delete " + quoted(runKey) + " /v " + quoted(name) + " /f";
        }
        // The system's own reg tool: a reg.exe lying in the program's folder or in the folder it
        // was started from (where a downloaded zip was unpacked) must not run in its place.
        platform_.processes.startSystemTool("reg.exe", arguments, platform::WindowStyle::MinimizedFocus);
        if (state == forms::CheckBox::Checked && switchedOff) {
            // The user's tick switches the start on in the startup list too.
            platform_.processes.startSystemTool(
                "reg.exe", "delete " + quoted(startupListKey) + " /v " + quoted(name) + " /f",
                platform::WindowStyle::MinimizedFocus);
        }
        step(5);
        // An earlier version's value ("Tivora!!! v.1.0") starting this same program would start it
        // twice at logon, and unticking would leave it: it goes. Other programs' values, and
        // copies in other folders, are left alone.
        for (const platform::RunKey::Value& value : platform_.runKey.runValues()) {
            if (foldCase(value.name) != foldCase(name) && startsThisProgram(value.command)) {
                platform_.processes.startSystemTool(
                    "reg.exe", "delete " + quoted(runKey) + " /v " + quoted(value.name) + " /f",
                    platform::WindowStyle::MinimizedFocus);
            }
        }
    });
}

}  // namespace tivora
