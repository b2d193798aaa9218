// The help window: its layout, its text and caption, printing, and giving the main window back.
#include "help/form_help.h"

#include "base/text.h"

namespace tivora {

Form_Help::Form_Help(platform::Platform& platform, ErrorReporter& reporter, Form_Main& main)
    : forms::Form("Form_Help", "Form_Help", 10230, 5895),
      Textbox_Help(*this, "Textbox_Help", {120, 120, 9975, 5175}, ""),
      Command_Print_Help(*this, "Command_Print_Help", {8520, 5400, 1575, 375}, "Печать справки"),
      Picture_Print(*this, "Picture_Print", {0, 0, 480, 225}),
      platform_(platform),
      reporter_(reporter),
      main_(main) {
    Textbox_Help.multiLine = true;
    Textbox_Help.verticalScrollBar = true;
    Textbox_Help.locked = true;
    Textbox_Help.font = {"Times New Roman", 12, 400, 204};
    Textbox_Help.accessibleName = "Справка";
    // On a screen too small for the window at its scale, the text fills what there is and the
    // button stays whole in its corner.
    Textbox_Help.followRight = Textbox_Help.followBottom = forms::Control::Follow::Stretch;
    Command_Print_Help.followRight = Command_Print_Help.followBottom = forms::Control::Follow::Move;
    Picture_Print.setVisible(false);
    Picture_Print.font = main.Picture_Print.font;  // the help is laid out as the main window's would be
    twipsPerPixelX = platform.screen.twipsPerPixelX();
    twipsPerPixelY = platform.screen.twipsPerPixelY();
    numberFormat = platform.regional.numberFormat();

    onLoad = [this] { Form_Load(); };
    onQueryUnload = [this](int&, forms::UnloadMode mode) { closingMode_ = mode; };
    onUnload = [this](int& cancel) { Form_Unload(cancel); };
    Command_Print_Help.onClick = [this] { Command_Print_Help_Click(); };
}

void Form_Help::Form_Load() {
    procedure("Form_Load", [&](Step& step) {
        step(1);
        Textbox_Help.setText(main_.Help_Text);
        step(2);
        setCaption(platform_.application.productName() + " - Справка");
    });
}

void Form_Help::Command_Print_Help_Click() {
    procedure("Command_Print_Help_Click", [&](Step& step) {
        step(1);
        if (!printing_) {
            printing_ = std::make_shared<Cl_Module_CommonDialog>(platform_, reporter_, *this, Picture_Print);
        }
        step(2);
        // Modal to this window: a second press cannot open a second dialog, nor can this window
        // close under it. The text selected in the box is offered as the selection.
        printing_->vPrint_To_Paper(
            *printing_, main_.Help_Text, this,
            characters(Textbox_Help.text(), static_cast<std::size_t>(Textbox_Help.selStart()),
                       static_cast<std::size_t>(Textbox_Help.selLength())));
    });
}

void Form_Help::Form_Unload(int&) {
    procedure("Form_Unload", [&](Step& step) {
        step(1);
        // The user may have ended the program from the tray meanwhile: then there is no main
        // window to give back, and this window closes alone.
        if (visible() && main_.loaded()) {
            step(2);
            main_.setEnabled(true);
            step(3);
            // At the session's end the focus goes nowhere, and a hidden main window must not
            // raise a report that would stand in the way of the saving.
            if (enabled() && closingMode_ != forms::UnloadMode::WindowsSession) {
                main_.setFocus();
            }
        }
    });
}

}  // namespace tivora
