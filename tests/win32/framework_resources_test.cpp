// The program's resources as the system loads them: the panel template's controls,
// texts, styles and positions, the About box, the menus, the icon, the strings, the
// manifest and the version.

#include "res/resource.h"

#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPanelCaption[] = "Tarnwick  --- www.tarnwick.org";

struct ExpectedControl {
    int id; // 0xFFFF for the unnumbered ones
    const char* className;
    const char* text;
    RECT dlu; // left, top, right, bottom in dialog units
};

RECT Dlu(int x, int y, int cx, int cy) {
    return RECT{x, y, x + cx, y + cy};
}

HMODULE Self() {
    return ::GetModuleHandleW(nullptr);
}

class FrameworkResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
};

TEST_F(FrameworkResourcesTest, PanelTemplateHasItsControlsInTabOrderWithTheirTextsAndPlaces) {
    const ExpectedControl expected[] = {
        {IDC_BTN_EXIT, "Button", "退出程序", Dlu(319, 22, 85, 16)},
        {IDC_BTN_HIDE, "Button", "隐藏窗口", Dlu(320, 3, 84, 16)},
        {IDC_LIST_ENTRIES, "SysListView32", "", Dlu(7, 98, 397, 179)},
        {IDC_BTN_HOTKEYS_OFF, "Button", "关闭快捷键", Dlu(7, 3, 68, 16)},
        {IDC_CHK_AUTORUN, "Button", "开机自动运行", Dlu(159, 19, 64, 10)},
        {IDC_CHK_SHOWTRAY, "Button", "在托盘中显示图标", Dlu(159, 38, 78, 11)},
        {IDC_BTN_ADD, "Button", "添加", Dlu(7, 64, 39, 15)},
        {IDC_BTN_DELETE, "Button", "删除", Dlu(114, 64, 39, 15)},
        {IDC_BTN_PROPERTIES, "Button", "属性", Dlu(166, 64, 39, 15)},
        {IDC_BTN_SAVE, "Button", "保存", Dlu(316, 64, 39, 15)},
        {IDC_BTN_LOAD, "Button", "载入", Dlu(365, 64, 39, 15)},
        {IDC_BTN_VIEW, "Button", "查看", Dlu(219, 64, 39, 15)},
        {IDC_BTN_HELP, "Button", "查看帮助", Dlu(320, 42, 84, 16)},
        {0xFFFF, "Button", "设置", Dlu(144, 3, 115, 55)},
        {IDC_BTN_HOTKEYS_ON, "Button", "启用快捷键", Dlu(7, 24, 68, 16)},
        {0xFFFF, "Static", "Ctrl+Alt+Home", Dlu(76, 7, 62, 11)},
        {0xFFFF, "Static", "Ctrl+Alt+Home", Dlu(76, 28, 62, 11)},
        {0xFFFF, "Static", "Ctrl+Alt+End", Dlu(271, 6, 47, 10)},
        {IDC_BTN_ABOUT, "Button", "关于....", Dlu(7, 44, 68, 15)},
        {IDC_BTN_CLEAR, "Button", "清空", Dlu(268, 64, 39, 15)},
        {IDC_BTN_BUILTIN, "Button", "内置", Dlu(60, 64, 39, 15)},
        {0xFFFF, "Static", "查找：", Dlu(7, 85, 24, 9)},
        {IDC_EDIT_SEARCH, "Edit", "", Dlu(32, 83, 150, 12)},
    };
    ScriptedDialog panel(IDD_TARNWICK_DIALOG);
    panel.body = [&] {
        HWND dialog = panel.m_hWnd;
        EXPECT_EQ(kPanelCaption, panel.GetWindowText());
        // Start-up finds a running copy by the caption alone.
        EXPECT_EQ(dialog, ::FindWindowW(nullptr, Widen(kPanelCaption).c_str()));

        std::vector<HWND> children = Children(dialog);
        ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), children.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const ExpectedControl& want = expected[i];
            SCOPED_TRACE(want.text);
            EXPECT_EQ(want.id, ::GetDlgCtrlID(children[i]) & 0xFFFF);
            EXPECT_EQ(want.className, ClassOf(children[i]));
            EXPECT_EQ(want.text, CWnd::WindowText(children[i]));
            const Placement place =
                FromDialogUnits(dialog, want.dlu.left, want.dlu.top, want.dlu.right - want.dlu.left,
                                want.dlu.bottom - want.dlu.top);
            const Placement actual = PlacementOf(dialog, children[i]);
            EXPECT_EQ(place.x, actual.x);
            EXPECT_EQ(place.y, actual.y);
            EXPECT_EQ(place.cx, actual.cx);
            EXPECT_EQ(place.cy, actual.cy);
        }
    };
    EXPECT_EQ(IDCANCEL, panel.DoModal());
}

