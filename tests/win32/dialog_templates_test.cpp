// The editing dialogs' templates as the system loads them: captions, controls in tab
// order with their texts, places and styles; and every fixed label of the program's
// dialogs wide and tall enough for its whole text in the font it is drawn with.

#include "platform/win32/wide.h"
#include "res/resource.h"

#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int kNoId = 0xFFFF;

struct Control {
    int id;
    const char* className;
    const char* text;
    int x, y, cx, cy; // dialog units
};

LONG StyleOf(HWND hwnd) {
    return ::GetWindowLongW(hwnd, GWL_STYLE);
}

void ExpectControls(HWND dialog, const std::vector<Control>& expected) {
    std::vector<HWND> children = Children(dialog);
    ASSERT_EQ(expected.size(), children.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const Control& want = expected[i];
        SCOPED_TRACE(std::to_string(i) + " " + want.text);
        EXPECT_EQ(want.id, ::GetDlgCtrlID(children[i]) & 0xFFFF);
        EXPECT_EQ(want.className, ClassOf(children[i]));
        if (std::string(want.className) != "Static" || want.text[0] != '\0') {
            EXPECT_EQ(want.text, CWnd::WindowText(children[i]));
        }
        // An icon control takes its icon's size, so only its place is compared.
        const Placement place = FromDialogUnits(dialog, want.x, want.y, want.cx, want.cy);
        const Placement actual = PlacementOf(dialog, children[i]);
        EXPECT_EQ(place.x, actual.x);
        EXPECT_EQ(place.y, actual.y);
        if ((StyleOf(children[i]) & SS_TYPEMASK) == SS_ICON && want.className[0] == 'S') continue;
        EXPECT_EQ(place.cx, actual.cx);
        // A drop-down combo box's height counts its list, which is not shown.
        if (std::string(want.className) != "ComboBox") {
            EXPECT_EQ(place.cy, actual.cy);
        }
    }
}

void ExpectDialogSize(HWND dialog, int cx, int cy) {
    RECT size = {cx, cy, 0, 0};
    ::MapDialogRect(dialog, &size);
    RECT client;
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(size.left, client.right);
    EXPECT_EQ(size.top, client.bottom);
}

class DialogTemplatesTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }

    void InDialog(UINT id, const std::function<void(HWND)>& check) {
        ScriptedDialog dialog(id);
        dialog.body = [&] { check(dialog.m_hWnd); };
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
};

TEST_F(DialogTemplatesTest, IconPicker) {
    InDialog(IDD_ICONSEL, [](HWND dialog) {
        EXPECT_EQ("更改图标", CWnd::WindowText(dialog));
        ExpectDialogSize(dialog, 209, 218);
        ExpectControls(dialog, {
                                   {IDOK, "Button", "确定", 34, 197, 42, 14},
                                   {IDCANCEL, "Button", "取消", 108, 197, 44, 14},
                                   {IDC_BTN_BROWSE_ICON_FILE, "Button", "浏览", 161, 29, 42, 14},
                                   {kNoId, "Static", "文件名：", 6, 4, 37, 9},
                                   {IDC_EDIT_ICON_FILE, "Edit", "", 6, 15, 196, 13},
                                   {kNoId, "Static", "当前图标：", 6, 41, 43, 11},
                                   {IDC_LIST_ICONS, "SysListView32", "", 6, 54, 196, 137},
                               });
        EXPECT_EQ(BS_PUSHBUTTON, StyleOf(::GetDlgItem(dialog, IDOK)) & BS_TYPEMASK);
        EXPECT_NE(0, StyleOf(::GetDlgItem(dialog, IDC_EDIT_ICON_FILE)) & ES_AUTOHSCROLL);
        const LONG list = StyleOf(::GetDlgItem(dialog, IDC_LIST_ICONS));
        EXPECT_EQ(LVS_ICON, list & LVS_TYPEMASK);
        const LONG wanted = LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOLABELWRAP | LVS_EDITLABELS |
                            LVS_ALIGNLEFT | LVS_NOCOLUMNHEADER | WS_TABSTOP;
        EXPECT_EQ(wanted, list & wanted);
        // The picker's own image list is released by the picker alone.
        EXPECT_EQ(0, list & LVS_SHAREIMAGELISTS);
        ExpectLabelsWhole(dialog);
    });
}

