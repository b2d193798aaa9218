// The help window and the Help button, on the fake system.
#include <gtest/gtest.h>

#include "fakes/fake_picture_view.h"
#include "fakes/main_window_fixture.h"
#include "help/form_help.h"

namespace tivora {
namespace {

struct Help : fakes::MainWindowFixture {
    std::unique_ptr<Form_Help> help;
    Help() {
        form.Help_Text = "     Справка";
        form.load();  // no help file: start-up reports it, but the window is loaded
        fake.boxes.messages.clear();
        form.showHelpWindow = [this] {
            help = std::make_unique<Form_Help>(system, reporter, form);
            help->load();
            help->show();
        };
    }
};

TEST_F(Help, TheButtonDisablesTheMainWindowAndShowsTheTextUnderItsCaption) {
    form.Command_Help.click();
    ASSERT_TRUE(help);
    EXPECT_FALSE(form.enabled());
    EXPECT_EQ(help->caption(), "Tivora!!! v.1.1 - Справка");
    EXPECT_TRUE(help->Textbox_Help.locked);
    EXPECT_TRUE(help->Textbox_Help.multiLine);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Help, ClosingGivesTheMainWindowBackWithTheFocus) {
    form.Command_Help.click();
    EXPECT_TRUE(help->requestClose(forms::UnloadMode::ControlMenu));
    EXPECT_TRUE(form.enabled());
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Help, AHiddenMainWindowCannotTakeTheFocusAndThatIsReported) {
    form.Command_Help.click();
    form.hide();
    EXPECT_TRUE(help->requestClose(forms::UnloadMode::ControlMenu));
    EXPECT_TRUE(form.enabled());
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(
        fake.boxes.messages[0].text,
        "Ошибка функции Form_Unload№5, 'Недопустимый вызов процедуры или недопустимый аргумент', строка 3");
}

TEST_F(Help, AfterTheProgramWasEndedFromTheTrayTheHelpWindowClosesAlone) {
    form.Command_Help.click();
    form.TrayMenu_Command_Exit.click();
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(help->requestClose(forms::UnloadMode::ControlMenu));
    EXPECT_FALSE(form.enabled());  // untouched
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Help, AfterExitTheHelpIsPrintedThroughTheHelpWindowsOwnObjectAndPicture) {
    form.Command_Help.click();
    form.TrayMenu_Command_Exit.click();
    fakes::FakePictureView surface{fake.windows};
    help->Picture_Print.setView(&surface);
    fake.dialogs.printDialog = [this](auto& record) {
        return fake.dialogs.confirmPrintDialog(record, "PDF");
    };
    help->Command_Print_Help.click();
    EXPECT_EQ(fake.printer.sheets(), std::vector<std::vector<std::string>>{{"     Справка"}});
    EXPECT_FALSE(form.cCommonDialog);  // nothing made anew on the main window, which nothing would release
}

TEST_F(Help, AHelpWindowThatCannotOpenIsReportedAndLeavesTheMainWindowUsable) {
    for (int number : {err::OutOfMemory, err::ObjectUnloaded}) {
        fake.boxes.messages.clear();
        form.showHelpWindow = [number] { throw RuntimeError(number); };
        form.Command_Help.click();
        EXPECT_TRUE(form.enabled()) << number;
        if (number == err::ObjectUnloaded) {
            EXPECT_TRUE(fake.boxes.messages.empty());  // passed over in silence, as this window's reports are
        } else {
            ASSERT_EQ(fake.boxes.messages.size(), 1u);
            EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Command_Help_Click№7, '" +
                                                       errorDescription(err::OutOfMemory) + "', строка 2");
        }
    }
}

}  // namespace
}  // namespace tivora