TEST_F(FrameworkResourcesTest, PanelStyles) {
    ScriptedDialog panel(IDD_TARNWICK_DIALOG);
    panel.body = [&] {
        HWND dialog = panel.m_hWnd;
        LONG style = ::GetWindowLongW(dialog, GWL_STYLE);
        LONG exStyle = ::GetWindowLongW(dialog, GWL_EXSTYLE);
        const LONG windowStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        EXPECT_EQ(windowStyle, style & windowStyle);
        EXPECT_EQ(0, style & WS_MAXIMIZEBOX);
        const LONG panelEx = WS_EX_APPWINDOW | WS_EX_CLIENTEDGE;
        EXPECT_EQ(panelEx, exStyle & panelEx);
        // Enter presses the hide button.
        EXPECT_EQ(IDC_BTN_HIDE, LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)));

        HWND list = panel.GetDlgItem(IDC_LIST_ENTRIES);
        LONG listStyle = ::GetWindowLongW(list, GWL_STYLE);
        LONG listEx = ::GetWindowLongW(list, GWL_EXSTYLE);
        const LONG wanted = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                            LVS_ALIGNLEFT | LVS_OWNERDATA | WS_TABSTOP;
        EXPECT_EQ(wanted, listStyle & wanted);
        EXPECT_EQ(LVS_REPORT, listStyle & LVS_TYPEMASK);
        // Visual styles turn the border into a client edge.
        EXPECT_TRUE((listStyle & WS_BORDER) != 0 || (listEx & WS_EX_CLIENTEDGE) != 0);
        EXPECT_NE(0, listEx & WS_EX_ACCEPTFILES);
        for (int id : {IDC_CHK_AUTORUN, IDC_CHK_SHOWTRAY})
            EXPECT_EQ(BS_AUTOCHECKBOX,
                      ::GetWindowLongW(panel.GetDlgItem(id), GWL_STYLE) & BS_TYPEMASK);
    };
    EXPECT_EQ(IDCANCEL, panel.DoModal());
}

TEST_F(FrameworkResourcesTest, AboutBox) {
    ScriptedDialog about(IDD_ABOUTBOX);
    about.body = [&] {
        EXPECT_EQ("关于 Tarnwick", about.GetWindowText());
        HWND ok = about.GetDlgItem(IDOK);
        EXPECT_EQ("确定", CWnd::WindowText(ok));
        std::vector<HWND> children = Children(about.m_hWnd);
        ASSERT_EQ(6u, children.size());
        EXPECT_NE(nullptr, reinterpret_cast<HICON>(::SendMessageW(children[0], STM_GETICON, 0, 0)));
        EXPECT_EQ("Tarnwick V2.1", CWnd::WindowText(children[1]));
        EXPECT_EQ("www.tarnwick.org", CWnd::WindowText(children[3]));
    };
    EXPECT_EQ(IDCANCEL, about.DoModal());
}

struct MenuItem {
    UINT id;
    const char* text;
};

std::string MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return Narrow(text);
}

