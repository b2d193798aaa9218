// Form_Help: the help text, to read and to print. While it is open the main window takes no
// input; closing it gives the main window back.
#pragma once

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
    forms::UnloadMode closingMode_ = forms::UnloadMode::ControlMenu;
};

}  // namespace tivora
