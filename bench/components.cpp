// Component figures, natively and without sanitizers: building the help text at start-up from
// a large help file, and printing a long text into pages on the fake printer. Medians of runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "base/text.h"
#include "fakes/fake_picture_view.h"
#include "fakes/fake_platform.h"
#include "main_window/form_main.h"
#include "settings/ini_functions.h"
#include "version.h"

using namespace tivora;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A help file of about the given size: Russian lines of the usual length, CR LF, code page 1251.
std::string helpFile(size_t bytes) {
    const std::string line =
        utf8ToCp1251("Нажмите «Старт»: квадратик мигает, пока программа ждет назначенного времени.");
    std::string file;
    file.reserve(bytes + line.size() + 2);
    while (file.size() < bytes) {
        file += line;
        file += "\r\n";
    }
    return file;
}

// The main window on the recording fake of the system.
struct Program {
    fakes::FakePlatform fake;
    platform::Platform system = fake.platform();
    ErrorReporter reporter{platform::reportBox(fake.boxes, TIVORA_TITLE)};
    INI_Functions ini{system, reporter};
    Form_Main form{system, reporter, ini};
};

double secondsToLoad(size_t bytes) {
    std::vector<double> runs;
    std::string file = helpFile(bytes);
    for (int run = 0; run < 5; ++run) {
        Program program;
        auto& [fake, system, reporter, ini, form] = program;
        fake.files.disk.files[fake.application.folder + "\\Справка.txt"] = file;
        auto start = Clock::now();
        form.load();
        runs.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (!form.Form_Loaded) {
            std::fprintf(stderr, "start-up failed\n");
        }
    }
    return median(runs);
}

std::pair<double, size_t> secondsToPrint(size_t characterCount) {
    std::vector<double> runs;
    size_t pages = 0;
    std::string text;
    while (text.size() < characterCount * 2) {
        text += "Справка по программе Tivora!!! ";
    }
    text = characters(text, 0, characterCount);
    for (int run = 0; run < 5; ++run) {
        Program program;
        auto& [fake, system, reporter, ini, form] = program;
        fakes::FakePictureView view(fake.windows);
        form.Picture_Print.setView(&view);
        fake.dialogs.printDialog = [](platform::PrintDialogRecord&) { return true; };
        fake.memory.blocks.clear();
        auto start = Clock::now();
        form.commonDialog().vPrint_To_Paper(form.commonDialog(), text);
        runs.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        pages = fake.printer.sheets().size();
    }
    return {median(runs), pages};
}

}  // namespace

int main() {
    double oneMb = secondsToLoad(1 << 20);
    double tenMb = secondsToLoad(10 << 20);
    std::printf(
        "help text from a 1 MB file: %.3f s; from a 10 MB file: %.3f s (ratio %.1f; linear is 10; "
        "target under 0.2 s)\n",
        oneMb, tenMb, tenMb / oneMb);
    auto [small, smallPages] = secondsToPrint(100000);
    auto [large, largePages] = secondsToPrint(1000000);
    std::printf(
        "printing 100 000 characters: %zu pages in %.3f s (%.0f pages/s); 1 000 000 characters: %zu pages "
        "in %.3f s (%.0f pages/s)\n",
        smallPages, small, smallPages / small, largePages, large, largePages / large);
    return 0;
}
