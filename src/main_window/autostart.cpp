// "Загружать программу при загрузке Windows": the system's reg tool writes or removes the
// program's value under the current user's Run key.
#include "main_window/form_main.h"

namespace tivora {

namespace {

constexpr char runKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

void Form_Main::bindAutostart() {
    Check_AutoStart.onClick = [this] { Check_AutoStart_Click(); };
}

void Form_Main::Check_AutoStart_Click() {
    procedure("Check_AutoStart_Click", [&](Step& step) {
        step(2);
        int state = Check_AutoStart.value();
        std::string arguments;
        if (state == forms::CheckBox::Checked) {
            step(3);
            // The path is stored in quotation marks (written \" inside the quoted /d argument):
            // Windows starts an unquoted value by splitting it at blanks, so for a program in
            // C:\Program Files it would try C:\Program.exe first.
            std::string path =
                platform_.application.programFolder() + "\\" + platform_.application.exeName() + ".exe";
            arguments = "add " + quoted(runKey) + " /v " + quoted(caption()) + " /t REG_SZ /d " +
                        quoted("\\\"" + path + "\\\"") + " /f";
        } else {
            step(4);
            arguments = "delete " + quoted(runKey) + " /v " + quoted(caption()) + " /f";
        }
        // The system's own reg tool: a reg.exe lying in the program's folder or in the folder it
        // was started from (where a downloaded zip was unpacked) must not run in its place.
        platform_.processes.startSystemTool("reg.exe", arguments, platform::WindowStyle::MinimizedFocus);
    });
}

}  // namespace tivora
