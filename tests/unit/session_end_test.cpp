// The end of the Windows session while the program waits in one of its modal waits: the
// settings are saved once, with the values the user sees; a window whose start-up has not
// finished is not saved; nothing the wait still uses is freed under it.
#include <gtest/gtest.h>

#include "fakes/fake_picture_view.h"
#include "fakes/start_up_fixture.h"
#include "help/form_help.h"

namespace tivora {
namespace {

struct SessionEnd : fakes::StartUpFixture {
    const std::string settingsPath = folder + "\\Settings.ini";
    std::string savedAtTheEnd;  // the file as the session end left it
    int sessionEnds = 0;

    // Ends the session from inside a wait, as Windows does, and takes the file away afterwards:
    // anything that writes it again once the wait returns would make it reappear.
    void endSession() {
        ++sessionEnds;
        form.sessionEnding();
        savedAtTheEnd = settings();
        fake.files.disk.files.erase(settingsPath);
    }
    bool savedAgain() { return fake.files.disk.files.count(settingsPath) > 0; }
};

TEST_F(SessionEnd, DuringAStartUpErrorReportTheFileStaysAsItWas) {
    setHelpFile("");
    setSettings("[Form_Main]\r\nForm_Main_Text_Hour=21\r\n");  // the check boxes' keys are missing
    const std::string before = fake.files.disk.files[settingsPath];
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
        if (sessionEnds == 0) {
            ++sessionEnds;
            form.sessionEnding();
        }
    };
    startUp();
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Settings№13, 'Несоответствие типа', строка 8");
    EXPECT_EQ(fake.files.disk.files[settingsPath], before);
    EXPECT_EQ(notifyCalls(platform::notifyMessage::remove), 0);
}

TEST_F(SessionEnd, DuringTheCloseNoticeTheNoticeCountsAsShown) {
    setHelpFile("");
    startUp();
    form.Text_Minute.setText("45");
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) { endSession(); };
    EXPECT_FALSE(form.requestClose(forms::UnloadMode::ControlMenu));
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_NE(savedAtTheEnd.find("Form_Main_Check_Message_Exit=1\r\n"), std::string::npos);
    EXPECT_NE(savedAtTheEnd.find("Form_Main_Text_Minute=45\r\n"), std::string::npos);
    EXPECT_FALSE(savedAgain());
    EXPECT_TRUE(view.destroyed);
}

TEST_F(SessionEnd, DuringTheScheduledMessageAndTheTrayMenuItIsSavedOnce) {
    setHelpFile("");
    startUp();
    fake.clock.time = {2026, 12, 7, 22, 59, 30};
    clickStart();
    fake.boxes.onMessage = [&](const fakes::ShownMessage&) { endSession(); };
    tickAt({2026, 12, 7, 23, 0, 0});  // the action's box stands when the session ends
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_NE(savedAtTheEnd.find("Form_Main_Text_Hour=23\r\n"), std::string::npos);
    EXPECT_FALSE(form.Timer_Run.enabled());
    EXPECT_TRUE(fake.timers.pendingTimers.empty());
    EXPECT_FALSE(savedAgain());
    EXPECT_EQ(notifyCalls(platform::notifyMessage::remove), 1);
}

TEST_F(SessionEnd, WhileTheTrayMenuIsOpen) {
    setHelpFile("");
    startUp();
    view.choose = [&](forms::Menu&) {
        endSession();
        return nullptr;  // the menu went with the window
    };
    form.mouseMoved(0, 0, 0x205, 0);
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_NE(savedAtTheEnd.find("[Program_Settings]"), std::string::npos);
    EXPECT_FALSE(savedAgain());
    EXPECT_TRUE(fake.boxes.messages.empty());
}

struct SessionEndInDialogs : SessionEnd {
    fakes::FakePictureView pictureView{fake.windows};
    SessionEndInDialogs() {
        setHelpFile("");
        startUp();
        form.Picture_Print.setView(&pictureView);
    }
};

TEST_F(SessionEndInDialogs, ThePrintDialogKeepsItsObjectWhileTheProgramLetsGoOfIt) {
    std::unique_ptr<Form_Help> help;
    form.showHelpWindow = [&] {
        help = std::make_unique<Form_Help>(system, reporter, form);
        help->Picture_Print.setView(&pictureView);  // the help prints from a picture of its own
        help->load();
        help->show();
    };
    form.Command_Help.click();
    fake.dialogs.printDialog = [&](platform::PrintDialogRecord& record) {
        endSession();  // the unload releases the program's common-dialog object
        return fake.dialogs.confirmPrintDialog(record,
                                               "PDF");  // the user's confirmation still comes back to it
    };
    help->Command_Print_Help.click();
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_FALSE(form.cCommonDialog);
    EXPECT_EQ(fake.printer.sheets().size(), 1u);  // the print routine ran on, on a live object
    EXPECT_FALSE(savedAgain());
}

TEST_F(SessionEndInDialogs, TheOpenFileDialogKeepsItsObjectToo) {
    fake.dialogs.openDialog = [&](platform::OpenFileRecord& record) {
        endSession();
        record.lpstrFile = "C:\\a.txt";
        return true;
    };
    form.commonDialog().ShowOpen(form);
    ASSERT_EQ(sessionEnds, 1);
    EXPECT_FALSE(form.cCommonDialog);
    EXPECT_FALSE(savedAgain());
}

}  // namespace
}  // namespace tivora