void ExpectItems(HMENU menu, const std::vector<MenuItem>& items, bool endsWithViewMenu) {
    int count = ::GetMenuItemCount(menu);
    ASSERT_EQ(static_cast<int>(items.size()) + (endsWithViewMenu ? 1 : 0), count);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, ::GetMenuItemID(menu, static_cast<int>(i)));
        EXPECT_EQ(items[i].text, MenuText(menu, static_cast<UINT>(i)));
    }
    if (endsWithViewMenu) {
        EXPECT_EQ("查看(&V)", MenuText(menu, static_cast<UINT>(items.size())));
        HMENU view = ::GetSubMenu(menu, static_cast<int>(items.size()));
        ASSERT_NE(nullptr, view);
        ExpectItems(
            view, {{135, "大图标(&B)"}, {136, "小图标(&S)"}, {137, "列表(&L)"}, {138, "报告(&R)"}},
            false);
    }
}

TEST_F(FrameworkResourcesTest, ListMenusByPosition) {
    HMENU menu = ::LoadMenuW(Self(), MAKEINTRESOURCEW(IDR_MENU_LIST));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(3, ::GetMenuItemCount(menu));
    EXPECT_EQ("_POP_VIEW_", MenuText(menu, MENU_POS_VIEW));
    EXPECT_EQ("_POP_CLN_", MenuText(menu, MENU_POS_LIST_EMPTY));
    EXPECT_EQ("_POP_CL_", MenuText(menu, MENU_POS_LIST_ITEM));
    ExpectItems(::GetSubMenu(menu, MENU_POS_VIEW),
                {{135, "大图标(&B)"}, {136, "小图标(&S)"}, {137, "列表(&L)"}, {138, "报告(&R)"}},
                false);
    ExpectItems(::GetSubMenu(menu, MENU_POS_LIST_EMPTY),
                {{139, "添加(&A)"}, {140, "清除(&C)"}, {149, "合并列表(&M)..."}}, true);
    ExpectItems(::GetSubMenu(menu, MENU_POS_LIST_ITEM),
                {{148, "运行(&R)"}, {146, "属性(&A)"}, {147, "删除(&D)"}, {149, "合并列表(&M)..."}},
                true);
    ::DestroyMenu(menu);
}

TEST_F(FrameworkResourcesTest, TrayMenu) {
    HMENU menu = ::LoadMenuW(Self(), MAKEINTRESOURCEW(IDR_MENU_TRAY));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, ::GetMenuItemCount(menu));
    EXPECT_EQ("_POP_TRAY_", MenuText(menu, 0));
    ExpectItems(::GetSubMenu(menu, 0),
                {{130, "显示面板(&S)"},
                 {131, "关于(&A)..."},
                 {132, "禁用快捷键(&D)"},
                 {133, "启用快捷键(&U)"},
                 {134, "退出程序(&X)"}},
                false);
    ::DestroyMenu(menu);
}

std::vector<unsigned char> Resource(LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(Self(), name, type);
    if (found == nullptr) return {};
    const unsigned char* data =
        static_cast<const unsigned char*>(::LockResource(::LoadResource(Self(), found)));
    return std::vector<unsigned char>(data, data + ::SizeofResource(Self(), found));
}

