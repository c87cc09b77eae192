// The icon picker driven through its controls: every icon of a file in the list, the
// index a click chooses, a typed file name, a file without icons, Browse, and the image
// list that only the picker releases.

#include "dialogs/icon_sel.h"

#include "dialog_test_support.h"

#include <gtest/gtest.h>

namespace {

class TestIconSel : public Scripted<CIconSel> {
public:
    using Scripted<CIconSel>::Scripted;

    std::function<bool(std::string&)> iconFile;

    int ItemCount() const { return m_IconList.GetItemCount(); }
    int Mark() const { return m_IconList.GetSelectionMark(); }
    // A click on the item's picture, as the list itself receives it.
    void ClickItem(int item) {
        RECT rect = {};
        rect.left = LVIR_ICON;
        ::SendMessageW(m_IconList.m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                       reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(m_IconList.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(m_IconList.m_hWnd, WM_LBUTTONUP, 0, at);
    }

protected:
    bool ChooseIconFile(std::string& path) override { return iconFile ? iconFile(path) : false; }
};

class IconSelTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
    const std::string fiveIcons = FileWithFiveIcons();
};

TEST_F(IconSelTest, ShowsEveryIconOnWhiteWithTheGivenIndexMarked) {
    TestIconSel dialog(fiveIcons, 2, nullptr);
    dialog.body = [&] {
        EXPECT_EQ(fiveIcons, dialog.Text(IDC_EDIT_ICON_FILE));
        EXPECT_EQ(5, dialog.ItemCount());
        EXPECT_EQ(2, dialog.Mark());
        HIMAGELIST images = dialog.m_IconList.GetImageList(LVSIL_NORMAL);
        ASSERT_EQ(dialog.m_ImageList.GetSafeHandle(), images);
        EXPECT_EQ(5, ::ImageList_GetImageCount(images));
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(images, &cx, &cy);
        EXPECT_EQ(32, cx);
        EXPECT_EQ(32, cy);
        EXPECT_EQ(RGB(255, 255, 255), ::ImageList_GetBkColor(images));
        // The mark moves the anchor only: nothing is highlighted.
        EXPECT_EQ(0, dialog.m_IconList.SendMessage(LVM_GETSELECTEDCOUNT));
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(fiveIcons, dialog.m_strFileName);
    EXPECT_EQ(2, dialog.m_nIconIndex);
    EXPECT_EQ(nullptr, dialog.m_ImageList.GetSafeHandle()) << "released with the dialog";
}

TEST_F(IconSelTest, ClickedIconIsTheChosenOne) {
    TestIconSel dialog(fiveIcons, 0, nullptr);
    dialog.body = [&] {
        dialog.ClickItem(3);
        EXPECT_EQ(3, dialog.Mark());
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(3, dialog.m_nIconIndex);
}

TEST_F(IconSelTest, TypedFileNameComesBackWithTheIndexOfTheListShown) {
    TestIconSel dialog(fiveIcons, 1, nullptr);
    dialog.body = [&] {
        dialog.ClickItem(4);
        dialog.SetText(IDC_EDIT_ICON_FILE, "C:\\其他\\other.dll");
        EXPECT_EQ(5, dialog.ItemCount()) << "typing does not rebuild the list";
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("C:\\其他\\other.dll", dialog.m_strFileName);
    EXPECT_EQ(4, dialog.m_nIconIndex);
}

TEST_F(IconSelTest, FileWithoutIconsShowsAnEmptyListAndGivesIndexZero) {
    ScratchDir dir;
    WriteBytes(dir.Path("plain.txt"), "text");
    for (const std::string& file : {dir.Path("plain.txt"), dir.Path("missing.exe")}) {
        TestIconSel dialog(file, 3, nullptr);
        dialog.body = [&] {
            EXPECT_EQ(0, dialog.ItemCount()) << file;
            dialog.Click(IDOK);
        };
        ASSERT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(0, dialog.m_nIconIndex) << file;
        EXPECT_EQ(file, dialog.m_strFileName);
        EXPECT_TRUE(dialog.boxes.empty());
    }
}

TEST_F(IconSelTest, BrowseShowsTheChosenFileWithTheOpeningIndexAndKeepsTheDirectory) {
    ScratchDir dir;
    WriteBytes(dir.Path("plain.txt"), "text");
    TestIconSel dialog(dir.Path("plain.txt"), 2, nullptr);
    const std::string before = CurrentDir();
    bool choose = false;
    dialog.iconFile = [&](std::string& path) {
        ::SetCurrentDirectoryA(dir.Path("").c_str());
        path = fiveIcons;
        return choose;
    };
    dialog.body = [&] {
        HIMAGELIST first = dialog.m_ImageList.GetSafeHandle();
        dialog.Click(IDC_BTN_BROWSE_ICON_FILE); // cancelled
        EXPECT_EQ(before, CurrentDir());
        EXPECT_EQ(dir.Path("plain.txt"), dialog.Text(IDC_EDIT_ICON_FILE));
        EXPECT_EQ(0, dialog.ItemCount());

        choose = true;
        dialog.Click(IDC_BTN_BROWSE_ICON_FILE);
        EXPECT_EQ(before, CurrentDir());
        EXPECT_EQ(fiveIcons, dialog.Text(IDC_EDIT_ICON_FILE));
        EXPECT_EQ(5, dialog.ItemCount());
        EXPECT_EQ(2, dialog.Mark());
        // A fresh list in the old one's place, and the list shows that one.
        EXPECT_NE(nullptr, first);
        EXPECT_EQ(dialog.m_ImageList.GetSafeHandle(), dialog.m_IconList.GetImageList(LVSIL_NORMAL));
        EXPECT_EQ(5, dialog.m_ImageList.GetImageCount());
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(fiveIcons, dialog.m_strFileName);
    EXPECT_EQ(2, dialog.m_nIconIndex);
}

TEST_F(IconSelTest, CancelReturnsCancelled) {
    TestIconSel dialog(fiveIcons, 1, nullptr);
    dialog.body = [&] {
        dialog.ClickItem(3);
        dialog.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_nIconIndex);
}

} // namespace
