// The program's dialogs and menus in both languages: every one exists in each language,
// the English templates have the Chinese ones' controls in the same tab order with the same
// classes and styles, their texts are whole on their controls and the controls inside
// their dialogs, and the menus have the same items in the same places. At 150 % the same
// checks hold when the run's prefix sets LogPixels to 144.

#include "res/resource.h"

#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

HMODULE Self() {
    return ::GetModuleHandleW(nullptr);
}

using IdsByLanguage = std::map<WORD, std::set<std::wstring>>;

std::wstring NameOf(LPCWSTR name) {
    return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name)) : name;
}

// The test's own templates are numbered from here, clear of the program's.
const UINT_PTR kTestResourcesFrom = 9100;

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR ids) {
    if (IS_INTRESOURCE(name) && reinterpret_cast<UINT_PTR>(name) >= kTestResourcesFrom)
        return TRUE;
    (*reinterpret_cast<IdsByLanguage*>(ids))[language].insert(NameOf(name));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR ids) {
    ::EnumResourceLanguagesW(module, type, name, &AddLanguage, ids);
    return TRUE;
}

TEST(ResourceLanguages, EveryDialogMenuAndStringTableIsInEachLanguage) {
    for (LPCWSTR type : {RT_DIALOG, RT_MENU, RT_STRING}) {
        SCOPED_TRACE(reinterpret_cast<UINT_PTR>(type));
        IdsByLanguage ids;
        ::EnumResourceNamesW(Self(), type, &AddName, reinterpret_cast<LONG_PTR>(&ids));
        ASSERT_FALSE(ids[kChinese].empty());
        EXPECT_EQ(ids[kChinese], ids[kEnglish]);
        for (const auto& language : ids)
            EXPECT_EQ(ids[kChinese], language.second) << "language " << language.first;
    }
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The dialog `id` in `language`, created hidden; nullptr when there is none.
HWND CreateHidden(UINT id, WORD language) {
    HRSRC found = ::FindResourceExW(Self(), RT_DIALOG, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) return nullptr;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(Self(), found)));
    std::vector<BYTE> copy(data, data + ::SizeofResource(Self(), found));
    // An extended template has its style after its version, signature, help id and
    // extended style.
    const bool extended = copy.size() > 4 && copy[2] == 0xFF && copy[3] == 0xFF;
    DWORD* style = reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0));
    *style &= ~WS_VISIBLE;
    return ::CreateDialogIndirectParamW(Self(), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()),
                                        nullptr, &IgnoreAll, 0);
}

void ExpectInsideClient(HWND dialog) {
    RECT client;
    ::GetClientRect(dialog, &client);
    for (HWND child : Children(dialog)) {
        SCOPED_TRACE(::GetDlgCtrlID(child));
        const Placement place = PlacementOf(dialog, child);
        EXPECT_GE(place.x, 0);
        EXPECT_GE(place.y, 0);
        EXPECT_LE(place.x + place.cx, client.right);
        EXPECT_LE(place.y + place.cy, client.bottom);
    }
}

struct DialogCase {
    UINT id;
    bool sameCaption; // found by its caption, whatever the language
};

TEST(ResourceLanguages, EnglishDialogsHaveTheChineseControlsInOrderWithWholeTexts) {
    EnsureCommonControls();
    const DialogCase cases[] = {{IDD_TARNWICK_DIALOG, true},
                                {IDD_ABOUTBOX, false},
                                {IDD_ICONSEL, false},
                                {IDD_RUNINFO, false},
                                {IDD_ACT, false}};
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.id);
        HWND chinese = CreateHidden(c.id, kChinese);
        HWND english = CreateHidden(c.id, kEnglish);
        ASSERT_NE(nullptr, chinese);
        ASSERT_NE(nullptr, english);
        EXPECT_FALSE(CWnd::WindowText(english).empty());
        if (c.sameCaption) {
            EXPECT_EQ(CWnd::WindowText(chinese), CWnd::WindowText(english));
        }
        const std::vector<HWND> zh = Children(chinese), en = Children(english);
        EXPECT_EQ(zh.size(), en.size());
        for (size_t i = 0; i < zh.size() && i < en.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(::GetDlgCtrlID(zh[i]), ::GetDlgCtrlID(en[i]));
            EXPECT_EQ(ClassOf(zh[i]), ClassOf(en[i]));
            // A button may break its longer English text onto a second line.
            const LONG free = ClassOf(en[i]) == "Button" ? BS_MULTILINE : 0;
            EXPECT_EQ(::GetWindowLongW(zh[i], GWL_STYLE) & ~free,
                      ::GetWindowLongW(en[i], GWL_STYLE) & ~free);
            EXPECT_EQ(::GetWindowLongW(zh[i], GWL_EXSTYLE), ::GetWindowLongW(en[i], GWL_EXSTYLE));
            EXPECT_EQ(CWnd::WindowText(zh[i]).empty(), CWnd::WindowText(en[i]).empty())
                << CWnd::WindowText(zh[i]) << " / " << CWnd::WindowText(en[i]);
        }
        ExpectTextsWhole(english, true);
        ExpectInsideClient(english);
        ::DestroyWindow(english);
        ::DestroyWindow(chinese);
    }
}

HMENU LoadMenuIn(UINT id, WORD language) {
    HRSRC found = ::FindResourceExW(Self(), RT_MENU, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) return nullptr;
    return ::LoadMenuIndirectW(::LockResource(::LoadResource(Self(), found)));
}

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

// The same items with the same ids in the same places, every one with a text; the pop-up
// titles of the bar, which the code finds by position and never shows, are the same.
void ExpectSameItems(HMENU chinese, HMENU english, bool bar) {
    const int count = ::GetMenuItemCount(chinese);
    ASSERT_GT(count, 0);
    ASSERT_EQ(count, ::GetMenuItemCount(english));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(::GetMenuItemID(chinese, i), ::GetMenuItemID(english, i));
        const bool separator = (::GetMenuState(chinese, i, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        EXPECT_EQ(separator, (::GetMenuState(english, i, MF_BYPOSITION) & MF_SEPARATOR) != 0);
        if (!separator) {
            EXPECT_FALSE(ItemText(chinese, i).empty());
            EXPECT_FALSE(ItemText(english, i).empty());
        }
        if (bar) {
            EXPECT_EQ(ItemText(chinese, i), ItemText(english, i));
        }
        HMENU zh = ::GetSubMenu(chinese, i), en = ::GetSubMenu(english, i);
        ASSERT_EQ(zh == nullptr, en == nullptr);
        if (zh) ExpectSameItems(zh, en, false);
    }
}

TEST(ResourceLanguages, EnglishMenusHaveTheChineseItemsInTheirPlaces) {
    for (UINT id : {IDR_MENU_LIST, IDR_MENU_TRAY}) {
        SCOPED_TRACE(id);
        HMENU chinese = LoadMenuIn(id, kChinese);
        HMENU english = LoadMenuIn(id, kEnglish);
        ASSERT_NE(nullptr, chinese);
        ASSERT_NE(nullptr, english);
        ExpectSameItems(chinese, english, true);
        ::DestroyMenu(english);
        ::DestroyMenu(chinese);
    }
}

} // namespace
