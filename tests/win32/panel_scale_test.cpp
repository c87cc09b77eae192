// The panel with long lists: rows that show the same icon share one image pair, every row
// still shows its own entry's picture, a refill after Clear extracts afresh; and the tray
// icon after the shell's taskbar was created anew.

#include "panel_test_support.h"

#include "res/resource.h"

namespace {

class PanelScale : public PanelTest {};

struct IconRef {
    std::string file;
    int index;
};

// count entries cycling through the icons; the rows' expected pictures in row order.
std::vector<ListSection> CyclingSections(const std::vector<IconRef>& icons, int count) {
    std::vector<ListSection> sections;
    for (int n = 0; n < count; ++n) {
        const IconRef& icon = icons[n % icons.size()];
        sections.push_back({"条目" + std::to_string(n), "C:\\windows\\notepad.exe", "0",
                            std::to_string(icon.index), icon.file, "", "C:\\windows", ""});
    }
    return sections;
}

void ExpectEveryRowShowsItsOwnIcon(ScriptedPanel& p, const std::vector<IconRef>& icons, int count) {
    ASSERT_EQ(count, p.RowCount());
    for (int row = 0; row < count; ++row) {
        SCOPED_TRACE(row);
        const IconRef& icon = icons[row % icons.size()];
        const std::vector<std::uint32_t> large = ExpectedImage(icon.file, icon.index, 32);
        const int image = p.RowImage(row);
        if (large.empty()) {
            EXPECT_LT(image, 0);
            continue;
        }
        ASSERT_GE(image, 0);
        EXPECT_EQ(large, DrawnImage(p.m_ImageLarge.GetSafeHandle(), image));
        EXPECT_EQ(ExpectedImage(icon.file, icon.index, 16),
                  DrawnImage(p.m_ImageSmall.GetSafeHandle(), image));
    }
}

const std::vector<IconRef> Icons() {
    return {{ThisProgram(), 0},
            {"C:\\windows\\system32\\shell32.dll", 3},
            {"tarnwick.ini", 0}, // no icon at all
            {"C:\\windows\\system32\\shell32.dll", 4}};
}

TEST_F(PanelScale, RowsWithTheSameIconShareOnePairAndEachShowsItsOwnPicture) {
    const std::vector<IconRef> icons = Icons();
    WriteFileText("list.map", ListFileText(CyclingSections(icons, 41), 41));

    Run([&](ScriptedPanel& p) {
        EXPECT_EQ(3, p.m_ImageLarge.GetImageCount()) << "one pair per icon that exists";
        EXPECT_EQ(3, p.m_ImageSmall.GetImageCount());
        ExpectEveryRowShowsItsOwnIcon(p, icons, 41);
        for (int mode : {ID_VIEW_LARGE_ICONS, ID_VIEW_REPORT}) {
            p.Command(mode);
            EXPECT_EQ(41, p.RowCount());
        }
    });
}

// A start shows the rows at once, each on a blank pair of its own icon, and the icons come
// in after: the end is what an immediate extraction gave, in every view. The pair of the
// icon that gives none is given up, the last pair moves into its place, and a row added
// meanwhile with that moving icon follows it.
TEST_F(PanelScale, IconsComeAfterTheRowsAndEndAsIfReadAtOnce) {
    const std::vector<IconRef> icons = Icons();
    WriteFileText("list.map", ListFileText(CyclingSections(icons, 39), 39));
    iconsAtStart = false;

    Run([&](ScriptedPanel& p) {
        ASSERT_EQ(39, p.RowCount());
        EXPECT_EQ(4, p.m_ImageLarge.GetImageCount()) << "one blank pair per distinct icon";
        for (int row = 0; row < 39; ++row) EXPECT_GE(p.RowImage(row), 0) << row;
        HotKeyEntry added = p.Entry(3); // row 39 shows icons[3], as the cycle has it
        added.hotkey = 0;
        p.AddEntry(added);
        p.Command(ID_VIEW_LARGE_ICONS);
        p.Pump(1000);
        ExpectEveryRowShowsItsOwnIcon(p, icons, 40);
        EXPECT_EQ(3, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(3, p.m_ImageSmall.GetImageCount());
    });
}

// Clear starts the lists empty, and what is read next gets pairs of its own in them.
TEST_F(PanelScale, ReadingAfterClearExtractsIntoTheFreshLists) {
    const std::vector<IconRef> icons = Icons();
    WriteFileText("other.map", ListFileText(CyclingSections({icons[3], icons[0]}, 6), 6));
    system.answers = {IDYES};

    Run([&](ScriptedPanel& p) {
        p.Command(IDC_BTN_CLEAR);
        ASSERT_EQ(0, p.m_ImageLarge.GetImageCount());
        EXPECT_TRUE(p.ReadListFile("other.map"));
        EXPECT_TRUE(p.ShowAll());
        p.ExtractPendingIcons(INFINITE);
        EXPECT_EQ(2, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(2, p.m_ImageSmall.GetImageCount());
        ExpectEveryRowShowsItsOwnIcon(p, {icons[3], icons[0]}, 6);
        // Reading adds to what is there: the icons already in the lists are not added again.
        EXPECT_TRUE(p.ReadListFile("other.map"));
        EXPECT_TRUE(p.ShowAll());
        EXPECT_EQ(2, p.m_ImageLarge.GetImageCount());
        EXPECT_EQ(12, p.RowCount());
    });
}

// Whether the icon is in the notification area: only an icon that is there can be changed.
bool InTray(HWND owner) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = owner;
    nid.uID = IDR_MENU_TRAY;
    nid.uFlags = NIF_TIP;
    lstrcpynW(nid.szTip, L"Tarnwick V1.0", 64);
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

// A restarted shell forgets every icon (here taken away behind the panel's back) and says
// so with its broadcast; the icon comes back only when the user wants it shown.
TEST_F(PanelScale, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    WriteFileText("tarnwick.ini", SettingsText("yes", "no", "list.map"));
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);

    Run([&](ScriptedPanel& p) {
        if (!p.m_TrayIcon.IsActive() || !InTray(p.m_hWnd)) {
            GTEST_SKIP() << "no notification area in this session";
        }
        NOTIFYICONDATAW nid = {};
        nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
        nid.hWnd = p.m_hWnd;
        nid.uID = IDR_MENU_TRAY;
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
        ASSERT_FALSE(InTray(p.m_hWnd));

        p.SendMessage(taskbarCreated);
        EXPECT_TRUE(InTray(p.m_hWnd));
        EXPECT_TRUE(p.m_TrayIcon.IsActive());
        EXPECT_FALSE(p.m_TrayIcon.IsHidden());

        // Hidden by the user: the broadcast must not bring it back.
        p.Click(IDC_CHK_SHOWTRAY);
        ASSERT_TRUE(p.m_TrayIcon.IsHidden());
        p.SendMessage(taskbarCreated);
        EXPECT_FALSE(InTray(p.m_hWnd));
        p.Click(IDC_CHK_SHOWTRAY);
        EXPECT_TRUE(InTray(p.m_hWnd));

        // Gone for good after Exit's removal: nothing comes back either.
        p.m_TrayIcon.RemoveFromTray();
        p.SendMessage(taskbarCreated);
        EXPECT_FALSE(InTray(p.m_hWnd));
    });
}

} // namespace
