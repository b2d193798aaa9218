// One copy per program folder: a second start hands over to the running copy, which shows its
// window as the tray's "Показать" does.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/start_up_fixture.h"
#include "main_window/one_copy.h"

namespace tivora {
namespace {

using OneCopy = fakes::StartUpFixture;
const std::string& folder = fakes::StartUpFixture::folder;

int count(const std::vector<std::string>& lines, const std::string& start) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

TEST_F(OneCopy, ASecondStartHandsOverToTheRunningCopyAndTouchesNothing) {
    EXPECT_TRUE(startsAsTheFoldersOneCopy(system));  // the first start has the folder to itself
    fake.transcript.clear();
    fake.instances.claims = {false};
    fake.instances.showRequests = {true};
    fake.instances.claimsMade = 0;
    EXPECT_FALSE(startsAsTheFoldersOneCopy(system));
    // Only the claim and the request: no settings read, no icon, no registry tool, no message.
    EXPECT_EQ(fake.transcript,
              (std::vector<std::string>{"Claim " + folder, "Ask the copy of " + folder + " to show"}));
}

TEST_F(OneCopy, ACopyThatIsEndingIsWaitedForAndOneStillStartingIsAskedAgain) {
    // The running copy has no window any more and ends: this start takes the folder over.
    fake.instances.claims = {false, false, true};
    fake.instances.showRequests = {false, false};
    EXPECT_TRUE(startsAsTheFoldersOneCopy(system));
    EXPECT_EQ(count(fake.transcript, "Claim " + folder + " (waiting)"), 2);

    // The running copy has no window yet: asked again, it shows it.
    fake.transcript.clear();
    fake.instances.claims = {false, false};
    fake.instances.showRequests = {false, true};
    fake.instances.claimsMade = fake.instances.showRequestsMade = 0;
    EXPECT_FALSE(startsAsTheFoldersOneCopy(system));
    EXPECT_EQ(count(fake.transcript, "Ask the copy of "), 2);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(OneCopy, ACopyThatNeverAnswersIsReportedAndNoSecondCopyStarts) {
    fake.instances.claims.assign(1000, false);
    EXPECT_FALSE(startsAsTheFoldersOneCopy(system));
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text,
              "Программа уже запущена из этой папки, но не отвечает. Закройте ее и запустите снова.");
    EXPECT_EQ(fake.boxes.messages[0].title, "Tivora!!!");
    EXPECT_LT(fake.instances.claimsMade, fake.instances.claims.size());  // it gave up
}

TEST_F(OneCopy, TheWindowHiddenInTheTrayIsShownAsThePokazatEntryShowsIt) {
    setHelpFile("");
    setFullSettings({{"Check_Minimize", "1"}});
    startUp();
    fake.timers.runTimers();
    ASSERT_FALSE(form.visible());
    view.changes.clear();
    form.showForAnotherStart();
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Скрыть");
    EXPECT_EQ(view.changes.back(), forms::FormChange::Focus);  // in front
    EXPECT_EQ(form.Command_ON_OFF.tag(), "1");                 // the trigger runs on
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(OneCopy, AVisibleWindowStaysShownIsRestoredAndComesToTheFront) {
    setHelpFile("");
    startUp();
    form.TrayMenu_Command_View_Click();  // hidden to the tray: the entry reads "Показать"
    form.Command_Test_Click();           // the action shows the window and leaves the entry so
    fake.boxes.messages.clear();
    form.windowStateChanged(forms::WindowState::Minimized);
    view.changes.clear();
    form.showForAnotherStart();
    EXPECT_TRUE(form.visible());  // not toggled away
    EXPECT_EQ(form.windowState(), forms::WindowState::Normal);
    EXPECT_EQ(form.TrayMenu_Command_View.caption(), "Скрыть");
    EXPECT_EQ(view.changes.back(), forms::FormChange::Focus);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(OneCopy, WithTheHelpWindowOpenTheMainWindowIsShownAsTheTrayShowsIt) {
    setHelpFile("");
    startUp();
    form.showHelpWindow = [] {};
    form.Command_Help_Click();  // the help window stands in front; the main window takes no input
    form.showForAnotherStart();
    EXPECT_TRUE(form.visible());
    EXPECT_TRUE(fake.boxes.messages.empty());
    // Hidden meanwhile, it is shown as "Показать" shows it, which reports that it cannot take
    // the focus.
    form.hide();
    form.showForAnotherStart();
    EXPECT_TRUE(form.visible());
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_NE(fake.boxes.messages[0].text.find("TrayMenu_Command_View_Click"), std::string::npos);
}

TEST_F(OneCopy, ACopyOnItsWayOutShowsNothing) {
    setHelpFile("");
    startUp();
    form.TrayMenu_Command_View_Click();
    form.TrayMenu_Command_Exit_Click();
    form.showForAnotherStart();
    EXPECT_FALSE(form.visible());
    EXPECT_TRUE(fake.boxes.messages.empty());
}

}  // namespace
}  // namespace tivora
