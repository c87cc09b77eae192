// The main panel as it comes up: what the list view, the check boxes, the hotkey buttons
// and the registrations show after initialisation, for a good, a missing and an invalid
// list file, and the image each row shows.

#include "panel_test_support.h"

#include "res/resource.h"

namespace {

class PanelStartUp : public PanelTest {};

using Held = std::map<int, std::pair<unsigned, unsigned>>;
const unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;
const Held kFixedOnly = {{0, {kCtrlAlt, VK_HOME}}, {1, {kCtrlAlt, VK_END}}};

TEST_F(PanelStartUp, ShowsTheListFileMirrorsTheSettingsAndNumbersEntriesFromTen) {
    WriteFileText("tarnwick.ini", SettingsText("no", "yes", "list.map"));
    const std::vector<ListSection> file = StandardSections();
    HWND panelWindow = nullptr;

    EXPECT_EQ(ScriptedPanel::kScriptEnded, Run([&](ScriptedPanel& p) {
                  panelWindow = p.m_hWnd;

                  const char* headings[] = {"程序名", "快捷键", "命令", "工作目录", "说明"};
                  const int widths[] = {80, 80, 180, 80, 172};
                  EXPECT_EQ(5, Header_GetItemCount(ListView_GetHeader(p.m_List.m_hWnd)));
                  for (int column = 0; column < 5; ++column) {
                      wchar_t heading[64] = {};
                      LVCOLUMNW col = {};
                      col.mask = LVCF_TEXT | LVCF_WIDTH;
                      col.pszText = heading;
                      col.cchTextMax = 64;
                      ASSERT_TRUE(p.m_List.SendMessage(LVM_GETCOLUMNW, column,
                                                       reinterpret_cast<LPARAM>(&col)));
                      EXPECT_EQ(headings[column], Narrow(heading));
                      EXPECT_EQ(widths[column], col.cx);
                  }

                  ASSERT_EQ(3, p.RowCount());
                  for (int row = 0; row < 3; ++row) {
                      SCOPED_TRACE(row);
                      EXPECT_EQ(file[row].name, p.Text(row, 0));
                      EXPECT_EQ(file[row].keydes, p.Text(row, 1));
                      EXPECT_EQ(file[row].path, p.Text(row, 2));
                      EXPECT_EQ(file[row].workdir, p.Text(row, 3));
                      EXPECT_EQ(10 + row, p.Entry(row).id);
                  }
                  // The stored line-break marker is a line break again on screen.
                  EXPECT_EQ("第一行\r\n第二行", p.Text(0, 4));
                  EXPECT_EQ("", p.Text(1, 4));
                  EXPECT_EQ("内置对象", p.Text(2, 4));
                  EXPECT_FALSE(p.Entry(0).builtin);
                  EXPECT_TRUE(p.Entry(2).builtin);

                  EXPECT_TRUE(p.Checked(IDC_CHK_AUTORUN));
                  EXPECT_FALSE(p.Checked(IDC_CHK_SHOWTRAY));
                  EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
                  EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_ON));
                  EXPECT_TRUE(p.m_bHotKeysOn);
              }));

    // The entry without a hotkey keeps its id but holds no registration.
    Held expected = kFixedOnly;
    expected[10] = {kCtrlAlt, 'N'};
    expected[12] = {kCtrlAlt, 'S'};
    EXPECT_EQ(expected, system.hotkeys);
    for (tw::WindowRef owner : system.hotkeyOwners)
        EXPECT_EQ(panelWindow, owner);
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(PanelStartUp, MissingListFileGivesAnEmptyListWithBothHotkeyButtonsEnabled) {
    WriteFileText("tarnwick.ini", SettingsText("yes", "no", "nowhere.map"));

    Run([&](ScriptedPanel& p) {
        EXPECT_EQ(0, p.RowCount());
        EXPECT_TRUE(p.m_entries.empty());
        EXPECT_FALSE(p.Checked(IDC_CHK_AUTORUN));
        EXPECT_TRUE(p.Checked(IDC_CHK_SHOWTRAY));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_ON));
    });

    EXPECT_EQ(kFixedOnly, system.hotkeys);
    EXPECT_TRUE(system.boxes.empty()) << "a missing list file is not reported";
}

// The reader stops at the first section that is not there. What it read stays in memory,
// but start-up shows and registers a list only when the whole file was read.
TEST_F(PanelStartUp, InvalidListFileIsReportedOnceAndItsFirstEntriesStayUnshown) {
    std::vector<ListSection> sections = StandardSections();
    sections.pop_back();
    WriteFileText("list.map", ListFileText(sections, 3));
    HWND panelWindow = nullptr;

    Run([&](ScriptedPanel& p) {
        panelWindow = p.m_hWnd;
        EXPECT_EQ(0, p.RowCount());
        ASSERT_EQ(2u, p.m_entries.size());
        EXPECT_EQ("记事本", p.Entry(0).name);
        EXPECT_EQ("无图标", p.Entry(1).name);
        // Only the first of the two has an icon.
        EXPECT_EQ(1, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(1, p.m_ImageSmall.GetImageCount());
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_ON));
    });

    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ("该文件不是有效的快捷键列表文件!", system.boxes[0].text);
    EXPECT_EQ("SERVER ERROR", system.boxes[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), system.boxes[0].flags);
    EXPECT_EQ(panelWindow, system.boxes[0].owner);
    EXPECT_EQ(kFixedOnly, system.hotkeys);
}

