// The panel's list commands against the real list view: clearing with its confirmation,
// running the marked row, the view modes, and writing the list file.

#include "panel_test_support.h"

#include "res/resource.h"

namespace {

class PanelList : public PanelTest {};

const unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;

TEST_F(PanelList, ClearConfirmedEmptiesViewImagesEntriesAndHotkeysButNotTheFile) {
    const std::string before = ReadFileText("list.map");
    system.answers = {IDYES};
    HWND panelWindow = nullptr;

    Run([&](ScriptedPanel& p) {
        panelWindow = p.m_hWnd;
        p.Command(IDC_BTN_CLEAR);

        EXPECT_EQ(0, p.RowCount());
        EXPECT_TRUE(p.m_entries.empty());
        // Fresh empty lists, and the view shows those, not the destroyed ones.
        EXPECT_EQ(0, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(0, p.m_ImageSmall.GetImageCount());
        EXPECT_NE(nullptr, p.m_ImageLarge.GetSafeHandle());
        EXPECT_EQ(p.m_ImageLarge.GetSafeHandle(), p.m_List.GetImageList(LVSIL_NORMAL));
        EXPECT_EQ(p.m_ImageSmall.GetSafeHandle(), p.m_List.GetImageList(LVSIL_SMALL));
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_ON));
        // Still on: an entry added now is registered at once.
        EXPECT_TRUE(p.m_bHotKeysOn);
    });

    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ("你真的要删除设置的所有快捷键吗?", system.boxes[0].text);
    EXPECT_EQ("Are You Sure?", system.boxes[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION), system.boxes[0].flags);
    EXPECT_EQ(panelWindow, system.boxes[0].owner);
    // The entries' hotkeys are gone, the two fixed ones stay.
    const std::map<int, std::pair<unsigned, unsigned>> fixed = {{0, {kCtrlAlt, VK_HOME}},
                                                                {1, {kCtrlAlt, VK_END}}};
    EXPECT_EQ(fixed, system.hotkeys);
    EXPECT_EQ(before, ReadFileText("list.map"));
}

TEST_F(PanelList, ClearDeclinedChangesNothing) {
    system.answers = {IDNO};

    Run([&](ScriptedPanel& p) {
        p.Command(ID_LIST_CLEAR);
        EXPECT_EQ(3, p.RowCount());
        EXPECT_EQ(3u, p.m_entries.size());
        EXPECT_EQ(2, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(2, p.m_ImageSmall.GetImageCount());
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_ON));
    });

    EXPECT_EQ(1u, system.boxes.size());
    EXPECT_EQ(4u, system.hotkeys.size());
}

// Run works from the row's entry: the note it shows decides between the shell and the
// built-in action.
TEST_F(PanelList, RunOpensTheMarkedRowOrRunsItsBuiltInAction) {
    Run([&](ScriptedPanel& p) {
        p.m_List.SetSelectionMark(-1);
        p.Command(ID_LIST_RUN);
        EXPECT_TRUE(system.opened.empty());
        EXPECT_EQ(1, allowShutdown);

        p.m_List.SetSelectionMark(0);
        p.Command(ID_LIST_RUN);
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ("C:\\windows\\notepad.exe", system.opened[0].file);
        EXPECT_EQ("C:\\windows", system.opened[0].directory);

        p.m_List.SetSelectionMark(2);
        p.Command(ID_LIST_RUN);
        EXPECT_EQ(1u, system.opened.size());
        EXPECT_EQ(0, allowShutdown) << "forbid shutdown ran";

        // A double-click on a row whose note no longer marks it built-in hands the token
        // to the shell.
        allowShutdown = 1;
        std::next(p.m_entries.begin(), 2)->info = "改过的说明";
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = p.m_List.m_hWnd;
        click.hdr.idFrom = IDC_LIST_ENTRIES;
        click.hdr.code = NM_DBLCLK;
        click.iItem = 2;
        RECT label = {};
        ListView_GetItemRect(p.m_List.m_hWnd, 2, &label, LVIR_LABEL);
        click.ptAction = {label.left + 2, (label.top + label.bottom) / 2};
        p.SendMessage(WM_NOTIFY, IDC_LIST_ENTRIES, reinterpret_cast<LPARAM>(&click));
        ASSERT_EQ(2u, system.opened.size());
        EXPECT_EQ("$ZELO.TW.ACT~forbid_shutdown$", system.opened[1].file);
        EXPECT_EQ("_", system.opened[1].directory);
        EXPECT_EQ(1, allowShutdown);
    });

    EXPECT_TRUE(system.boxes.empty());
    EXPECT_TRUE(system.mciCommands.empty());
}

