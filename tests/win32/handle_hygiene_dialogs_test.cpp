// The editing dialogs opened and closed many times leave nothing behind: the program entry
// dialog with the real icon picker inside it (browsing rebuilds the picker's list), and the
// built-in action dialog switching between actions, release every icon they extract and
// every image list they create, once.

#include "handle_ledger.h"

#include "dialogs/act_dlg.h"
#include "dialogs/icon_sel.h"
#include "dialogs/run_info.h"

#include "dialog_test_support.h"

#include <gtest/gtest.h>

namespace {

// Each round opens three dialogs and extracts about a dozen icons.
constexpr int kRounds = 40;

// The picker with Browse answered: the same five-icon file again, so its list is rebuilt.
class BrowsingIconSel : public Scripted<CIconSel> {
public:
    using Scripted<CIconSel>::Scripted;

protected:
    bool ChooseIconFile(std::string& path) override {
        path = FileWithFiveIcons();
        return true;
    }
};

// The program entry dialog whose Change button opens the real picker, which picks `pick`.
class PickingRunInfo : public Scripted<CRunInfo> {
public:
    using Scripted<CRunInfo>::Scripted;
    int pick = 0;

protected:
    INT_PTR RunIconPicker(CIconSel& asked) override {
        BrowsingIconSel picker(asked.m_strFileName, asked.m_nIconIndex, m_hWnd);
        picker.body = [&] {
            picker.Click(IDC_BTN_BROWSE_ICON_FILE);
            picker.m_IconList.SetSelectionMark(pick);
            picker.Click(IDOK);
        };
        const INT_PTR result = picker.DoModal();
        asked.m_strFileName = picker.m_strFileName;
        asked.m_nIconIndex = picker.m_nIconIndex;
        return result;
    }
};

class SelectingAct : public Scripted<CAct> {
public:
    SelectingAct() : Scripted<CAct>(nullptr) {}
    void Select(int item) {
        m_cbAction.SetCurSel(item);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_ACTION, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(m_cbAction.m_hWnd));
    }
};

std::string Action(int i, const std::string& name, const std::string& icon, int iconint) {
    return "[act" + std::to_string(i) + "]\r\nname=" + name + "\r\nicon=" + icon +
           "\r\niconint=" + std::to_string(iconint) + "\r\npath=$ZELO.TW.ACT~a" +
           std::to_string(i) + "$\r\n";
}

class HandleHygieneDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCommonControls();
        WriteBytes(dir.Path("tarnwick.ini"),
                   "[SET]\r\nshowtray=no\r\nmapfile=a.map\r\n[ACT]\r\ncount=3\r\n" +
                       Action(0, "关机", icons, 1) + Action(1, "打开光驱", icons, 2) +
                       Action(2, "允许关机", icons, 3));
    }

    // One program entry dialog that changes its icon through the picker, and one built-in
    // action dialog that shows three actions' icons in turn; OK or Cancel by turns.
    void Round(int n) {
        HotKeyEntry entry;
        entry.name = "图标";
        entry.path = "C:\\程序\\图标.exe";
        entry.icon = icons;
        entry.iconint = n % 5;
        PickingRunInfo info(entry, nullptr);
        info.pick = (n + 1) % 5;
        info.body = [&] {
            info.Click(IDC_BTN_CHANGE_ICON);
            info.Click(n % 2 ? IDOK : IDCANCEL);
        };
        EXPECT_EQ(n % 2 ? IDOK : IDCANCEL, info.DoModal());
        if (n % 2) {
            EXPECT_EQ(info.pick, info.m_entry.iconint);
        }

        SelectingAct act;
        act.body = [&] {
            act.Select(0);
            act.Select(1);
            act.Select(2);
            act.Click(n % 2 ? IDOK : IDCANCEL);
        };
        EXPECT_EQ(n % 2 ? IDOK : IDCANCEL, act.DoModal());
    }

    ScratchDir dir;
    CurrentDirScope inDir{dir.Path("")};
    const std::string icons = FileWithFiveIcons();
    HandleLedger ledger;
};

TEST_F(HandleHygieneDialogs, OpeningAndClosingReleasesEveryIconAndImageListOnce) {
    HandleLedgerScope scope(ledger);
    ASSERT_TRUE(scope.Installed());
    // The first round may fill caches of the system's own.
    Round(0);
    const GuiCounts before = CurrentGuiCounts();
    const HandleLedger afterFirst = ledger;
    for (int n = 1; n <= kRounds && !HasFailure(); ++n)
        Round(n);
    const GuiCounts after = CurrentGuiCounts();

    // The entry's icon twice (at opening and after the pick), five in the picker twice
    // (opening and Browse), three actions.
    EXPECT_EQ(15 * kRounds, ledger.extracted - afterFirst.extracted);
    EXPECT_EQ(2 * kRounds, ledger.listsCreated - afterFirst.listsCreated);
    EXPECT_TRUE(ledger.icons.empty()) << ledger.icons.size() << " icons never released";
    EXPECT_TRUE(ledger.lists.empty()) << ledger.lists.size() << " image lists never released";
    EXPECT_EQ(0, ledger.strayIconReleases) << "an icon released twice or never extracted";
    EXPECT_EQ(0, ledger.strayListReleases) << "an image list released twice";
    if (before.Reported()) {
        EXPECT_TRUE(before == after) << "GDI " << before.gdi << " -> " << after.gdi << ", USER "
                                     << before.user << " -> " << after.user;
    }
    RecordProperty("gui_counts_reported", before.Reported() ? 1 : 0);
}

} // namespace