TEST_F(DialogTemplatesTest, ProgramEntry) {
    InDialog(IDD_RUNINFO, [](HWND dialog) {
        EXPECT_EQ("快速启动程序属性", CWnd::WindowText(dialog));
        ExpectDialogSize(dialog, 245, 262);
        // The arguments and the elevation came later and follow in the tab order.
        ExpectControls(dialog, {
                                   {IDOK, "Button", "确  定", 36, 244, 50, 14},
                                   {IDCANCEL, "Button", "取 消", 120, 244, 50, 14},
                                   {kNoId, "Static", "名称：", 8, 46, 25, 11},
                                   {IDC_EDIT_NAME, "Edit", "", 51, 44, 155, 12},
                                   {kNoId, "Static", "命令行：", 8, 6, 34, 9},
                                   {IDC_EDIT_COMMAND, "Edit", "", 51, 5, 120, 12},
                                   {kNoId, "Static", "图标：", 8, 64, 27, 10},
                                   {IDC_ICON_ENTRY, "Static", "", 51, 65, 21, 20},
                                   {IDC_BTN_CHANGE_ICON, "Button", "改  变", 156, 70, 48, 13},
                                   {kNoId, "Static", "快捷键：", 8, 98, 34, 12},
                                   {IDC_HOTKEY, "msctls_hotkey32", "", 51, 96, 154, 14},
                                   {kNoId, "Static", "工作目录：", 8, 122, 43, 11},
                                   {IDC_EDIT_WORKDIR, "Edit", "", 51, 120, 116, 13},
                                   {IDC_BTN_BROWSE_WORKDIR, "Button", "浏  览", 170, 120, 34, 13},
                                   {kNoId, "Static", "说明：", 8, 155, 26, 12},
                                   {IDC_EDIT_NOTE, "Edit", "", 51, 156, 152, 40},
                                   {IDC_BTN_BROWSE_COMMAND, "Button", "浏览", 175, 3, 31, 14},
                                   {kNoId, "Static", "参数：", 8, 25, 25, 9},
                                   {IDC_EDIT_ARGS, "Edit", "", 51, 23, 155, 12},
                                   {IDC_CHK_RUNAS, "Button", "以管理员身份运行", 51, 139, 150, 10},
                                   {IDC_CHK_WIN, "Button", "Win", 210, 98, 30, 10},
                                   {kNoId, "Static", "若已运行：", 8, 205, 42, 9},
                                   {IDC_COMBO_IF_RUNNING, "ComboBox", "", 51, 203, 80, 64},
                                   {kNoId, "Static", "窗口：", 8, 223, 25, 9},
                                   {IDC_COMBO_WINDOW, "ComboBox", "", 51, 221, 80, 64},
                               });
        EXPECT_EQ(IDOK, LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)));
        for (int id : {IDC_EDIT_NAME, IDC_EDIT_COMMAND, IDC_EDIT_WORKDIR, IDC_EDIT_NOTE, IDC_HOTKEY,
                       IDC_EDIT_ARGS, IDC_CHK_RUNAS, IDC_COMBO_IF_RUNNING, IDC_COMBO_WINDOW})
            EXPECT_NE(0, StyleOf(::GetDlgItem(dialog, id)) & WS_TABSTOP) << id;
        const LONG note = StyleOf(::GetDlgItem(dialog, IDC_EDIT_NOTE));
        const LONG multi = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
        EXPECT_EQ(multi, note & multi);
        HWND icon = ::GetDlgItem(dialog, IDC_ICON_ENTRY);
        EXPECT_EQ(SS_ICON, StyleOf(icon) & SS_TYPEMASK);
        EXPECT_NE(nullptr, reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0)));
        ExpectLabelsWhole(dialog);
    });
}

TEST_F(DialogTemplatesTest, BuiltInAction) {
    InDialog(IDD_ACT, [](HWND dialog) {
        EXPECT_EQ("Tarnwick 内置动作", CWnd::WindowText(dialog));
        ExpectDialogSize(dialog, 199, 121);
        ExpectControls(dialog, {
                                   {IDOK, "Button", "添加", 31, 100, 50, 14},
                                   {IDCANCEL, "Button", "取消", 106, 100, 50, 14},
                                   {kNoId, "Static", "动  作:", 14, 18, 23, 10},
                                   {IDC_COMBO_ACTION, "ComboBox", "", 48, 16, 97, 144},
                                   {IDC_ICON_ACTION, "Static", "", 156, 12, 21, 20},
                                   {kNoId, "Static", "快捷键:", 13, 60, 27, 9},
                                   {IDC_HOTKEY, "msctls_hotkey32", "", 47, 57, 97, 14},
                                   {IDC_CHK_WIN, "Button", "Win", 150, 59, 30, 10},
                               });
        EXPECT_EQ(IDOK, LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)));
        const LONG combo = StyleOf(::GetDlgItem(dialog, IDC_COMBO_ACTION));
        EXPECT_EQ(CBS_DROPDOWN, combo & 0x3);
        EXPECT_EQ(0, combo & CBS_SORT);
        ExpectLabelsWhole(dialog);
    });
}

TEST_F(DialogTemplatesTest, PanelAndAboutLabelsAreWhole) {
    InDialog(IDD_TARNWICK_DIALOG, ExpectLabelsWhole);
    InDialog(IDD_ABOUTBOX, ExpectLabelsWhole);
}

} // namespace
