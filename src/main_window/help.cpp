// The Help button (the main window takes no input while the help window is open), and the main
// window's common-dialog object, made when first needed.
#include "main_window/form_main.h"

namespace tivora {

void Form_Main::bindHelp() {
    Command_Help.onClick = [this] { Command_Help_Click(); };
}

Cl_Module_CommonDialog& Form_Main::commonDialog() {
    if (!cCommonDialog) {
        cCommonDialog = std::make_shared<Cl_Module_CommonDialog>(platform_, reporter_, *this, Picture_Print);
    }
    return *cCommonDialog;
}

void Form_Main::Command_Help_Click() {
    bool disabled = false;
    bool opened = trap(reporter_, "Command_Help_Click", ReportForm::UnlessZeroOr364, [&](Step& step) {
        step(1);
        setEnabled(false);
        disabled = true;
        step(2);
        if (!showHelpWindow) {
            throw RuntimeError(err::ObjectUnloaded);
        }
        showHelpWindow();
    });
    // Without a help window to close, a disabled main window could never take input again.
    if (!opened && disabled) {
        setEnabled(true);
    }
}

}  // namespace tivora
