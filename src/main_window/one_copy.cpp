// A second start from the program folder hands over to the copy that runs there: two copies would
// put up two tray icons, fire the daily action twice and, at their ends, each write its own values
// over the other's settings file.
#include "main_window/one_copy.h"

#include "main_window/form_main.h"
#include "version.h"

namespace tivora {

namespace {

// A copy that is still starting has no window to ask yet, and one that is ending has none any
// more: the second start asks again for a while, and takes the folder over once the other has
// ended.
constexpr int attempts = 20;
constexpr int waitBetweenAttempts = 250;  // milliseconds

constexpr char notAnswering[] =
    "Программа уже запущена из этой папки, но не отвечает. Закройте ее и запустите снова.";

}  // namespace

bool startsAsTheFoldersOneCopy(platform::Platform& platform) {
    const std::string folder = platform.application.programFolder();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (platform.instances.claimProgramFolder(folder, attempt == 0 ? 0 : waitBetweenAttempts)) {
            return true;
        }
        if (platform.instances.askRunningCopyToShow(folder)) {
            return false;
        }
    }
    platform.messageBoxes.show(notAnswering, TIVORA_TITLE);
    return false;
}

void Form_Main::showForAnotherStart() {
    // A copy on its way out shows nothing; it ends in a moment, and the new start takes over.
    if (!loaded() || Exit_Requested) {
        return;
    }
    if (!visible()) {
        // Hidden in the tray: exactly as the tray's "Показать" shows it.
        TrayMenu_Command_View_Click();
        return;
    }
    procedure("TrayMenu_Command_View_Click", [&](Step& step) {
        step(1);
        show();  // restored, should it be minimised
        step(2);
        // Shown by the daily action, the entry may still read "Показать": the window is visible.
        TrayMenu_Command_View.setCaption("Скрыть");
        step(3);
        // While the help window is open the main window takes no input, and the help window
        // stands in front of it already.
        if (enabled()) {
            setFocus();
        }
    });
}

}  // namespace tivora
