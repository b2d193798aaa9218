// Form_Help: the help text, to read and to print; while it is open the main window takes no input.
// It prints through a common-dialog object and a hidden picture box of its own, so that printing
// works as long as the window is open, also after the main window has gone.
#pragma once

#include <memory>

#include "base/report.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "main_window/form_main.h"
#include "platform/platform.h"

namespace tivora {

class Form_Help : public forms::Form {
public:
    Form_Help(platform::Platform& platform, ErrorReporter& reporter, Form_Main& main);

    forms::TextBox Textbox_Help;
    forms::CommandButton Command_Print_Help;
    forms::PictureBox Picture_Print;

    void Form_Load();
    void Command_Print_Help_Click();
    void Form_Unload(int& Cancel);

private:
    template <class Body>
    bool procedure(std::string_view name, Body&& body) {
        return trap(reporter_, name, ReportForm::UnlessZeroOr364, std::forward<Body>(body));
    }

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    Form_Main& main_;
    std::shared_ptr<Cl_Module_CommonDialog> printing_;
    forms::UnloadMode closingMode_ = forms::UnloadMode::ControlMenu;
};

}  // namespace tivora