TEST_F(FrameworkResourcesTest, IconIsOne32By32ImageIn16Colours) {
    std::vector<unsigned char> group =
        Resource(MAKEINTRESOURCEW(IDR_MAINFRAME), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    ASSERT_EQ(6u + 14u, group.size()); // header and one entry
    EXPECT_EQ(1, group[4] | (group[5] << 8));
    EXPECT_EQ(32, group[6]);                    // width
    EXPECT_EQ(32, group[7]);                    // height
    EXPECT_EQ(16, group[8]);                    // colours
    EXPECT_EQ(4, group[12] | (group[13] << 8)); // bits per pixel
    HICON icon = static_cast<HICON>(
        ::LoadImageW(Self(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(nullptr, icon);
    ::DestroyIcon(icon);
}

TEST_F(FrameworkResourcesTest, StringTable) {
    wchar_t text[64] = {};
    ::LoadStringW(Self(), IDS_ABOUTBOX, text, 64);
    EXPECT_EQ("关于 Tarnwick(&A)...", Narrow(text));
}

TEST_F(FrameworkResourcesTest, ManifestAsksForCommonControls6) {
    std::vector<unsigned char> manifest = Resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Tarnwick\""));
    EXPECT_NE(std::string::npos, text.find("version=\"1.0.0.0\""));
    EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, text.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, text.find("publicKeyToken=\"6595b64144ccf1df\""));
}

// A manifest naming another processor than the program's keeps the system from loading it,
// and the common controls of version 6 with it.
TEST_F(FrameworkResourcesTest, ManifestNamesTheProgramsProcessorAndDpiAwareness) {
    std::vector<unsigned char> manifest = Resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    std::string text(manifest.begin(), manifest.end());
    const std::string own = sizeof(void*) == 8 ? "amd64" : "x86";
    const std::string other = sizeof(void*) == 8 ? "x86" : "amd64";
    size_t named = 0;
    for (size_t at = text.find("processorArchitecture=\"" + own + "\""); at != std::string::npos;
         at = text.find("processorArchitecture=\"" + own + "\"", at + 1))
        ++named;
    EXPECT_EQ(2u, named) << "the program and the common controls it asks for";
    EXPECT_EQ(std::string::npos, text.find("processorArchitecture=\"" + other + "\""));
    EXPECT_NE(std::string::npos, text.find(">true/pm</dpiAware>"));
    EXPECT_NE(std::string::npos, text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
}

// The value of a string in a version resource: its UTF-16 key, zero, padding to four
// bytes, then the UTF-16 value.
std::string VersionString(const std::vector<unsigned char>& blob, const std::string& key) {
    std::vector<unsigned char> pattern;
    for (char c : key) {
        pattern.push_back(static_cast<unsigned char>(c));
        pattern.push_back(0);
    }
    pattern.push_back(0);
    pattern.push_back(0);
    for (size_t at = 0; at + pattern.size() <= blob.size(); at += 2) {
        if (std::memcmp(&blob[at], pattern.data(), pattern.size()) != 0) continue;
        size_t value = (at + pattern.size() + 3) & ~size_t(3);
        std::string result;
        for (; value + 1 < blob.size() && (blob[value] | blob[value + 1]); value += 2)
            result += static_cast<char>(blob[value]);
        return result;
    }
    return "(missing)";
}

TEST_F(FrameworkResourcesTest, VersionIs2121) {
    std::vector<unsigned char> blob =
        Resource(MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_VERSION));
    ASSERT_FALSE(blob.empty());
    const unsigned char signature[] = {0xBD, 0x04, 0xEF, 0xFE};
    size_t at = 0;
    while (at + 4 <= blob.size() && std::memcmp(&blob[at], signature, 4) != 0)
        at += 4;
    ASSERT_LT(at + sizeof(VS_FIXEDFILEINFO), blob.size());
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, &blob[at], sizeof(info));
    EXPECT_EQ(0x00020001u, info.dwFileVersionMS);
    EXPECT_EQ(0x00020001u, info.dwFileVersionLS);
    EXPECT_EQ(0x00020001u, info.dwProductVersionMS);
    EXPECT_EQ(0x00020001u, info.dwProductVersionLS);
    EXPECT_EQ("Tarnwick", VersionString(blob, "ProductName"));
    EXPECT_EQ("Tarnwick.exe", VersionString(blob, "OriginalFilename"));
    EXPECT_EQ("Tarnwick.exe", VersionString(blob, "InternalName"));
    EXPECT_EQ("2.1.2.1", VersionString(blob, "FileVersion"));
}

} // namespace
