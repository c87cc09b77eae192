// The control wrappers against real common controls, binding by data exchange, and the
// image list's single release.

#include "ui/controls.h"
#include "ui/data_exchange.h"

#include "framework_test_res.h"
#include "framework_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A list control that handles one message itself, as the panel's list handles drops.
class ProbeList : public CListCtrl {
public:
    int probes = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kProbe) {
            ++probes;
            return 42;
        }
        return CListCtrl::WindowProc(msg, wParam, lParam);
    }
};

class ControlsDialog : public ScriptedDialog {
public:
    ControlsDialog() : ScriptedDialog(IDD_TEST_CONTROLS) {}

    ProbeList list;
    CHotKeyCtrl hotkey;
    CComboBox combo;
    CStatic icon;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_TEST_LIST, list);
        DDX_Control(dx, IDC_TEST_HOTKEY, hotkey);
        DDX_Control(dx, IDC_TEST_COMBO, combo);
        DDX_Control(dx, IDC_TEST_ICON, icon);
    }
};

class FrameworkControlsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }

    // Runs `check` inside a shown controls dialog.
    void InDialog(const std::function<void(ControlsDialog&)>& check) {
        ControlsDialog dialog;
        dialog.body = [&] { check(dialog); };
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
};

TEST_F(FrameworkControlsTest, ListRowsTextsFindAndSelectionMark) {
    InDialog([](ControlsDialog& d) {
        CListCtrl& list = d.list;
        ASSERT_NE(nullptr, list.m_hWnd);
        EXPECT_EQ(0, list.InsertColumn(0, "程序名", LVCFMT_LEFT, 80, 0));
        EXPECT_EQ(1, list.InsertColumn(1, "快捷键", LVCFMT_LEFT, 80, 1));
        EXPECT_EQ(0, list.InsertItem(0, "Notepad", I_IMAGENONE));
        EXPECT_EQ(1, list.InsertItem(1, "记事本", I_IMAGENONE));
        EXPECT_EQ(2, list.InsertItem(2, "Notes", I_IMAGENONE));
        EXPECT_TRUE(list.SetItemText(1, 1, "Ctrl + Alt + N"));
        EXPECT_EQ(3, list.GetItemCount());

        EXPECT_EQ("记事本", list.GetItemText(1, 0));
        EXPECT_EQ("Ctrl + Alt + N", list.GetItemText(1, 1));
        EXPECT_EQ("", list.GetItemText(0, 1));
        // Longer than any first guess of a buffer, with double-byte characters across
        // the guess's boundary.
        std::string longText(255, 'x');
        for (int i = 0; i < 200; ++i)
            longText += "键";
        EXPECT_TRUE(list.SetItemText(2, 1, longText));
        EXPECT_EQ(longText, list.GetItemText(2, 1));

        // Partial matches find label beginnings from the start, without regard to case.
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING | LVFI_PARTIAL;
        find.psz = L"note";
        EXPECT_EQ(0, list.FindItem(&find));
        EXPECT_EQ(2, list.FindItem(&find, 0)); // searching after row 0
        find.psz = L"记事";
        EXPECT_EQ(1, list.FindItem(&find));
        find.psz = L"pad";
        EXPECT_EQ(-1, list.FindItem(&find));

        EXPECT_EQ(-1, list.GetSelectionMark());
        list.SetSelectionMark(2);
        EXPECT_EQ(2, list.GetSelectionMark());

        EXPECT_TRUE(list.DeleteItem(0));
        EXPECT_EQ("记事本", list.GetItemText(0, 0));
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(0, list.GetItemCount());
    });
}

TEST_F(FrameworkControlsTest, ListStylesAndViewModesKeepTheRows) {
    InDialog([](ControlsDialog& d) {
        CListCtrl& list = d.list;
        list.InsertColumn(0, "A", LVCFMT_LEFT, 80, 0);
        list.InsertItem(0, "one", I_IMAGENONE);
        list.InsertItem(1, "two", I_IMAGENONE);
        list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        EXPECT_EQ(0x21u, list.GetExtendedStyle() & 0x21u);

        const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
        for (DWORD view : views) {
            list.SetView(view);
            EXPECT_EQ(view, list.GetStyle() & LVS_TYPEMASK);
            EXPECT_NE(0u, list.GetStyle() & LVS_SHAREIMAGELISTS); // other bits stay
            EXPECT_EQ(2, list.GetItemCount());
            EXPECT_EQ("two", list.GetItemText(1, 0));
        }
        EXPECT_TRUE(list.RedrawItems(0, 1));
    });
}

