// Icons from files and the icon a static control shows, the window's own icons, and the
// one door every message box of a dialog goes through.

#include "ui/data_exchange.h"
#include "ui/shell_icon.h"

#include "dialog_test_support.h"
#include "framework_test_res.h"

#include <gtest/gtest.h>

namespace {

class IconDialog : public ScriptedDialog {
public:
    IconDialog() : ScriptedDialog(IDD_TEST_CONTROLS) {}

    CStatic icon;
    std::vector<ShownBox> boxes;

    int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) override {
        boxes.push_back({text, caption, type});
        return IDOK;
    }

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_ICON, icon); }
};

class FrameworkIconsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
};

TEST_F(FrameworkIconsTest, FilesGiveTheirIconsOrNone) {
    ScratchDir dir;
    WriteBytes(dir.Path("plain.txt"), "text");
    const std::string five = FileWithFiveIcons();
    EXPECT_EQ(5, FileIconCount(five));
    EXPECT_EQ(0, FileIconCount(dir.Path("plain.txt")));
    EXPECT_EQ(0, FileIconCount(dir.Path("missing.exe")));

    HICON last = ExtractFileIcon(five, 4);
    EXPECT_TRUE(IconAlive(last));
    ::DestroyIcon(last);
    EXPECT_EQ(nullptr, ExtractFileIcon(five, 5));
    EXPECT_EQ(nullptr, ExtractFileIcon(five, -1)) << "the shell's count of icons is no icon";
    // The shell answers 1 for a file that is no program, library or icon file.
    EXPECT_EQ(nullptr, ExtractFileIcon(dir.Path("plain.txt"), 0));
    EXPECT_EQ(nullptr, ExtractFileIcon(dir.Path("missing.exe"), 0));
}

TEST_F(FrameworkIconsTest, ShownIconIsReleasedWhenReplacedAndAtTheEnd) {
    IconDialog dialog;
    const std::string five = FileWithFiveIcons();
    HICON first = ExtractFileIcon(five, 0);
    HICON second = ExtractFileIcon(five, 1);
    dialog.body = [&] {
        HICON owned = nullptr;
        ShowOwnedIcon(dialog.icon, first, owned);
        EXPECT_EQ(first, dialog.icon.GetIcon());
        ShowOwnedIcon(dialog.icon, second, owned);
        EXPECT_EQ(second, dialog.icon.GetIcon());
        EXPECT_FALSE(IconAlive(first));
        EXPECT_TRUE(IconAlive(second));
        ShowOwnedIcon(dialog.icon, nullptr, owned);
        EXPECT_EQ(nullptr, owned);
        EXPECT_EQ(nullptr, dialog.icon.GetIcon());
        EXPECT_FALSE(IconAlive(second));
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(FrameworkIconsTest, WindowIconsAndMessageBoxesGoThroughTheDialog) {
    const std::string appName = CDialog::GetAppName();
    CDialog::SetAppName("应用");
    IconDialog dialog;
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    dialog.body = [&] {
        dialog.SetIcon(icon, TRUE);
        dialog.SetIcon(icon, FALSE);
        EXPECT_EQ(icon, reinterpret_cast<HICON>(dialog.SendMessage(WM_GETICON, ICON_BIG)));
        EXPECT_EQ(icon, reinterpret_cast<HICON>(dialog.SendMessage(WM_GETICON, ICON_SMALL)));
        dialog.ShowMessage("framework text", MB_OK);
        dialog.ShowMessageBox("own text", "own caption", MB_ICONINFORMATION);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    CDialog::SetAppName(appName);
    ASSERT_EQ(2u, dialog.boxes.size());
    EXPECT_EQ("framework text", dialog.boxes[0].text);
    EXPECT_EQ("应用", dialog.boxes[0].caption);
    EXPECT_EQ("own caption", dialog.boxes[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), dialog.boxes[1].type);
}

} // namespace