TEST_F(PanelList, ViewModesKeepEveryRowWithItsTextsAndImage) {
    struct Mode {
        int command;
        DWORD view;
    };
    const Mode modes[] = {{ID_VIEW_LARGE_ICONS, LVS_ICON},
                          {ID_VIEW_SMALL_ICONS, LVS_SMALLICON},
                          {ID_VIEW_LIST, LVS_LIST},
                          {ID_VIEW_REPORT, LVS_REPORT}};

    Run([&](ScriptedPanel& p) {
        ASSERT_EQ(3, p.RowCount());
        const int images[] = {p.RowImage(0), p.RowImage(1), p.RowImage(2)};
        p.m_List.SetSelectionMark(1);
        for (const Mode& mode : modes) {
            SCOPED_TRACE(mode.command);
            p.Command(mode.command);
            EXPECT_EQ(mode.view, p.m_List.GetStyle() & LVS_TYPEMASK);
            ASSERT_EQ(3, p.RowCount());
            EXPECT_EQ(1, p.m_List.GetSelectionMark());
            for (int row = 0; row < 3; ++row) {
                EXPECT_EQ(p.Entry(row).name, p.Text(row, 0));
                EXPECT_EQ(p.Entry(row).path, p.Text(row, 2));
                EXPECT_EQ(images[row], p.RowImage(row));
            }
        }
    });
}

TEST_F(PanelList, ListFileWritesBackAsReadAndAFailedWriteKeepsTheOldFile) {
    HWND panelWindow = nullptr;

    Run([&](ScriptedPanel& p) {
        panelWindow = p.m_hWnd;
        EXPECT_TRUE(p.WriteListFile("copy.map"));
        EXPECT_EQ(ReadFileText("list.map"), ReadFileText("copy.map"));
        EXPECT_TRUE(system.boxes.empty());

        const std::string old = "[MAIN]\r\ncount=0\r\n";
        WriteFileText("locked.map", old);
        ::SetFileAttributesA("locked.map", FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(p.WriteListFile("locked.map"));
        EXPECT_EQ(old, ReadFileText("locked.map"));
        EXPECT_EQ(3u, p.m_entries.size());
        EXPECT_EQ(3, p.RowCount());
    });

    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ("不能打开文件进行写入!", system.boxes[0].text);
    EXPECT_EQ("ERROR", system.boxes[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), system.boxes[0].flags);
    EXPECT_EQ(panelWindow, system.boxes[0].owner);
}

} // namespace

namespace {

// A file that is not a whole list merges nothing: the rows, the entries and the list file
// stay as they were, and the box is the one Load gives.
TEST_F(PanelList, MergeOfAnInvalidFileChangesNothing) {
    std::vector<ListSection> sections = StandardSections();
    sections.pop_back();
    WriteFileText("broken.map", ListFileText(sections, 3));
    const std::string before = ReadFileText("list.map");
    Run([&](ScriptedPanel& p) {
        EXPECT_FALSE(p.MergeListFile("broken.map"));
        EXPECT_EQ(3, p.RowCount());
        EXPECT_EQ(3u, p.m_entries.size());
    });
    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ("该文件不是有效的快捷键列表文件!", system.boxes[0].text);
    EXPECT_EQ(before, ReadFileText("list.map"));
}

} // namespace

namespace {

int SelectedRow(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void SelectRow(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The list keeps no boxes: a click on one turns it once, a double click twice, Space the
// selected row's once, whether the list reports the gesture, its own change, or both.
TEST_F(PanelList, AClickDoubleClickOrSpaceOnARowsBoxTurnsItAsOften) {
    struct Gesture {
        const char* name;
        void (*act)(HWND list, int row);
        bool turned;
    };
    const Gesture gestures[] = {
        {"click", [](HWND list, int row) { ClickRowBox(list, row); }, true},
        {"double click",
         [](HWND list, int row) {
             ClickRowBox(list, row);
             MSG msg;
             while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
             ClickRowBox(list, row, WM_LBUTTONDBLCLK);
         },
         false},
        {"Space",
         [](HWND list, int row) {
             SelectRow(list, row);
             ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
             ::SendMessageW(list, WM_CHAR, L' ', 0);
             ::SendMessageW(list, WM_KEYUP, VK_SPACE, 0xC0000001);
         },
         true},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        Run([&](ScriptedPanel& p) {
            // Each start reads the file the gesture before left.
            HWND list = p.m_List.GetSafeHwnd();
            const bool expected = p.Entry(1).enabled != gesture.turned;
            gesture.act(list, 1);
            p.Pump(100);
            EXPECT_EQ(expected, p.Entry(1).enabled);
            EXPECT_EQ(expected, p.RowChecked(1));
            EXPECT_EQ(INDEXTOSTATEIMAGEMASK(expected ? 2 : 1),
                      ListView_GetItemState(list, 1, LVIS_STATEIMAGEMASK));
            EXPECT_EQ(!expected, ReadFileText("list.map").find("disabled=1") != std::string::npos);
        });
    }
}

// Each keystroke in the search box shows the matching rows; the selected entry stays
// selected while it is shown.
TEST_F(PanelList, SearchKeepsTheSelectedEntryWhileItIsShown) {
    Run([&](ScriptedPanel& p) {
        HWND list = p.m_List.GetSafeHwnd();
        HWND search = p.GetDlgItem(IDC_EDIT_SEARCH);
        SelectRow(list, 2);
        const struct {
            const wchar_t* filter;
            int rows;
            int selected;
        } steps[] = {{L"禁止", 1, 0}, {L"", 3, 2}, {L"记事本", 1, -1}, {L"", 3, -1}};
        for (const auto& step : steps) {
            ::SetWindowTextW(search, step.filter);
            EXPECT_EQ(step.rows, p.RowCount());
            EXPECT_EQ(step.selected, SelectedRow(list));
        }
        EXPECT_EQ("禁止关机", p.Text(2, 0));
    });
}

} // namespace
