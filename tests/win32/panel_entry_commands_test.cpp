// The entry commands against the real panel and list view, with the editing dialogs
// answered by the test: Add, Built-in, Delete and Properties keep the rows, the entries,
// the hotkeys and the list file in step; files dropped on the list.

#include "panel_test_support.h"

#include "dialogs/act_dlg.h"
#include "dialogs/run_info.h"
#include "engine/launch_target.h"
#include "res/resource.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

const unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;
const int kCodeCtrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
const char kBuiltInToken[] = "$ZELO.TW.ACT~allow_shutdown$";

// The panel with its editing dialogs answered: `answer` sees each dialog the commands open,
// fills its result fields and returns the end code.
class AnsweringPanel : public ScriptedPanel {
public:
    using ScriptedPanel::ScriptedPanel;
    std::function<INT_PTR(CDialog&)> answer;
    int dialogs = 0;

    INT_PTR RunDialog(CDialog& dialog) override {
        ++dialogs;
        return answer ? answer(dialog) : IDCANCEL;
    }
    void SetMark(int row) { m_List.SetSelectionMark(row); }
};

// Answers the program entry dialog with `entry` (or cancels without one).
std::function<INT_PTR(CDialog&)> RunInfoAnswer(const HotKeyEntry* entry, int* seen = nullptr) {
    return [entry, seen](CDialog& dialog) -> INT_PTR {
        CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
        EXPECT_NE(nullptr, info) << "the program entry dialog";
        if (info == nullptr) return IDCANCEL;
        if (seen) ++*seen;
        if (entry == nullptr) return IDCANCEL;
        info->m_entry = *entry;
        return IDOK;
    };
}

std::function<INT_PTR(CDialog&)> ActAnswer(const HotKeyEntry& choice) {
    return [choice](CDialog& dialog) -> INT_PTR {
        CAct* act = dynamic_cast<CAct*>(&dialog);
        EXPECT_NE(nullptr, act) << "the built-in action dialog";
        if (act == nullptr) return IDCANCEL;
        PickBuiltInAction(*act, choice);
        return IDOK;
    };
}

// Properties answered with a new hotkey and nothing else changed.
std::function<INT_PTR(CDialog&)> NewHotKeyAnswer(int code, const std::string& keydes) {
    return [code, keydes](CDialog& dialog) -> INT_PTR {
        CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
        if (info == nullptr) return IDCANCEL;
        info->m_entry.hotkey = code;
        info->m_entry.keydes = keydes;
        return IDOK;
    };
}

std::string Shell32() {
    char directory[MAX_PATH] = {};
    ::GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\shell32.dll";
}

HotKeyEntry ProgramEntry(const std::string& name, char key) {
    HotKeyEntry entry;
    entry.name = name;
    entry.path = "C:\\程序\\" + name + ".exe";
    entry.icon = Shell32();
    entry.iconint = 5;
    entry.workdir = "C:\\程序";
    entry.info = "第一行\r\n第二行";
    entry.hotkey = key ? kCodeCtrlAlt | key : 0;
    entry.keydes = key ? std::string("Ctrl + Alt + ") + key : "无";
    return entry;
}

ListSection SectionOf(const HotKeyEntry& e) {
    std::string info = e.info;
    for (size_t at; (at = info.find("\r\n")) != std::string::npos;)
        info.replace(at, 2, "`@`");
    return {
        e.name,    e.path, std::to_string(e.hotkey), std::to_string(e.iconint), e.icon, e.keydes,
        e.workdir, info};
}

std::vector<ListSection> Plus(std::vector<ListSection> sections, const ListSection& more) {
    sections.push_back(more);
    return sections;
}

FILETIME WriteTime(const std::string& file) {
    FILETIME time = {};
    HANDLE h = ::CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::GetFileTime(h, nullptr, nullptr, &time);
        ::CloseHandle(h);
    }
    return time;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

