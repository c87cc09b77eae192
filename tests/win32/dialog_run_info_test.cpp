// The program entry dialog driven through its controls: what a dropped file and a browsed
// program give, the working directory's backslash, the text limits, OK with and without a
// hotkey or command, and the icon the display shows and releases.

#include "dialogs/icon_sel.h"
#include "dialogs/run_info.h"
#include "engine/hotkey_code.h"
#include "platform/win32/win32_system.h"
#include "storage/file_text.h"

#include "dialog_test_support.h"

#include <gtest/gtest.h>

namespace {

// The choosers answered by the test instead of a person.
class TestRunInfo : public Scripted<CRunInfo> {
public:
    using Scripted<CRunInfo>::Scripted;

    std::function<bool(std::string&)> commandFile;
    std::function<bool(std::string&)> folder;
    std::function<INT_PTR(CIconSel&)> picker;

protected:
    bool ChooseCommandFile(std::string& path) override {
        return commandFile ? commandFile(path) : false;
    }
    bool ChooseFolder(std::string& chosen) override { return folder ? folder(chosen) : false; }
    INT_PTR RunIconPicker(CIconSel& iconPicker) override {
        return picker ? picker(iconPicker) : IDCANCEL;
    }
};

class RunInfoTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
};

// Characters whose second byte in the list file is 0x5C, the backslash: inside they are
// whole characters like any other.
const std::string kShallow = "淺"; // 9C 5C
const std::string kCage = "籠";    // BB 5C
const std::string kPrayer = "禱";  // B6 5C

TEST_F(RunInfoTest, DroppedFileGivesItsNameUpToTheFirstDot) {
    CRunInfo notepad(std::string("C:\\Tools\\notepad.exe"), nullptr);
    EXPECT_TRUE(notepad.m_bHasEntry);
    EXPECT_EQ("notepad", notepad.m_entry.name);
    EXPECT_EQ("C:\\Tools\\notepad.exe", notepad.m_entry.path);
    EXPECT_EQ("C:\\Tools\\notepad.exe", notepad.m_entry.icon);
    EXPECT_EQ(0, notepad.m_entry.iconint);
    EXPECT_EQ("", notepad.m_entry.workdir);
    EXPECT_EQ("", notepad.m_entry.info);
    EXPECT_EQ("", notepad.m_entry.keydes);
    EXPECT_EQ(0, notepad.m_entry.hotkey);
    EXPECT_FALSE(notepad.m_entry.IsNumbered()); // the add operation numbers it
    EXPECT_FALSE(notepad.m_entry.builtin);

    // The folder's dot plays no part.
    EXPECT_EQ("setup", CRunInfo(std::string("C:\\x.y\\setup.v2.exe"), nullptr).m_entry.name);
    // Such a character is no backslash, in the folder or in the file name.
    const std::string gbk = "C:\\" + kShallow + ".y\\" + kCage + kPrayer + ".v2.exe";
    EXPECT_EQ(kCage + kPrayer, CRunInfo(gbk, nullptr).m_entry.name);
    EXPECT_EQ(kCage, CRunInfo("D:\\" + kCage + ".exe", nullptr).m_entry.name);
    // Without a dot the whole file name, something to recognise the entry by.
    EXPECT_EQ("make", CRunInfo(std::string("C:\\Tools\\make"), nullptr).m_entry.name);
    EXPECT_EQ("", CRunInfo(std::string("C:\\Tools\\"), nullptr).m_entry.name);
}