// The middle entry's file holds no icon: it gets no image, and the entry after it must
// still show its own picture, not its neighbour's or none.
TEST_F(PanelStartUp, EveryRowShowsItsOwnEntrysImageInBothSizes) {
    const std::vector<ListSection> file = StandardSections();
    const auto own32 = ExpectedImage(file[0].icon, 0, 32);
    const auto folder32 = ExpectedImage(file[2].icon, 3, 32);
    ASSERT_FALSE(own32.empty());
    ASSERT_FALSE(folder32.empty());
    ASSERT_NE(own32, folder32) << "the test needs two different pictures";

    Run([&](ScriptedPanel& p) {
        ASSERT_EQ(3, p.RowCount());
        HIMAGELIST largeList = p.m_List.GetImageList(LVSIL_NORMAL);
        HIMAGELIST smallList = p.m_List.GetImageList(LVSIL_SMALL);
        EXPECT_EQ(p.m_ImageLarge.GetSafeHandle(), largeList);
        EXPECT_EQ(p.m_ImageSmall.GetSafeHandle(), smallList);
        ASSERT_EQ(2, ImageList_GetImageCount(largeList));
        ASSERT_EQ(2, ImageList_GetImageCount(smallList));

        const int first = p.RowImage(0), second = p.RowImage(1), third = p.RowImage(2);
        EXPECT_TRUE(second < 0 || second >= 2) << "row 1 shows image " << second;
        ASSERT_TRUE(first >= 0 && first < 2);
        ASSERT_TRUE(third >= 0 && third < 2);
        EXPECT_EQ(own32, DrawnImage(largeList, first));
        EXPECT_EQ(folder32, DrawnImage(largeList, third));
        EXPECT_EQ(ExpectedImage(file[0].icon, 0, 16), DrawnImage(smallList, first));
        EXPECT_EQ(ExpectedImage(file[2].icon, 3, 16), DrawnImage(smallList, third));
    });
}

// Start-up registers the list's hotkeys once the panel has painted its rows, and before it
// does anything else. Until then the rows and the hotkey buttons show what the registration
// leaves; a row it refuses turns red after it.
TEST_F(PanelStartUp, TheListsHotkeysAreRegisteredAfterTheFirstPaintBeforeAnythingElse) {
    const auto rowLook = [](ScriptedPanel& p, int row) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrText = CLR_DEFAULT;
        return std::make_pair(p.OnListCustomDraw(&draw), draw.clrText);
    };
    const auto defaultLook = std::make_pair(static_cast<LRESULT>(CDRF_DODEFAULT), CLR_DEFAULT);
    // The first entry's combination, Ctrl+Alt+N, is held by another program.
    Held before = kFixedOnly;
    before[999] = {kCtrlAlt, 'N'};
    system.hotkeys = before;
    afterInit = [&](ScriptedPanel& p) {
        EXPECT_EQ(before, system.hotkeys);
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_ON));
        for (int row = 0; row < p.RowCount(); ++row) EXPECT_EQ(defaultLook, rowLook(p, row)) << row;
    };
    Run([&](ScriptedPanel& p) {
        EXPECT_EQ(before.size() + 1, system.hotkeys.size());
        EXPECT_EQ(HotKeyState::Refused, p.Entry(0).state);
        EXPECT_EQ(kRefusedRowText, rowLook(p, 0).second);
        EXPECT_EQ(defaultLook, rowLook(p, 1));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_ON));
    });
    afterInit = nullptr;
    EXPECT_EQ(1u, system.boxes.size());
}

// Start-up reads the list the settings name while the panel window is made. What the panel
// shows, holds, registers and reports is the same as when it reads the file itself: for a
// good, an invalid and a missing file, for a file other than the settings name, and for a
// list a failed save left aside, which is put back after the reading ahead failed.
TEST_F(PanelStartUp, AListReadAheadShowsAsTheListReadByThePanel) {
    std::vector<ListSection> cut = StandardSections();
    cut.pop_back();
    const std::string good = ListFileText(StandardSections(), 3);
    struct Case {
        const char* what;
        std::string list;     // list.map's bytes; "" for no file
        std::string leftover; // list.map.~tw1's bytes; "" for none
        const char* readAhead;
    };
    const Case cases[] = {
        {"a good list", good, "", "list.map"},
        {"an invalid list", ListFileText(cut, 3), "", "list.map"},
        {"no list", "", "", "list.map"},
        {"another file read ahead", good, "", "other.map"},
        {"a list put back", "", good, "list.map"},
    };
    WriteFileText("other.map", ListFileText(cut, 2));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> seen[2];
        for (int ahead = 0; ahead < 2; ++ahead) {
            DeleteFileA("list.map");
            DeleteFileA("list.map.~tw1");
            if (!c.list.empty()) WriteFileText("list.map", c.list);
            if (!c.leftover.empty()) WriteFileText("list.map.~tw1", c.leftover);
            readAhead = ahead != 0 ? c.readAhead : "";
            system.boxes.clear();
            std::vector<std::string>& out = seen[ahead];
            Run([&](ScriptedPanel& p) {
                for (const HotKeyEntry& e : p.m_entries)
                    out.push_back("entry " + e.name + " " + e.path + " " + std::to_string(e.id));
                for (int row = 0; row < p.RowCount(); ++row)
                    out.push_back("row " + p.Text(row, 0) + " " + p.Text(row, 4) + " image " +
                                  std::to_string(p.RowImage(row)));
                out.push_back("images " + std::to_string(p.m_ImageLarge.GetImageCount()));
                out.push_back(std::string("buttons ") + (p.Enabled(IDC_BTN_HOTKEYS_OFF) ? "1" : "0") +
                              (p.Enabled(IDC_BTN_HOTKEYS_ON) ? "1" : "0"));
            });
            for (const auto& box : system.boxes) out.push_back("box " + box.text);
            for (const auto& held : system.hotkeys) out.push_back("hotkey " + std::to_string(held.first));
        }
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_FALSE(seen[0].empty());
    }
    readAhead.clear();
}

} // namespace