class PanelEntryCommands : public PanelTest {
protected:
    int RunAnswering(const std::function<void(AnsweringPanel&)>& script) {
        AnsweringPanel panel(system, allowShutdown);
        panel.script = [&] { script(panel); };
        CDialog::SetMainWnd(&panel);
        const int result = static_cast<int>(panel.DoModal());
        CDialog::SetMainWnd(nullptr);
        return result;
    }

    // A key press as the system delivers it: the id holding the combination, if any.
    void Press(ScriptedPanel& p, unsigned vk) {
        for (const auto& held : system.hotkeys) {
            if (held.second == std::make_pair(kCtrlAlt, vk)) {
                p.PostMessage(WM_HOTKEY, static_cast<WPARAM>(held.first), MAKELPARAM(kCtrlAlt, vk));
                p.Pump(50);
                return;
            }
        }
    }
    int HolderOf(unsigned vk) const {
        for (const auto& held : system.hotkeys)
            if (held.second == std::make_pair(kCtrlAlt, vk)) return held.first;
        return -1;
    }
};

// Each row's picture in both sizes is its own entry's icon, or none when the file has none.
void ExpectEveryRowShowsItsOwnIcon(ScriptedPanel& p) {
    ASSERT_EQ(static_cast<int>(p.m_entries.size()), p.RowCount());
    for (int row = 0; row < p.RowCount(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const HotKeyEntry& entry = p.Entry(row);
        const int image = p.RowImage(row);
        const auto expected32 = ExpectedImage(entry.icon, entry.iconint, 32);
        if (expected32.empty()) {
            EXPECT_TRUE(image < 0 || image >= p.m_ImageLarge.GetImageCount()) << image;
            continue;
        }
        ASSERT_TRUE(image >= 0 && image < p.m_ImageLarge.GetImageCount()) << image;
        EXPECT_EQ(expected32, DrawnImage(p.m_ImageLarge.GetSafeHandle(), image));
        EXPECT_EQ(ExpectedImage(entry.icon, entry.iconint, 16),
                  DrawnImage(p.m_ImageSmall.GetSafeHandle(), image));
    }
}

TEST_F(PanelEntryCommands, AddShowsRegistersAndWritesTheEntryAndItsHotkeyLaunchesAtOnce) {
    const HotKeyEntry added = ProgramEntry("新程序", 'P');
    int seen = 0;

    RunAnswering([&](AnsweringPanel& p) {
        p.answer = RunInfoAnswer(nullptr, &seen);
        p.Command(ID_LIST_ADD);
        EXPECT_EQ(3, p.RowCount()) << "Cancel adds nothing";

        p.answer = RunInfoAnswer(&added, &seen);
        p.Command(IDC_BTN_ADD);
        ASSERT_EQ(4, p.RowCount());
        ASSERT_EQ(4u, p.m_entries.size());
        EXPECT_EQ(13, p.Entry(3).id) << "numbered after the three read at start-up";
        EXPECT_FALSE(p.Entry(3).builtin);
        const char* texts[] = {"新程序", "Ctrl + Alt + P", "C:\\程序\\新程序.exe", "C:\\程序",
                               "第一行\r\n第二行"};
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(texts[column], p.Text(3, column));
        EXPECT_EQ(std::make_pair(kCtrlAlt, static_cast<unsigned>('P')), system.hotkeys[13]);
        ExpectEveryRowShowsItsOwnIcon(p);

        Press(p, 'P');
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ(added.path, system.opened[0].file);
        EXPECT_EQ(added.workdir, system.opened[0].directory);
    });

    EXPECT_EQ(2, seen);
    EXPECT_TRUE(system.boxes.empty());
    EXPECT_EQ(ListFileText(Plus(StandardSections(), SectionOf(added)), 4), ReadFileText("list.map"));
}

TEST_F(PanelEntryCommands, AddWhileHotkeysAreOffRegistersOnlyAtSwitchOn) {
    const HotKeyEntry added = ProgramEntry("后加", 'P');

    RunAnswering([&](AnsweringPanel& p) {
        p.Command(IDC_BTN_HOTKEYS_OFF);
        p.answer = RunInfoAnswer(&added);
        p.Command(IDC_BTN_ADD);
        ASSERT_EQ(4u, p.m_entries.size());
        EXPECT_EQ(-1, HolderOf('P'));
        Press(p, 'P');
        EXPECT_TRUE(system.opened.empty());

        p.Command(IDC_BTN_HOTKEYS_ON);
        EXPECT_EQ(13, HolderOf('P'));
        Press(p, 'P');
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ(added.path, system.opened[0].file);
    });
}

TEST_F(PanelEntryCommands, PropertiesWithoutChangeOrCancelledWritesNothing) {
    const std::string before = ReadFileText("list.map");
    const FILETIME written = WriteTime("list.map");
    ::Sleep(50);

    RunAnswering([&](AnsweringPanel& p) {
        p.SetMark(0);
        // OK on the copy the dialog was given.
        p.answer = [](CDialog& dialog) -> INT_PTR {
            return dynamic_cast<CRunInfo*>(&dialog) ? IDOK : IDCANCEL;
        };
        p.Command(IDC_BTN_PROPERTIES);
        p.answer = RunInfoAnswer(nullptr);
        p.Command(ID_LIST_PROPERTIES);
        EXPECT_EQ(2, p.dialogs);
        EXPECT_EQ("记事本", p.Text(0, 0));
        EXPECT_EQ(10, HolderOf('N'));
    });

    EXPECT_EQ(before, ReadFileText("list.map"));
    EXPECT_TRUE(SameTime(written, WriteTime("list.map")));
    EXPECT_TRUE(system.boxes.empty());
}

// The dialog starts from the entry itself, and a new hotkey moves to the entry's own id,
// even while the hotkeys are switched off.
TEST_F(PanelEntryCommands, PropertiesMovesTheHotkeyUnderTheSameIdAndRewritesRowAndFile) {
    RunAnswering([&](AnsweringPanel& p) {
        HotKeyEntry changed;
        p.answer = [&](CDialog& dialog) -> INT_PTR {
            CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
            if (info == nullptr) return IDCANCEL;
            EXPECT_EQ(p.Entry(0).path, info->m_entry.path);
            EXPECT_EQ(10, info->m_entry.id);
            info->m_entry.hotkey = kCodeCtrlAlt | 'Q';
            info->m_entry.keydes = "Ctrl + Alt + Q";
            info->m_entry.name = "写字板";
            changed = info->m_entry;
            return IDOK;
        };
        p.SetMark(0);
        p.Command(ID_LIST_PROPERTIES);

        EXPECT_EQ(10, p.Entry(0).id);
        EXPECT_EQ(10, HolderOf('Q'));
        EXPECT_EQ(-1, HolderOf('N')) << "the old combination is free";
        EXPECT_EQ("写字板", p.Text(0, 0));
        EXPECT_EQ("Ctrl + Alt + Q", p.Text(0, 1));
        Press(p, 'N');
        EXPECT_TRUE(system.opened.empty());
        Press(p, 'Q');
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ("C:\\windows\\notepad.exe", system.opened[0].file);
        std::vector<ListSection> expected = StandardSections();
        expected[0] = SectionOf(changed);
        EXPECT_EQ(ListFileText(expected, 3), ReadFileText("list.map"));

        // Off: the built-in row's new key is registered all the same.
        p.Command(IDC_BTN_HOTKEYS_OFF);
        p.answer = NewHotKeyAnswer(kCodeCtrlAlt | 'W', "Ctrl + Alt + W");
        p.SetMark(2);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ(12, HolderOf('W'));
        EXPECT_TRUE(p.Entry(2).builtin) << "editing keeps the built-in flag";
    });
    EXPECT_TRUE(system.boxes.empty());
}

// A launch while the dialog is open sets or clears the row's failure mark; OK keeps what
// that launch left, not what the dialog was opened with.
TEST_F(PanelEntryCommands, PropertiesKeepsTheFailureMarkOfTheLiveEntry) {
    RunAnswering([&](AnsweringPanel& p) {
        for (const unsigned long during : {tw::kErrFileNotFound, tw::kLaunchOk}) {
            const std::string note = "changed " + std::to_string(during);
            p.answer = [&](CDialog& dialog) -> INT_PTR {
                CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
                if (info == nullptr) return IDCANCEL;
                system.launchResult = during;
                p.PreTranslateHotKey(WM_HOTKEY, 10);
                info->m_entry.info = note;
                return IDOK;
            };
            p.SetMark(0);
            p.Command(ID_LIST_PROPERTIES);
            EXPECT_EQ(note, p.Entry(0).info);
            EXPECT_EQ(LaunchFailureText(during), p.Entry(0).launchError);
        }
    });
}

TEST_F(PanelEntryCommands, DeleteOfTheSecondOfTwoEqualRowsRemovesTheSecondEntryAndRow) {
    HotKeyEntry first = ProgramEntry("同名", 'N');
    HotKeyEntry second = first;
    second.path = "C:\\另一个\\程序.exe";
    WriteFileText("list.map", ListFileText({SectionOf(first), SectionOf(second)}, 2));

    RunAnswering([&](AnsweringPanel& p) {
        ASSERT_EQ(2, p.RowCount());
        EXPECT_EQ(10, HolderOf('N')) << "the second registration is refused";
        p.SetMark(1);
        p.Command(IDC_BTN_DELETE);
        ASSERT_EQ(1u, p.m_entries.size());
        EXPECT_EQ(first.path, p.Entry(0).path);
        ASSERT_EQ(1, p.RowCount());
        EXPECT_EQ(first.path, p.Text(0, 2));
        EXPECT_EQ(10, HolderOf('N'));
    });

    EXPECT_EQ(ListFileText({SectionOf(first)}, 1), ReadFileText("list.map"));
    ASSERT_EQ(1u, system.boxes.size()) << "only the refusal at start-up";
    EXPECT_EQ("失败", system.boxes[0].caption);
}

// One program added twice with other arguments: Run and the box of the second row act on
// the second entry, whatever the first shares with it.
TEST_F(PanelEntryCommands, EachOfTwoEqualRowsRunsAndSwitchesItsOwnEntry) {
    HotKeyEntry twin = ProgramEntry("同名", 0);
    RunAnswering([&](AnsweringPanel& p) {
        for (const char* args : {"一", "二"}) {
            twin.args = args;
            p.AddEntry(twin);
        }
        p.SetMark(4);
        p.Command(ID_LIST_RUN);
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ("二", system.opened[0].parameters);

        ClickRowBox(p.m_List.m_hWnd, 4);
        p.Pump(100);
        EXPECT_TRUE(p.Entry(3).enabled);
        EXPECT_FALSE(p.Entry(4).enabled);
        const std::string file = ReadFileText("list.map");
        const size_t off = file.find("disabled=1");
        EXPECT_TRUE(off != std::string::npos && off > file.find("[run5]") &&
                    off == file.rfind("disabled=1"))
            << file;
    });
}

// The row may differ in case or share a name's beginning with another row: the changed
// row is the built-in one, found exactly.
TEST_F(PanelEntryCommands, BuiltInBindsATokenOnceAndASecondChoiceOnlyMovesItsHotkey) {
    HotKeyEntry first;
    first.name = "允许关机";
    first.path = kBuiltInToken;
    first.icon = Shell32();
    first.iconint = 44;
    first.hotkey = kCodeCtrlAlt | 'A';
    first.keydes = "Ctrl + Alt + A";
    HotKeyEntry again = first;
    again.name = "别的名字";
    again.hotkey = kCodeCtrlAlt | 'B';
    again.keydes = "Ctrl + Alt + B";
    HotKeyEntry lookalike = ProgramEntry("允许关机助手", 0);
    FILETIME written = {};
    std::string bytes;

    RunAnswering([&](AnsweringPanel& p) {
        p.AddEntry(lookalike);
        p.answer = ActAnswer(first);
        p.Command(IDC_BTN_BUILTIN);
        ASSERT_EQ(5, p.RowCount());
        const HotKeyEntry& entry = p.Entry(4);
        EXPECT_TRUE(entry.builtin);
        EXPECT_EQ("内置对象", entry.info);
        EXPECT_EQ("_", entry.workdir);
        EXPECT_EQ(14, entry.id);
        EXPECT_EQ(14, HolderOf('A'));
        allowShutdown = 0;
        Press(p, 'A');
        EXPECT_EQ(1, allowShutdown) << "the allow action ran, not the shell";
        EXPECT_TRUE(system.opened.empty());

        p.answer = ActAnswer(again);
        p.Command(IDC_BTN_BUILTIN);
        ASSERT_EQ(5, p.RowCount());
        ASSERT_EQ(5u, p.m_entries.size());
        EXPECT_EQ("允许关机", p.Entry(4).name) << "only hotkey and key description change";
        EXPECT_EQ(kCodeCtrlAlt | 'B', p.Entry(4).hotkey);
        EXPECT_EQ("Ctrl + Alt + B", p.Text(4, 1));
        EXPECT_EQ("无", p.Text(3, 1)) << "the look-alike row keeps its key";
        EXPECT_EQ(14, HolderOf('B'));
        EXPECT_EQ(-1, HolderOf('A'));
        bytes = ReadFileText("list.map");
        written = WriteTime("list.map");
        ::Sleep(50);
        p.Command(IDC_BTN_BUILTIN); // the same hotkey once more: nothing changes
    });

    EXPECT_EQ(bytes, ReadFileText("list.map"));
    EXPECT_TRUE(SameTime(written, WriteTime("list.map")));
    HotKeyEntry stored;
    stored.name = first.name;
    stored.path = first.path;
    stored.icon = first.icon;
    stored.iconint = 44;
    stored.hotkey = again.hotkey;
    stored.keydes = again.keydes;
    stored.workdir = "_";
    stored.info = "内置对象";
    EXPECT_EQ(
        ListFileText(Plus(Plus(StandardSections(), SectionOf(lookalike)), SectionOf(stored)), 5),
        bytes);
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(PanelEntryCommands, EveryRowKeepsItsOwnIconThroughDeletesAddsAndIconChanges) {
    RunAnswering([&](AnsweringPanel& p) {
        p.SetMark(0);
        p.Command(IDC_BTN_DELETE);
        ExpectEveryRowShowsItsOwnIcon(p);

        HotKeyEntry added = ProgramEntry("新", 'P');
        p.answer = RunInfoAnswer(&added);
        p.Command(IDC_BTN_ADD);
        ExpectEveryRowShowsItsOwnIcon(p);
        added.iconint = 3; // the same picture as the built-in row
        added.name = "再一个";
        added.hotkey = 0;
        added.keydes = "无";
        p.Command(IDC_BTN_ADD);
        ExpectEveryRowShowsItsOwnIcon(p);

        // A new icon for the row of the no-icon file, then for the built-in row: the
        // rows that showed the same picture keep it.
        p.answer = [](CDialog& dialog) -> INT_PTR {
            CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
            if (info == nullptr) return IDCANCEL;
            info->m_entry.icon = ThisProgram();
            info->m_entry.iconint = 0;
            return IDOK;
        };
        for (int row : {0, 1}) {
            p.SetMark(row);
            p.Command(IDC_BTN_PROPERTIES);
            ExpectEveryRowShowsItsOwnIcon(p);
        }
        EXPECT_EQ(ThisProgram(), p.Entry(1).icon);

        p.SetMark(2);
        p.Command(ID_LIST_DELETE);
        p.Command(IDC_BTN_ADD);
        ExpectEveryRowShowsItsOwnIcon(p);
        EXPECT_EQ(4, p.RowCount());
    });
}

TEST_F(PanelEntryCommands, RefusedRegistrationIsReportedOnceAndTheEntryIsStillAddedOrChanged) {
    const HotKeyEntry taken = ProgramEntry("冲突", 'N'); // row 0 holds Ctrl+Alt+N

    RunAnswering([&](AnsweringPanel& p) {
        p.answer = RunInfoAnswer(&taken);
        p.Command(IDC_BTN_ADD);
        ASSERT_EQ(4, p.RowCount());
        EXPECT_EQ("Ctrl + Alt + N", p.Text(3, 1));
        EXPECT_EQ(1u, system.boxes.size());

        p.answer = NewHotKeyAnswer(kCodeCtrlAlt | 'N', "Ctrl + Alt + N");
        p.SetMark(1);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ("Ctrl + Alt + N", p.Text(1, 1));
        EXPECT_EQ(kCodeCtrlAlt | 'N', p.Entry(1).hotkey);
        EXPECT_EQ(10, HolderOf('N'));
    });

    ASSERT_EQ(2u, system.boxes.size());
    for (const PanelSystem::Box& box : system.boxes) {
        EXPECT_EQ("注册系统热键失败，请选择其他热键！", box.text);
        EXPECT_EQ("失败", box.caption);
    }
    std::vector<ListSection> expected = Plus(StandardSections(), SectionOf(taken));
    expected[1].hotkey = std::to_string(kCodeCtrlAlt | 'N');
    expected[1].keydes = "Ctrl + Alt + N";
    EXPECT_EQ(ListFileText(expected, 4), ReadFileText("list.map"));
}

// 清空 run from a refusal message (from the tray, or behind a box without owner) finds
// Properties done, row, entry and file, and nothing is written after it.
TEST_F(PanelEntryCommands, ClearBehindARefusalMessageFindsPropertiesDone) {
    std::string written;
    RunAnswering([&](AnsweringPanel& p) {
        system.duringBox = [&](const PanelSystem::Box& box) {
            if (box.caption != "失败") return;
            written = ReadFileText("list.map");
            system.answers.push_front(IDYES);
            p.Command(IDC_BTN_CLEAR);
        };
        p.answer = NewHotKeyAnswer(kCodeCtrlAlt | 'N', "Ctrl + Alt + N"); // row 0 holds it
        p.SetMark(1);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ(0, p.RowCount());
    });
    std::vector<ListSection> edited = StandardSections();
    edited[1].hotkey = std::to_string(kCodeCtrlAlt | 'N');
    edited[1].keydes = "Ctrl + Alt + N";
    EXPECT_EQ(ListFileText(edited, 3), written);
    EXPECT_EQ(written, ReadFileText("list.map"));
}

// An entry left without an id by a list file that failed part-way keeps the id its new
// hotkey is registered under: the hotkey starts it and Delete releases it.
TEST_F(PanelEntryCommands, PropertiesOnAnEntryWithoutAnIdKeepsTheIdItsHotkeyGot) {
    const HotKeyEntry left = ProgramEntry("残留", 0);
    WriteFileText("list.map", ListFileText({SectionOf(left)}, 2)); // the second section is missing
    HotKeyEntry same = left;
    same.path = "C:\\另一个.exe";
    RunAnswering([&](AnsweringPanel& p) {
        p.answer = RunInfoAnswer(&same);
        p.Command(IDC_BTN_ADD); // takes id 10
        p.ShowAll();            // row 0 now shows the entry without an id
        p.answer = NewHotKeyAnswer(kCodeCtrlAlt | 'K', "Ctrl + Alt + K");
        p.SetMark(0);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ(11, p.Entry(0).id);
        EXPECT_EQ(11, HolderOf('K'));
        Press(p, 'K');
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ(left.path, system.opened[0].file);
        p.SetMark(0);
        p.Command(IDC_BTN_DELETE);
        EXPECT_EQ(-1, HolderOf('K'));
    });
}

// The old file stays whole; the panel, the list and the hotkeys stay as the command left
// them, so the next command that can write puts everything on disk.
TEST_F(PanelEntryCommands, AFailedWriteIsReportedOnceAndTheNextWriteCatchesUp) {
    const std::string before = ReadFileText("list.map");
    const HotKeyEntry added = ProgramEntry("写不进", 'P');

    RunAnswering([&](AnsweringPanel& p) {
        ::SetFileAttributesA("list.map", FILE_ATTRIBUTE_READONLY);
        p.answer = RunInfoAnswer(&added);
        p.Command(IDC_BTN_ADD);
        EXPECT_EQ(before, ReadFileText("list.map"));
        ASSERT_EQ(1u, system.boxes.size());
        EXPECT_EQ("不能打开文件进行写入!", system.boxes[0].text);
        EXPECT_EQ("ERROR", system.boxes[0].caption);
        EXPECT_EQ(4, p.RowCount());
        EXPECT_EQ(13, HolderOf('P'));

        ::SetFileAttributesA("list.map", FILE_ATTRIBUTE_NORMAL);
        p.SetMark(1);
        p.Command(IDC_BTN_DELETE);
    });

    EXPECT_EQ(1u, system.boxes.size());
    std::vector<ListSection> expected = StandardSections();
    expected.erase(expected.begin() + 1);
    expected.push_back(SectionOf(added));
    EXPECT_EQ(ListFileText(expected, 3), ReadFileText("list.map"));
}

// Every row shows an entry still in the list (the list holds no rows of its own), so a
// marked row can no longer name a vanished one.
TEST_F(PanelEntryCommands, CommandsOnNoMarkedRowDoNothing) {
    const std::string before = ReadFileText("list.map");

    RunAnswering([&](AnsweringPanel& p) {
        p.answer = RunInfoAnswer(nullptr);
        p.SetMark(-1);
        for (int id :
             {IDC_BTN_DELETE, ID_LIST_DELETE, IDC_BTN_PROPERTIES, ID_LIST_PROPERTIES, ID_LIST_RUN})
            p.Command(id);
        EXPECT_EQ(0, p.dialogs);
        EXPECT_EQ(3, p.RowCount());
        EXPECT_TRUE(system.boxes.empty());
        EXPECT_TRUE(system.opened.empty());
    });

    EXPECT_EQ(before, ReadFileText("list.map"));
}

// --- Files dropped on the list --------------------------------------------------------------

// A drop as the shell hands it over: ANSI paths after a DROPFILES header, each ended by a
// zero, the list ended by one more.
HDROP MakeDrop(const std::vector<std::string>& files) {
    std::wstring names;
    for (const std::string& f : files)
        names += Widen(f) + L'\0';
    names += L'\0';
    const size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool Released(HDROP drop) {
    return ::GlobalFlags(drop) == GMEM_INVALID_HANDLE;
}

class PanelDrop : public PanelEntryCommands {
protected:
    // Drops `files` on the list; the dialogs' working entries as the panel gave them.
    void Drop(AnsweringPanel& p, const std::vector<std::string>& files, INT_PTR end) {
        p.answer = [this, end](CDialog& dialog) -> INT_PTR {
            CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
            EXPECT_NE(nullptr, info);
            if (info == nullptr) return IDCANCEL;
            offered.push_back(info->m_entry);
            if (info->m_entry.name.empty()) info->m_entry.name = "拖入";
            return end;
        };
        HDROP drop = MakeDrop(files);
        ::SendMessageW(p.m_List.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_TRUE(Released(drop)) << "the drop handle is released";
    }
    std::vector<HotKeyEntry> offered;
};

TEST_F(PanelDrop, OnlyTheFirstFileOpensTheDialogAndOkAddsIt) {
    const std::string first = ThisProgram();
    RunAnswering([&](AnsweringPanel& p) {
        Drop(p, {}, IDOK);
        EXPECT_TRUE(offered.empty());

        Drop(p, {first, "C:\\windows\\notepad.exe", "C:\\b.txt"}, IDCANCEL);
        ASSERT_EQ(1u, offered.size());
        EXPECT_EQ(3, p.RowCount());

        Drop(p, {first, "C:\\windows\\notepad.exe"}, IDOK);
        ASSERT_EQ(2u, offered.size());
        EXPECT_EQ(first, offered[1].path);
        EXPECT_EQ(first, offered[1].icon);
        EXPECT_EQ(0, offered[1].iconint);
        EXPECT_EQ(0, offered[1].hotkey);
        ASSERT_EQ(4, p.RowCount());
        EXPECT_EQ(first, p.Text(3, 2));
        EXPECT_EQ(13, p.Entry(3).id);
        ExpectEveryRowShowsItsOwnIcon(p);
    });
    EXPECT_NE(std::string::npos, ReadFileText("list.map").find("count=4\r\n"));
    EXPECT_EQ(4u, system.hotkeys.size()) << "no hotkey chosen, none registered";
}

// A path fits the list file's 260-byte field with its terminator or is refused whole.
TEST_F(PanelDrop, APathOf259BytesIsTakenWholeAndALongerOneIsRefused) {
    std::string fits = "C:\\";
    while (FileTextLength(fits) + 2 <= 255)
        fits += "长";
    fits += ".exe"; // 3 + 2 * 126 + 4 = 259 bytes in the file
    ASSERT_EQ(259u, FileTextLength(fits));
    const std::string tooLong = fits.substr(0, 3) + "名" + fits.substr(3);

    RunAnswering([&](AnsweringPanel& p) {
        Drop(p, {fits}, IDCANCEL);
        ASSERT_EQ(1u, offered.size());
        EXPECT_EQ(fits, offered[0].path);

        Drop(p, {tooLong}, IDOK);
        EXPECT_EQ(1u, offered.size()) << "no dialog for a path that does not fit";
        EXPECT_EQ(3, p.RowCount());
    });
    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ("拖入的文件路径太长，不能添加！", system.boxes[0].text);
    EXPECT_EQ("TARNWICK INFORMATION", system.boxes[0].caption);
}

TEST_F(PanelDrop, AFolderGetsTheFolderIconAndItsWholeNameAShortcutItsTargetsIcon) {
    const std::string folder = scratch.Current() + "\\工具.集";
    ASSERT_TRUE(::CreateDirectoryW(Widen(folder).c_str(), nullptr));
    const std::string link = scratch.Current() + "\\记事本.lnk";
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    IShellLinkA* shellLink = nullptr;
    const CLSID shellLinkClass = {
        0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    ASSERT_TRUE(
        SUCCEEDED(::CoCreateInstance(shellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(IShellLinkA), reinterpret_cast<void**>(&shellLink))));
    shellLink->SetPath(ThisProgram().c_str());
    IPersistFile* file = nullptr;
    shellLink->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file));
    const HRESULT saved = file->Save(Widen(link).c_str(), TRUE);
    file->Release();
    shellLink->Release();
    ::CoUninitialize();
    ASSERT_TRUE(SUCCEEDED(saved));

    RunAnswering([&](AnsweringPanel& p) {
        Drop(p, {folder}, IDOK);
        Drop(p, {link}, IDOK);
        ASSERT_EQ(5, p.RowCount());
        ExpectEveryRowShowsItsOwnIcon(p);
    });

    ASSERT_EQ(2u, offered.size());
    EXPECT_EQ(folder, offered[0].path);
    EXPECT_EQ("工具.集", offered[0].name);
    EXPECT_EQ(Shell32(), offered[0].icon);
    EXPECT_EQ(3, offered[0].iconint);
    EXPECT_EQ(link, offered[1].path) << "the shortcut itself keeps its arguments";
    EXPECT_EQ(0, lstrcmpiA(ThisProgram().c_str(), offered[1].icon.c_str())) << offered[1].icon;
    ::RemoveDirectoryW(Widen(folder).c_str());

    HotKeyEntry root;
    root.path = "C:\\";
    CListCtrlFile::RefineDroppedEntry(root);
    EXPECT_EQ("C:", root.name);
}

} // namespace