TEST_F(RunInfoTest, OpensShowingTheDroppedFileWithItsFirstIcon) {
    const std::string file = FileWithFiveIcons();
    TestRunInfo dialog(file, nullptr);
    HICON shown = nullptr;
    dialog.body = [&] {
        EXPECT_EQ(CRunInfo(file, nullptr).m_entry.name, dialog.Text(IDC_EDIT_NAME));
        EXPECT_EQ(file, dialog.Text(IDC_EDIT_COMMAND));
        EXPECT_EQ("", dialog.Text(IDC_EDIT_WORKDIR));
        EXPECT_EQ("", dialog.Text(IDC_EDIT_NOTE));
        EXPECT_EQ(0, ::SendMessageW(dialog.Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
        shown = dialog.ShownIcon(IDC_ICON_ENTRY);
        EXPECT_TRUE(IconAlive(shown));
        EXPECT_NE(nullptr, reinterpret_cast<HICON>(dialog.SendMessage(WM_GETICON, ICON_BIG)));
        dialog.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(IconAlive(shown)) << "the extracted icon is released with the dialog";
}

TEST_F(RunInfoTest, EditedEntryShowsEveryFieldAndComesBackWhole) {
    HotKeyEntry entry;
    entry.name = "记事本";
    entry.path = "C:\\Windows\\notepad.exe";
    entry.icon = FileWithFiveIcons();
    entry.iconint = 3;
    entry.workdir = "C:\\Temp\\";
    entry.info = "第一行\r\n第二行";
    entry.hotkey = MakeHotKeyCode('N', tw::kHotKeyfControl | tw::kHotKeyfAlt);
    entry.id = 17;
    entry.builtin = true;
    entry.args = "--profile \"%USERPROFILE%\\工作\"";
    entry.runas = true;
    entry.show = tw::WindowShow::Hidden;
    entry.ifRunning = IfRunning::LeaveAlone;
    Win32System system;
    entry.keydes = KeyDescription(system, entry.hotkey);

    TestRunInfo dialog(entry, nullptr);
    dialog.body = [&] {
        EXPECT_EQ(entry.name, dialog.Text(IDC_EDIT_NAME));
        EXPECT_EQ(entry.workdir, dialog.Text(IDC_EDIT_WORKDIR));
        EXPECT_EQ(entry.info, dialog.Text(IDC_EDIT_NOTE));
        EXPECT_EQ(entry.hotkey, ::SendMessageW(dialog.Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
        EXPECT_EQ(entry.args, dialog.Text(IDC_EDIT_ARGS));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog.m_hWnd, IDC_CHK_RUNAS));
        EXPECT_EQ("隐藏", CWnd::WindowText(dialog.Item(IDC_COMBO_WINDOW)));
        EXPECT_EQ("什么也不做", CWnd::WindowText(dialog.Item(IDC_COMBO_IF_RUNNING)));
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(entry, dialog.m_entry);
    EXPECT_FALSE(entry.keydes.empty());
    EXPECT_EQ(17, dialog.m_entry.id);
    EXPECT_TRUE(dialog.m_entry.builtin);
}

TEST_F(RunInfoTest, BrowsedProgramReplacesTheEntryNamedUpToTheLastDot) {
    HotKeyEntry entry;
    entry.name = "old";
    entry.path = "C:\\old.exe";
    entry.workdir = "C:\\";
    entry.info = "note";
    entry.hotkey = MakeHotKeyCode('K', tw::kHotKeyfControl);
    entry.iconint = 2;
    entry.id = 12;
    entry.args = "--old";
    TestRunInfo dialog(entry, nullptr);
    ScratchDir elsewhere;
    const std::string before = CurrentDir();
    int asked = 0;
    dialog.commandFile = [&](std::string& path) {
        ++asked;
        // The system's dialog may move the current directory; it must come back.
        ::SetCurrentDirectoryA(elsewhere.Path("").c_str());
        path = "C:\\x.y\\setup.v2.exe";
        return true;
    };
    dialog.body = [&] {
        dialog.SetText(IDC_EDIT_NOTE, "typed before the browse");
        dialog.Click(IDC_BTN_BROWSE_COMMAND);
        EXPECT_EQ(before, CurrentDir());
        EXPECT_EQ("setup.v2", dialog.Text(IDC_EDIT_NAME));
        EXPECT_EQ("C:\\x.y\\setup.v2.exe", dialog.Text(IDC_EDIT_COMMAND));
        EXPECT_EQ("", dialog.Text(IDC_EDIT_NOTE));
        EXPECT_EQ("", dialog.Text(IDC_EDIT_WORKDIR));
        EXPECT_EQ("", dialog.Text(IDC_EDIT_ARGS));
        EXPECT_EQ(0, ::SendMessageW(dialog.Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0));
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, asked);
    EXPECT_EQ("setup.v2", dialog.m_entry.name);
    EXPECT_EQ("C:\\x.y\\setup.v2.exe", dialog.m_entry.path);
    EXPECT_EQ("C:\\x.y\\setup.v2.exe", dialog.m_entry.icon);
    EXPECT_EQ(0, dialog.m_entry.iconint);
    EXPECT_EQ("", dialog.m_entry.workdir);
    EXPECT_EQ("", dialog.m_entry.info);
    EXPECT_EQ(0, dialog.m_entry.hotkey);
    EXPECT_EQ("无", dialog.m_entry.keydes);
    EXPECT_EQ(12, dialog.m_entry.id);

    // Double-byte names with a 0x5C trail byte, and a file without an extension.
    for (const auto& [path, title] :
         {std::pair<std::string, std::string>{
              "C:\\" + kShallow + ".y\\" + kCage + kPrayer + ".v2.exe", kCage + kPrayer + ".v2"},
          {"C:\\Tools\\make", "make"}}) {
        TestRunInfo browsed(nullptr);
        browsed.commandFile = [&, p = path](std::string& chosen) {
            chosen = p;
            return true;
        };
        browsed.body = [&] {
            browsed.Click(IDC_BTN_BROWSE_COMMAND);
            EXPECT_EQ(title, browsed.Text(IDC_EDIT_NAME)) << path;
            browsed.Click(IDCANCEL);
        };
        EXPECT_EQ(IDCANCEL, browsed.DoModal());
    }
}

TEST_F(RunInfoTest, CancelledBrowseChangesNothing) {
    TestRunInfo dialog(std::string("C:\\Tools\\notepad.exe"), nullptr);
    const std::string before = CurrentDir();
    ScratchDir elsewhere;
    dialog.commandFile = [&](std::string&) {
        ::SetCurrentDirectoryA(elsewhere.Path("").c_str());
        return false;
    };
    dialog.body = [&] {
        dialog.SetText(IDC_EDIT_NAME, "typed");
        dialog.Click(IDC_BTN_BROWSE_COMMAND);
        EXPECT_EQ(before, CurrentDir());
        EXPECT_EQ("typed", dialog.Text(IDC_EDIT_NAME));
        EXPECT_EQ("C:\\Tools\\notepad.exe", dialog.Text(IDC_EDIT_COMMAND));
        dialog.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(RunInfoTest, ChosenFolderEndsInOneBackslash) {
    const std::string gbkFolder = "C:\\" + kShallow;
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\Windows", "C:\\Windows\\"},
        // Its last byte is 0x5C, yet its last character is no backslash.
        {gbkFolder, gbkFolder + "\\"},
    };
    for (const auto& [chosen, shown] : cases) {
        TestRunInfo dialog(nullptr);
        dialog.folder = [&, c = chosen](std::string& folder) {
            folder = c;
            return true;
        };
        dialog.body = [&] {
            dialog.Click(IDC_BTN_BROWSE_WORKDIR);
            EXPECT_EQ(shown, dialog.Text(IDC_EDIT_WORKDIR)) << chosen;
            dialog.Click(IDCANCEL);
        };
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
}

TEST_F(RunInfoTest, FolderBrowseKeepsTypedTextAndIgnoresFoldersWithoutPath) {
    TestRunInfo dialog(nullptr);
    std::string answer = "D:\\Work";
    bool choose = true;
    dialog.folder = [&](std::string& folder) {
        folder = answer;
        return choose;
    };
    dialog.body = [&] {
        dialog.SetText(IDC_EDIT_NAME, "typed name");
        dialog.SetText(IDC_EDIT_COMMAND, "C:\\typed.exe");
        dialog.SetText(IDC_EDIT_NOTE, "typed note");
        dialog.Click(IDC_BTN_BROWSE_WORKDIR);
        EXPECT_EQ("typed name", dialog.Text(IDC_EDIT_NAME));
        EXPECT_EQ("C:\\typed.exe", dialog.Text(IDC_EDIT_COMMAND));
        EXPECT_EQ("typed note", dialog.Text(IDC_EDIT_NOTE));
        EXPECT_EQ("D:\\Work\\", dialog.Text(IDC_EDIT_WORKDIR));

        // A virtual folder (no file-system path) and a cancelled browser change nothing.
        answer.clear();
        dialog.Click(IDC_BTN_BROWSE_WORKDIR);
        EXPECT_EQ("D:\\Work\\", dialog.Text(IDC_EDIT_WORKDIR));
        choose = false;
        answer = "E:\\";
        dialog.Click(IDC_BTN_BROWSE_WORKDIR);
        EXPECT_EQ("D:\\Work\\", dialog.Text(IDC_EDIT_WORKDIR));
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("typed name", dialog.m_entry.name);
    EXPECT_EQ("D:\\Work\\", dialog.m_entry.workdir);
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(RunInfoTest, NameOverTwentyBytesIsRefusedUntilShortened) {
    const std::string longName = "abcdefghijklmnopqrstu"; // 21 bytes
    TestRunInfo dialog("C:\\Tools\\" + longName + ".exe", nullptr);
    const std::string tenWide = "一二三四五六七八九十"; // 20 bytes in the file
    ASSERT_EQ(20u, FileTextLength(tenWide));
    dialog.body = [&] {
        // Put there by the program, so shown whole.
        EXPECT_EQ(longName, dialog.Text(IDC_EDIT_NAME));
        dialog.Click(IDOK);
        ASSERT_EQ(1u, dialog.boxes.size());
        EXPECT_EQ("Please enter no more than 20 characters.", dialog.boxes[0].text);
        dialog.SetText(IDC_EDIT_NAME, tenWide);
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1u, dialog.boxes.size());
    EXPECT_EQ(tenWide, dialog.m_entry.name);
}

TEST_F(RunInfoTest, OkStoresTheHotKeyWithItsDescriptionOrNone) {
    Win32System system;
    const int code = MakeHotKeyCode('N', tw::kHotKeyfControl | tw::kHotKeyfAlt);
    for (int given : {0, code}) {
        TestRunInfo dialog(nullptr);
        dialog.body = [&] {
            dialog.SetText(IDC_EDIT_COMMAND, "C:\\Windows\\notepad.exe");
            dialog.SetHotKeyOf(IDC_HOTKEY, given);
            dialog.Click(IDOK);
        };
        ASSERT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(given, dialog.m_entry.hotkey);
        EXPECT_EQ(given == 0 ? std::string("无") : KeyDescription(system, code),
                  dialog.m_entry.keydes);
        EXPECT_EQ("", dialog.m_entry.name) << "a name is not required";
        EXPECT_FALSE(dialog.m_entry.builtin);
    }
}

// The control cannot show the Windows key: OK on a Win binding must not drop it.
TEST_F(RunInfoTest, AWinBindingOpensWithItsBoxCheckedAndKeepsIt) {
    HotKeyEntry entry;
    entry.path = "C:\\Windows\\notepad.exe";
    entry.hotkey = WithWinKey(MakeHotKeyCode('N', tw::kHotKeyfControl), true);
    TestRunInfo dialog(entry, nullptr);
    dialog.body = [&] { dialog.Click(IDOK); };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(entry.hotkey, dialog.m_entry.hotkey);
    EXPECT_EQ(0u, dialog.m_entry.keydes.rfind("Win + ", 0)) << dialog.m_entry.keydes;
}

TEST_F(RunInfoTest, EmptyCommandKeepsTheDialogOpenWithItsNotice) {
    TestRunInfo dialog(nullptr);
    dialog.body = [&] {
        dialog.SetText(IDC_EDIT_NAME, "nothing to run");
        dialog.Click(IDOK);
    };
    EXPECT_EQ(TestRunInfo::kLeftOpen, dialog.DoModal());
    ASSERT_EQ(1u, dialog.boxes.size());
    EXPECT_EQ("命令行不能为空!", dialog.boxes[0].text);
    EXPECT_EQ("提示", dialog.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), dialog.boxes[0].type);
}

TEST_F(RunInfoTest, ChangedIconReachesTheEntryAndTheOldOneIsReleased) {
    const std::string file = FileWithFiveIcons();
    TestRunInfo dialog(file, nullptr);
    std::string pickerFile;
    int pickerIndex = -1;
    bool accept = true;
    dialog.picker = [&](CIconSel& picker) {
        pickerFile = picker.m_strFileName;
        pickerIndex = picker.m_nIconIndex;
        picker.m_nIconIndex = 4;
        return accept ? IDOK : IDCANCEL;
    };
    HICON first = nullptr;
    HICON second = nullptr;
    dialog.body = [&] {
        first = dialog.ShownIcon(IDC_ICON_ENTRY);
        dialog.Click(IDC_BTN_CHANGE_ICON);
        EXPECT_EQ(file, pickerFile);
        EXPECT_EQ(0, pickerIndex);
        second = dialog.ShownIcon(IDC_ICON_ENTRY);
        EXPECT_TRUE(IconAlive(second));
        EXPECT_FALSE(IconAlive(first)) << "replaced, so released";

        // A cancelled picker changes nothing; the next one starts at the chosen index.
        accept = false;
        dialog.Click(IDC_BTN_CHANGE_ICON);
        EXPECT_EQ(4, pickerIndex);
        EXPECT_EQ(second, dialog.ShownIcon(IDC_ICON_ENTRY));
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(file, dialog.m_entry.icon);
    EXPECT_EQ(4, dialog.m_entry.iconint);
    EXPECT_FALSE(IconAlive(second));
}

// The real picker, operated from a thread timer while it runs its own loop: its file
// box as it opened, then the fourth icon clicked and OK pressed.
std::string g_pickerOpenedOn;
void CALLBACK OperatePicker(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND picker = ::FindWindowW(nullptr, Widen("更改图标").c_str());
    if (picker == nullptr || !::IsWindowVisible(picker)) return;
    ::KillTimer(nullptr, timer);
    g_pickerOpenedOn = CWnd::WindowText(::GetDlgItem(picker, IDC_EDIT_ICON_FILE));
    HWND list = ::GetDlgItem(picker, IDC_LIST_ICONS);
    RECT rect = {};
    rect.left = LVIR_ICON;
    ::SendMessageW(list, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(picker, IDOK)));
}

TEST_F(RunInfoTest, ChangeOpensThePickerOverTheDialogOnTheCurrentIcon) {
    const std::string file = FileWithFiveIcons();
    Scripted<CRunInfo> dialog(file, nullptr);
    g_pickerOpenedOn.clear();
    dialog.body = [&] {
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OperatePicker);
        dialog.Click(IDC_BTN_CHANGE_ICON);
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(::IsWindowEnabled(dialog.m_hWnd)) << "enabled again after the picker";
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(file, g_pickerOpenedOn);
    EXPECT_EQ(file, dialog.m_entry.icon);
    EXPECT_EQ(3, dialog.m_entry.iconint);
}

TEST_F(RunInfoTest, FileWithoutIconsBlanksTheDisplay) {
    ScratchDir dir;
    WriteBytes(dir.Path("readme.txt"), "no icons here");
    TestRunInfo dialog(dir.Path("readme.txt"), nullptr);
    dialog.body = [&] {
        EXPECT_EQ(nullptr, dialog.ShownIcon(IDC_ICON_ENTRY));
        dialog.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(dialog.boxes.empty()) << "no message for a missing icon";
}

} // namespace