TEST_F(FrameworkControlsTest, ImageListAttachedToTheListKeepsItsImages) {
    CImageList large;
    InDialog([&](ControlsDialog& d) {
        ASSERT_TRUE(large.Create(32, 32, ILC_COLOR24, 0, 0));
        large.SetBkColor(RGB(255, 255, 255));
        HICON shared = ::LoadIconW(nullptr, IDI_APPLICATION);
        EXPECT_EQ(0, large.ReplaceIcon(-1, shared));
        EXPECT_EQ(1, large.Add(shared));
        EXPECT_EQ(2, large.GetImageCount());

        EXPECT_EQ(nullptr, d.list.SetImageList(&large, LVSIL_NORMAL));
        EXPECT_EQ(large.m_hImageList, d.list.GetImageList(LVSIL_NORMAL));
        d.list.InsertItem(0, "with image", 1);
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = 0;
        ASSERT_TRUE(d.list.GetItem(&item));
        EXPECT_EQ(1, item.iImage);
    });
    // The list shares its image lists: closing the dialog left ours alive.
    EXPECT_EQ(2, ::ImageList_GetImageCount(large.m_hImageList));
    EXPECT_TRUE(large.Destroy());
    EXPECT_FALSE(large.Destroy()); // released once only
    EXPECT_EQ(0, large.GetImageCount());
}

TEST_F(FrameworkControlsTest, HotKeyComboAndStaticForwarders) {
    InDialog([](ControlsDialog& d) {
        EXPECT_EQ(0u, d.hotkey.GetHotKey());
        d.hotkey.SetHotKey(0x064E); // Ctrl+Alt+N
        EXPECT_EQ(0x064Eu, d.hotkey.GetHotKey());
        d.hotkey.SetHotKey(0x12345070); // only the low 16 bits are a code
        EXPECT_EQ(0x5070u, d.hotkey.GetHotKey());

        EXPECT_EQ(0, d.combo.AddString("关机"));
        EXPECT_EQ(1, d.combo.AddString("打开光驱"));
        EXPECT_EQ(2, d.combo.GetCount());
        EXPECT_EQ(-1, d.combo.GetCurSel());
        d.combo.SetCurSel(1);
        EXPECT_EQ(1, d.combo.GetCurSel());
        EXPECT_EQ("打开光驱", d.combo.GetLBText(1));
        EXPECT_EQ("", d.combo.GetLBText(5));

        HICON icon = ::LoadIconW(nullptr, IDI_QUESTION);
        d.icon.SetIcon(icon);
        EXPECT_EQ(icon, d.icon.GetIcon());
    });
}

TEST_F(FrameworkControlsTest, BoundControlSeesItsMessagesUntilItsWindowCloses) {
    ControlsDialog dialog;
    LRESULT answer = 0;
    dialog.body = [&] { answer = ::SendMessageW(dialog.GetDlgItem(IDC_TEST_LIST), kProbe, 0, 0); };
    dialog.DoModal();
    EXPECT_EQ(42, answer);
    EXPECT_EQ(1, dialog.list.probes);
    EXPECT_EQ(nullptr, dialog.list.m_hWnd);

    // The same object binds again to the next window.
    dialog.DoModal();
    EXPECT_EQ(2, dialog.list.probes);
}

// The framework finds its objects in the windows' own data: a window that is not ours,
// whatever its owner keeps there, is never taken for one of them.
TEST_F(FrameworkControlsTest, WindowsNotBoundByTheFrameworkAreNotTakenForItsObjects) {
    ControlsDialog dialog;
    dialog.body = [&] {
        EXPECT_EQ(&dialog, CDialog::FromHandle(dialog.m_hWnd));
        EXPECT_EQ(&dialog.list, CWnd::FromSubclassed(dialog.GetDlgItem(IDC_TEST_LIST)));
        // A control is not a dialog of ours, nor is a message box's dialog.
        EXPECT_EQ(nullptr, CDialog::FromHandle(dialog.GetDlgItem(IDC_TEST_LIST)));

        HWND own = ::CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, dialog.m_hWnd, nullptr,
                                   nullptr, nullptr);
        ::SetWindowLongPtrW(own, GWLP_USERDATA, 0x1234);
        EXPECT_EQ(nullptr, CDialog::FromHandle(own));
        // Its owner's data stays its owner's: the framework does not bind over it.
        CStatic wrapper;
        EXPECT_FALSE(wrapper.SubclassWindow(own));
        EXPECT_EQ(0x1234, ::GetWindowLongPtrW(own, GWLP_USERDATA));
        ::DestroyWindow(own);
    };
    dialog.DoModal();
    // Unbound again, the list's window data no longer leads to the object.
    EXPECT_EQ(nullptr, dialog.list.m_hWnd);
}

} // namespace
