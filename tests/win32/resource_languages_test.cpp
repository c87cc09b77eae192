// Both languages' dialogs and menus: each one in both; the English templates with the
// Chinese ones' controls in the same tab order, their texts whole and their controls inside
// the dialog (at 150 % too, run with the prefix's LogPixels at 144); the same menu items.

#include "res/resource.h"

#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

const WORD kZh = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const WORD kEn = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const HMODULE kSelf = ::GetModuleHandleW(nullptr);
using IdsByLanguage = std::map<WORD, std::set<UINT_PTR>>;

// The program's resources are numbered below 9100, the test's own from there on.
BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR ids) {
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(name);
    if (id < 9100) (*reinterpret_cast<IdsByLanguage*>(ids))[language].insert(id);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR ids) {
    return ::EnumResourceLanguagesW(module, type, name, &AddLanguage, ids) || TRUE;
}

TEST(ResourceLanguages, EachDialogMenuAndStringTableIsInBothLanguages) {
    for (LPCWSTR type : {RT_DIALOG, RT_MENU, RT_STRING}) {
        IdsByLanguage ids;
        ::EnumResourceNamesW(kSelf, type, &AddName, reinterpret_cast<LONG_PTR>(&ids));
        EXPECT_FALSE(ids[kZh].empty());
        EXPECT_EQ(ids[kZh], ids[kEn]) << "type " << reinterpret_cast<UINT_PTR>(type);
    }
}

std::vector<BYTE> Resource(LPCWSTR type, UINT id, WORD language) {
    HRSRC found = ::FindResourceExW(kSelf, type, MAKEINTRESOURCEW(id), language);
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(kSelf, found)));
    return found ? std::vector<BYTE>(data, data + ::SizeofResource(kSelf, found))
                 : std::vector<BYTE>();
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Created hidden: the style follows the extended template's version, help id and ex-style.
HWND CreateHidden(UINT id, WORD language) {
    std::vector<BYTE> dialog = Resource(RT_DIALOG, id, language);
    if (dialog.size() < 16) return nullptr;
    reinterpret_cast<DWORD*>(dialog.data())[3] &= ~WS_VISIBLE;
    return ::CreateDialogIndirectParamW(kSelf, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()),
                                        nullptr, &IgnoreAll, 0);
}

TEST(ResourceLanguages, EnglishDialogsHaveTheChineseControlsInOrderWithWholeTexts) {
    EnsureCommonControls();
    for (UINT id : {IDD_TARNWICK_DIALOG, IDD_ABOUTBOX, IDD_ICONSEL, IDD_RUNINFO, IDD_ACT}) {
        SCOPED_TRACE(id);
        HWND zh = CreateHidden(id, kZh), en = CreateHidden(id, kEn);
        ASSERT_TRUE(zh && en);
        // A second start finds the panel by its caption, whatever its language.
        EXPECT_EQ(id == IDD_TARNWICK_DIALOG, CWnd::WindowText(zh) == CWnd::WindowText(en));
        const std::vector<HWND> a = Children(zh), b = Children(en);
        ASSERT_EQ(a.size(), b.size());
        RECT client;
        ::GetClientRect(en, &client);
        for (size_t i = 0; i < a.size(); ++i) {
            SCOPED_TRACE(CWnd::WindowText(a[i]) + " / " + CWnd::WindowText(b[i]));
            EXPECT_EQ(::GetDlgCtrlID(a[i]), ::GetDlgCtrlID(b[i]));
            EXPECT_EQ(ClassOf(a[i]), ClassOf(b[i]));
            EXPECT_EQ(CWnd::WindowText(a[i]).empty(), CWnd::WindowText(b[i]).empty());
            const Placement p = PlacementOf(en, b[i]);
            EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.cx <= client.right &&
                        p.y + p.cy <= client.bottom);
        }
        ExpectTextsWhole(en, true);
        ::DestroyWindow(en);
        ::DestroyWindow(zh);
    }
}

// The same ids in the same places, each item with a text; the bar's pop-up titles, which
// the code finds by position and nobody sees, stay as they are.
void ExpectSameItems(HMENU zh, HMENU en, bool bar) {
    ASSERT_EQ(::GetMenuItemCount(zh), ::GetMenuItemCount(en));
    for (int i = 0; i < ::GetMenuItemCount(zh); ++i) {
        wchar_t a[128] = {}, b[128] = {};
        ::GetMenuStringW(zh, i, a, 128, MF_BYPOSITION);
        ::GetMenuStringW(en, i, b, 128, MF_BYPOSITION);
        SCOPED_TRACE(Narrow(a) + " / " + Narrow(b));
        EXPECT_EQ(::GetMenuItemID(zh, i), ::GetMenuItemID(en, i));
        EXPECT_TRUE(a[0] && b[0]);
        EXPECT_EQ(bar, std::wstring(a) == b);
        ASSERT_EQ(!::GetSubMenu(zh, i), !::GetSubMenu(en, i));
        if (::GetSubMenu(zh, i)) ExpectSameItems(::GetSubMenu(zh, i), ::GetSubMenu(en, i), false);
    }
}

TEST(ResourceLanguages, EnglishMenusHaveTheChineseItemsInTheirPlaces) {
    for (UINT id : {IDR_MENU_LIST, IDR_MENU_TRAY}) {
        const std::vector<BYTE> zh = Resource(RT_MENU, id, kZh), en = Resource(RT_MENU, id, kEn);
        ASSERT_FALSE(zh.empty() || en.empty()) << id;
        HMENU a = ::LoadMenuIndirectW(zh.data()), b = ::LoadMenuIndirectW(en.data());
        ExpectSameItems(a, b, true);
        ::DestroyMenu(a);
        ::DestroyMenu(b);
    }
}

} // namespace
