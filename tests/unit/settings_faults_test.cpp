// What the disk and other programs refuse: the settings file is afterwards either the old one or
// the whole new one, keeps what the user made of it, and the user is told when a change was not kept.
#include <gtest/gtest.h>

#include "fakes/start_up_fixture.h"

namespace tivora {
namespace {

using Marks = fakes::MemoryFileStore::Marks;
using Hold = fakes::MemoryFileStore::Hold;
namespace code = platform::fileError;

// Hidden, with an access list and a stream of its own: every save keeps them.
const Marks users{
    .hidden = true, .system = true, .access = "Анна: чтение и запись", .streams = "Zone.Identifier"};
constexpr int pause = INI_Functions::retryPauseMilliseconds;
// Each pause lasts two ticks of 15.625 ms (a request refused takes no time in the fake).
constexpr int pauses = INI_Functions::saveHoldMilliseconds * 1000 / 31250;

struct SettingsFaults : fakes::StartUpFixture {
    const std::string path = folder + "\\Settings.ini";
    const std::string sync = "D:\\Sync\\Tivora.ini";  // where a link may lead
    SettingsFaults() {
        setHelpFile("");
        setFullSettings({{"Text_Hour", "21"}});
        setSettings(settings() + "[Mine]\r\nnote=ours\r\n");  // a section the program does not write
        fake.files.disk.marks[path] = users;
        fake.clock.uptime = ((std::uint64_t{1} << 32) - 1500) * 1000;  // the tick count wraps within a wait
    }
    void TestBody() override {}  // each row of a table runs on a program of its own
    // Boxes shown but the closing notice.
    std::vector<std::string> told() {
        std::vector<std::string> texts;
        for (const auto& m : fake.boxes.messages) {
            m.text.starts_with("Программа при нажатии") ? void() : texts.push_back(m.text);
        }
        return texts;
    }
};

// The new file beside a settings file (of a file named so itself, after its name), and the old
// one's name on its way out.
std::string newOf(const std::string& file) {
    return file.ends_with(".new") ? file + ".new" : file.substr(0, file.size() - 4) + ".new";
}
std::string oldOf(const std::string& file) { return file.substr(0, file.size() - 1) + "~"; }

enum When { AtStart, AtExit, AtSessionEnd, ByWriteIni };
enum Disk {
    Writable,
    ReadOnlyFolder,
    ReadOnlyFile,
    Full,
    FullUnnoticed,
    NoFile,
    NoFolder,
    Linked,
    LinkedNew,
    LinkUnread,  // its final path is refused
    LinkGone,    // what it names is gone
    Scanned,
    LeftOver,    // a cut-off save's new file stands, held by a scanner on its removal
    Denied,      // its access list denies writing and removal
    ChangeOnly,  // on a share that withholds the right to change permissions
    HardLinked   // the file has another name too
};
enum Ending {
    Saved,
    Kept,
    NotCreated,
    Waiting,
    ReadOnly,
    LinkLost
};  // the file afterwards, and the report's end
// What ReplaceFileW answers, and MoveFileExW for the new file and for the old one, request by request.
struct Answers {
    std::deque<platform::FileError> replace{}, move{}, moveBack{};
};
struct Fault {
    const char* name;
    When at;
    Ending ends = Saved;
    platform::FileError error = 0;  // the reason told
    Hold hold{};                    // on Settings.ini; on the new file when Scanned
    Disk disk = Writable;
    Answers answers{};
    const char* message{};  // the message to save, when not the design's (a full disk: room for
    int room = 4;           // the old file and the copy's room/2 times its size, not the message)
};

TEST_F(SettingsFaults, TheFileIsTheOldOneOrTheWholeNewOneAndAFailureIsTold) {
    const std::string z(3000, 'z');
    const Fault faults[] = {
        {"held for the whole start", AtStart, Kept, 32, {-1}},
        {"held for a moment at start", AtStart, Saved, 0, {3}},
        {"held 3 s at start, inside its wait", AtStart, Saved, 0, {3000 / pause}},
        {"held at «Выход»", AtExit, Kept, 32, {-1}},
        {"held for a moment at «Выход»", AtExit, Saved, 0, {5}},
        // (The check of its rights is one request more.)
        {"held at «Выход» just shorter than its wait", AtExit, Saved, 0, {pauses + 1}},
        {"held at «Выход» just longer", AtExit, Kept, 32, {pauses + 2}},
        {"a scanner maps the file at «Выход»", AtExit, Saved, 0, {2, 1224}},
        {"an access list that forbids the replacement: not waited for", AtExit, Kept, 5, {}, Denied},
        {"no right to change permissions: saved, the folder's access list", AtExit, Saved, 0, {}, ChangeOnly},
        {"a file with another name: saved as one of its own, told", AtExit, Saved, 0, {}, HardLinked},
        {"a new file left, its name pending while held",
         AtExit,
         Saved,
         0,
         {2, 5, false, false, true},
         LeftOver},
        {"a new file left that cannot be removed: not waited for", AtExit, Kept, 5, {-1, 5}, LeftOver},
        {"access denied on the replacement, twice", AtExit, Saved, 0, {2, code::accessDenied, true}},
        {"a lock on the replacement, twice", AtExit, Saved, 0, {2, code::lockViolation, true}},
        {"a scanner looks at the new file after each write", AtExit, Saved, 0, {2, 32, false, true}, Scanned},
        {"a folder that cannot be written", AtExit, Kept, 5, {}, ReadOnlyFolder},
        {"nor a file there yet", AtExit, NotCreated, 5, {}, NoFolder},
        {"the first save", AtExit, Saved, 0, {}, NoFile},
        {"a file marked read-only: not written, not waited for", AtExit, ReadOnly, 0, {}, ReadOnlyFile},
        {"a file marked read-only as the session ends", AtSessionEnd, ReadOnly, 0, {}, ReadOnlyFile},
        {"a link: saved through to the file it names", AtExit, Saved, 0, {}, Linked},
        {"a link to a file named as the new one", AtExit, Saved, 0, {}, LinkedNew},
        {"a link whose final path is refused: not written", AtExit, LinkLost, 3, {}, LinkUnread},
        {"a link to a file that is gone: told, never saved", AtStart, NotCreated, 2, {}, LinkGone},
        {"a full disk at the long message", AtExit, Kept, 112, {}, Full, {}, z.c_str()},
        {"a full disk at the switch to UTF-16", AtExit, Kept, 112, {}, Full, {}, "Ұйықтау уақыты", 5},
        {"a full disk the profile writer overlooks", AtExit, Kept, 29, {}, FullUnnoticed, {}, z.c_str()},
        {"a full disk as the session ends", AtSessionEnd, Kept, 112, {}, Full, {}, z.c_str()},
        {"a message with blanks around it", AtExit, Saved, 0, {}, Writable, {}, "  Спать!  "},
        {"ReplaceFileW: the old file cannot go, once", AtExit, Saved, 0, {}, Writable, {{1175, 0}}},
        {"ReplaceFileW: the old file cannot go", AtExit, Kept, 1175, {}, Writable, {{1175}}},
        {"ReplaceFileW: the new one cannot come", AtExit, Kept, 1176, {}, Writable, {{1176}}},
        {"ReplaceFileW: half-way, finished by a move", AtExit, Saved, 0, {}, Writable, {{1177}}},
        {"ReplaceFileW: half-way, the new file held", AtExit, Saved, 0, {}, Writable, {{1177}, {32, 0}}},
        {"ReplaceFileW: half-way, the old file put back", AtExit, Kept, 5, {}, Writable, {{1177}, {5}}},
        {"ReplaceFileW: half-way, neither moves", AtExit, Waiting, 5, {}, Writable, {{1177}, {5}, {5}}},
        {"a link, half-way: no promise", AtExit, Waiting, 5, {}, Linked, {{1177}, {5}, {5}}},
        {"the switch to UTF-16 refused while held", ByWriteIni, Kept, 0, {1}, Writable, {}, "Ұйықтау"},
        {"an unreadable file and a write of another key", ByWriteIni, Kept, 0, {1}, Writable, {}, "1"},
    };
    for (const Fault& f : faults) {
        SettingsFaults t;
        auto& disk = t.fake.files.disk;
        const bool linked = f.disk >= Linked && f.disk <= LinkGone;
        const std::string target = linked ? (f.disk == LinkedNew ? "D:\\Sync\\Tivora.new" : t.sync) : t.path;
        if (linked || f.disk == NoFile || f.disk == NoFolder) {
            disk.files[target] = disk.files[t.path];
            linked ? void(disk.links[t.path] = target) : disk.drop(target);
            std::swap(disk.marks[target], disk.marks[t.path]);
            disk.files.erase(t.path);
            f.disk == LinkGone ? disk.drop(target) : void();
        }
        const std::string fresh = newOf(target), before = disk.files.count(target) ? disk.files[target] : "";
        auto set = [&] {
            disk.held[f.disk == Scanned || f.disk == LeftOver ? fresh : target] = f.hold;
            f.disk == LeftOver ? void(disk.files[fresh] = before) : void();
            f.disk == LinkUnread ? void(t.fake.files.finalPathRefused[t.path] = 3) : void();
            disk.marks[target].denies = f.disk == Denied;
            disk.readOnlyFolder = f.disk == ReadOnlyFolder || f.disk == NoFolder ? t.folder + "\\" : "";
            disk.changeOnlyFolder = f.disk == ChangeOnly ? t.folder + "\\" : "";
            f.disk == HardLinked ? void(disk.hardLinked.insert(target)) : void();
            disk.marks[target].readOnly = f.disk == ReadOnlyFile;
            disk.capacity =
                f.disk == Full || f.disk == FullUnnoticed ? f.room * before.size() / 2 + 100 : SIZE_MAX;
            disk.answers = {{"replace", f.answers.replace},
                            {"move " + fresh, f.answers.move},
                            {"move " + oldOf(target), f.answers.moveBack}};
            t.fake.files.profile.overlooksWriteErrors = f.disk == FullUnnoticed;
            t.form.Text_Message.setText(f.message && f.at != ByWriteIni ? f.message
                                                                        : t.form.Text_Message.text());
        };
        if (f.at == ByWriteIni) {
            set();
            EXPECT_FALSE(t.ini.WriteIni(t.path, "Form_Main", "Form_Main_Note", f.message)) << f.name;
            EXPECT_EQ(disk.files[t.path], before) << f.name;
            continue;
        }
        f.at == AtStart ? set() : void();
        t.startUp();
        t.form.Text_Minute.setText("45");
        f.at == AtStart ? void() : set();
        const int changes = disk.changes;
        f.at == AtSessionEnd ? t.form.sessionEnding() : t.form.TrayMenu_Command_Exit_Click();
        // The file saved whole and still the user's; or as it was (under the passing name while the
        // new one waits beside it); or none, as before. Nothing else left beside it.
        const std::string kept = f.ends == Waiting ? oldOf(target) : target;
        const std::string after = disk.files.count(kept) ? disk.files.at(kept) : "";
        if (f.ends == Saved) {
            EXPECT_NE(after.find("Form_Main_Text_Minute=45\r\n"), std::string::npos) << f.name;
            EXPECT_NE(after.find(before.empty() ? "[Program_Settings]" : "[Mine]\r\nnote=ours\r\n"),
                      std::string::npos)
                << f.name;
        } else {
            EXPECT_EQ(after, before) << f.name;
        }
        EXPECT_EQ(disk.exists(target), f.ends != Waiting && f.ends != NotCreated) << f.name;
        Marks marks = before.empty() || f.ends == Waiting ? Marks{} : users;
        marks.readOnly = f.disk == ReadOnlyFile;
        marks.denies = f.disk == Denied;
        marks.access = f.disk == ChangeOnly ? "" : marks.access;
        EXPECT_EQ(disk.marks[target], marks) << f.name;
        EXPECT_EQ(disk.links.count(t.path) > 0, linked) << f.name;
        const bool leftStays = f.disk == LeftOver && f.ends == Kept;
        EXPECT_EQ(disk.files.size(), 2u + (f.ends == Waiting || leftStays) - (f.ends == NotCreated))
            << f.name;
        if (f.ends == ReadOnly || f.ends == LinkLost || f.disk == Denied || (f.at == AtStart && f.error)) {
            EXPECT_EQ(disk.changes, changes) << f.name;  // not a byte written
        }
        if (f.ends == ReadOnly || f.ends == LinkLost || f.disk == Denied || f.disk == NoFolder || leftStays) {
            EXPECT_EQ(t.fake.clock.pausedMilliseconds, 0) << f.name;  // no request asked again
        }
        // One plain report, with the file, the system's reason and what the file is now.
        const std::vector<std::string> told = t.told();
        ASSERT_EQ(told.size(),
                  (f.error || f.ends == ReadOnly || f.disk == HardLinked) && f.at != AtSessionEnd)
            << f.name;
        const std::string reason =
            f.disk == HardLinked
                ? "Настройки сохранены в файл\n" + t.path + "\n\nУ этого файла были и другие имена"
            : f.ends == ReadOnly ? "Файл настроек\n" + t.path + "\nотмечен атрибутом «Только"
            : f.disk == LinkUnread || f.disk == LinkGone
                ? "Файл настроек\n" + t.path +
                      "\nявляется ссылкой, но определить файл, на который она указывает, не удалось:\n\n"
            : f.at == AtStart ? "Не удалось прочитать файл настроек\n" + t.path + "\n\n"
                              : "Не удалось сохранить настройки в файл\n" + t.path + "\n\n";
        const std::string ends[] = {
            "",
            "файл остался прежним.",
            "файл настроек не создан.",
            linked ? fresh + "." : fresh + "\nи будут взяты из него при следующем запуске программы.",
            "в него не записаны.",
            "в него не записаны."};
        EXPECT_TRUE(told.empty() || (told[0].starts_with(reason) &&
                                     (f.error == 0 || told[0].find("system error " + std::to_string(f.error) +
                                                                   "\n") == reason.size()) &&
                                     (f.disk == LinkGone ? told[0].ends_with("свои настройки.")
                                      : f.at == AtStart  ? true
                                                         : told[0].ends_with(ends[f.ends]))))
            << f.name << ": " << told[0];
    }
}

// A save cut off between its renames left no Settings.ini: what it left becomes Settings.ini.
TEST_F(SettingsFaults, ACutOffSaveIsFinishedAtTheNextStart) {
    struct Left {
        const char* name;
        const char *ini, *fresh, *earlier, *old;  // the hour each file holds; "cut": one cut short
        bool readOnlyFolder;
        const char* loads;                      // the hour the start loads
        bool told = false, keptBeside = false;  // a left-over not taken, kept beside the saved file
        platform::FileError moveRefused = 0;    // the new file's move, once, the folder writable
    };
    const Left rows[] = {
        {"the new file whole", nullptr, "22", nullptr, "21", false, "22"},
        {"an earlier version's new file", nullptr, nullptr, "22", nullptr, false, "22"},
        {"the new file cut short: the old one", nullptr, "cut", nullptr, "21", false, "21"},
        {"the new file's bytes lost: the old one", nullptr, "lost", nullptr, "21", false, "21"},
        {"nothing whole: the design's", nullptr, "cut", nullptr, nullptr, false, "23"},
        {"an older version's new file, a newer key missing", nullptr, "older", nullptr, "21", false, "22"},
        {"a new file in UTF-16, whole", nullptr, "wide", nullptr, "21", false, "22"},
        {"an old file alone, stale: not taken, then removed", nullptr, nullptr, nullptr, "21", false, "23"},
        {"an old file not whole, no Settings.ini: removed", nullptr, nullptr, nullptr, "cut", false, "23"},
        {"an old file beside a new one cut short: kept", nullptr, "cut", nullptr, "cut", false, "23", false,
         true},
        {"a new file beside Settings.ini stays", "21", "22", nullptr, nullptr, false, "21"},
        {"the new file cannot take the name: loaded, told, not saved over", nullptr, "22", nullptr, nullptr,
         true, "22", true},
        {"its move refused once, the folder writable: the same", nullptr, "22", nullptr, nullptr, false, "22",
         true, false, 5},
    };
    for (const Left& r : rows) {
        SettingsFaults t;
        auto& disk = t.fake.files.disk;
        // Each file as the program saves it; one cut short ends before the last key, one whose bytes
        // were lost holds zeros from a key on, an older version's lacks a key, one in UTF-16 has a
        // character of a zero byte (both 22).
        const std::pair<std::string, const char*> left[] = {
            {newOf(t.path), r.fresh}, {t.path + ".new", r.earlier}, {oldOf(t.path), r.old}, {t.path, r.ini}};
        for (const auto& [file, hour] : left) {
            const std::string how = hour ? hour : "";
            const bool cut = how == "cut" || how == "lost", older = how == "older" || how == "wide";
            hour ? t.setFullSettings({{"Text_Hour", cut ? "20" : older ? "22" : hour}}) : disk.drop(t.path);
            const std::string text = disk.files.count(t.path) ? disk.files[t.path] : "";
            const size_t at = text.find(how == "cut" ? "Form_Top"
                                        : older      ? "Form_Main_Text_Minute"
                                                     : "Form_Main_Text_Hour"),
                         end = text.find('\n', at) + 1;
            const std::string lost(text.size() - at, '\0');
            hour ? void(disk.files[file] =
                            how == "lost"   ? text.substr(0, at) + lost
                            : cut           ? text.substr(0, at)
                            : how == "wide" ? utf8ToMarkedText(cp1251ToUtf8(text) + "[Mine]\r\nnote=aЀ\r\n",
                                                               TextMark::Utf16Le)
                            : older         ? text.substr(0, at) + text.substr(end)
                                            : text)
                 : disk.drop(file);
        }
        const auto laid = disk.files;
        disk.readOnlyFolder = r.readOnlyFolder ? t.folder + "\\" : "";
        disk.answers["move " + newOf(t.path)] = {r.moveRefused, 0};
        t.startUp();
        EXPECT_EQ(t.form.Text_Hour.text(), r.loads) << r.name;
        EXPECT_EQ(t.told().size(), r.told ? 1u : 0u) << r.name;
        const bool promoted =
            !r.ini && !r.told && r.fresh && (r.loads == std::string(r.fresh) || r.loads == std::string("22"));
        EXPECT_EQ(disk.files.count(newOf(t.path)) > 0, r.fresh && !promoted) << r.name;  // else left alone
        t.form.Text_Minute.setText("45");
        t.form.TrayMenu_Command_Exit_Click();
        if (r.told) {
            EXPECT_EQ(disk.files, laid) << r.name;
            continue;
        }
        const std::string& bytes = disk.files[t.path];
        const std::string saved = textMark(bytes) == TextMark::None ? bytes : markedTextToUtf8(bytes);
        EXPECT_NE(saved.find("Form_Main_Text_Hour=" + std::string(r.loads)), std::string::npos) << r.name;
        EXPECT_NE(saved.find("Form_Main_Text_Minute=45"), std::string::npos) << r.name;
        EXPECT_EQ(disk.files.size(), 2u + r.keptBeside) << r.name;  // Settings.ini and the help file
        EXPECT_EQ(disk.files.count(oldOf(t.path)) > 0, r.keptBeside) << r.name;
    }
}

// The power fails after each change the save makes in turn, the rename whole (NTFS) or a removal
// and a move (FAT32, exFAT); the next start loads the old settings or the new ones, whole, and saves.
TEST_F(SettingsFaults, APowerCutAtAnyStepLeavesTheOldSettingsOrTheNewOnesWhole) {
    struct Cut {
        bool fat;
        int after;
    };
    std::vector<Cut> cuts;
    auto save = [](SettingsFaults& t, bool fat, int after) {
        t.fake.files.disk.renameInTwoSteps = fat;
        t.startUp();
        t.fake.files.disk.cutAfter = after < 0 ? -1 : t.fake.files.disk.changes + after;
        t.form.Text_Minute.setText("45");
        t.form.Text_Message.setText("новое");
        t.form.TrayMenu_Command_Exit_Click();
    };
    for (bool fat : {false, true}) {
        SettingsFaults whole;
        save(whole, fat, -1);
        for (int after = 1; after <= whole.fake.files.disk.changes; ++after) {
            cuts.push_back({fat, after});
        }
    }
    ASSERT_GE(cuts.size(), 2 * 20u);
    for (const Cut& c : cuts) {
        const std::string name =
            "cut after change " + std::to_string(c.after) + (c.fat ? " (FAT)" : " (NTFS)");
        SettingsFaults cut, next;
        save(cut, c.fat, c.after);
        auto& disk = next.fake.files.disk;
        std::tie(disk.files, disk.marks, disk.links) =
            std::tie(cut.fake.files.disk.files, cut.fake.files.disk.marks, cut.fake.files.disk.links);
        next.startUp();
        const std::string loaded = next.form.Text_Minute.text() + " " + next.form.Text_Message.text();
        EXPECT_TRUE(loaded == "00 x" || loaded == "45 новое") << name << ": " << loaded;
        next.form.Text_Hour.setText("20");
        next.form.TrayMenu_Command_Exit_Click();
        EXPECT_TRUE(next.told().empty()) << name << ": " << next.told()[0];
        EXPECT_NE(disk.files[next.path].find("Form_Main_Text_Hour=20"), std::string::npos) << name;
        EXPECT_EQ(disk.marks[next.path], users) << name;
        EXPECT_EQ(disk.files.size(), 2u) << name;
    }
}

TEST_F(SettingsFaults, AFileThatNamesItsEncodingKeepsItsTextThroughTheSwitchToUtf16) {
    for (TextMark mark : {TextMark::Utf8, TextMark::Utf16Be}) {
        SettingsFaults t;
        t.ini.Settings_File = t.path;
        t.fake.files.disk.files[t.path] = utf8ToMarkedText("[Mine]\r\nnote=Привет\r\n[Form_Main]\r\n", mark);
        t.form.Text_Message.setText("Ұйықтау уақыты");
        t.ini.Settings(INI_Functions::Save, t.form);
        ASSERT_EQ(textMark(t.fake.files.disk.files[t.path]), TextMark::Utf16Le);
        EXPECT_TRUE(markedTextToUtf8(t.fake.files.disk.files[t.path])
                        .starts_with("[Mine]\r\nnote=Привет\r\n[Form_Main]\r\n"));
        EXPECT_EQ(t.ini.ReadIni(t.path, "Form_Main", "Form_Main_Text_Message"), "Ұйықтау уақыты");
    }
}

}  // namespace
}  // namespace tivora
