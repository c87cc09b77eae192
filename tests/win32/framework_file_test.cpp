// The common file dialog and the folder browser, answered from a timer, and the guard
// that keeps the current directory across them.

#include "ui/cur_dir_guard.h"
#include "ui/file_dialog.h"
#include "ui/folder_dialog.h"

#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <string>

#include <dlgs.h>
#include <shlobj.h>

namespace {

std::string CurrentDirectory() {
    char buffer[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, buffer);
    return buffer;
}

class FrameworkFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCommonControls();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_dir = std::string(temp) + "tw_file_dialog_test";
        ::CreateDirectoryA(m_dir.c_str(), nullptr);
        m_file = m_dir + "\\pick.me.txt";
        HANDLE file =
            ::CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(file);
    }
    void TearDown() override {
        ::DeleteFileA(m_file.c_str());
        ::DeleteFileA((m_dir + "\\abc.map").c_str());
        ::RemoveDirectoryA(m_dir.c_str());
    }

    // Types `name` into the file dialog's name box and presses its OK button.
    static std::function<void(HWND)> Choose(const std::string& name) {
        return [name](HWND dialog) {
            HWND box = ::GetDlgItem(dialog, cmb13);
            if (box == nullptr) box = ::GetDlgItem(dialog, edt1);
            ::SetWindowTextW(box, Widen(name).c_str());
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        };
    }
    static void Cancel(HWND dialog) {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }

    std::string m_dir;
    std::string m_file;
};

const char kListFilter[] = "快捷键列表文件(*.map)|*.map|所有文件(*.*)|*.*|";

TEST_F(FrameworkFileTest, FilterSeparatorsBecomeZeroCharacters) {
    using namespace std::string_literals;
    EXPECT_EQ("快捷键列表文件(*.map)\0*.map\0所有文件(*.*)\0*.*\0\0"s,
              FileDialogFilter(kListFilter));
    EXPECT_EQ("\0"s, FileDialogFilter(""));
}

TEST_F(FrameworkFileTest, GuardRestoresTheCurrentDirectory) {
    std::string before = CurrentDirectory();
    {
        CurDirGuard guard;
        ASSERT_TRUE(::SetCurrentDirectoryA(m_dir.c_str()));
        EXPECT_NE(before, CurrentDirectory());
    }
    EXPECT_EQ(before, CurrentDirectory());
}

TEST_F(FrameworkFileTest, OpenDialogReturnsTheChosenFile) {
    std::string before = CurrentDirectory();
    CFileDialog dialog(TRUE, "", "", 0, "可执行文件(*.exe)|*.exe|所有文件(*.*)|*.*|");
    INT_PTR result = 0;
    {
        CurDirGuard guard;
        EXPECT_TRUE(AnswerSystemDialog(Choose(m_file), [&] { result = dialog.DoModal(); }));
    }
    ASSERT_EQ(IDOK, result);
    EXPECT_EQ(m_file, dialog.GetPathName());
    EXPECT_EQ("pick.me.txt", dialog.GetFileName());
    EXPECT_EQ("pick.me", dialog.GetFileTitle()); // only the last extension goes
    EXPECT_EQ(before, CurrentDirectory());
}

TEST_F(FrameworkFileTest, CancelledDialogAnswersCancel) {
    CFileDialog dialog(TRUE, "", "", 0, kListFilter);
    INT_PTR result = 0;
    EXPECT_TRUE(AnswerSystemDialog(&Cancel, [&] { result = dialog.DoModal(); }));
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(FrameworkFileTest, SaveDialogAddsTheDefaultExtensionOnce) {
    CFileDialog dialog(FALSE, ".map", "hotkey01", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       kListFilter);
    INT_PTR result = 0;
    std::string shownName;
    auto answer = [&](HWND box) {
        HWND name = ::GetDlgItem(box, cmb13) ? ::GetDlgItem(box, cmb13) : ::GetDlgItem(box, edt1);
        shownName = CWnd::WindowText(name);
        Choose(m_dir + "\\abc")(box);
    };
    EXPECT_TRUE(AnswerSystemDialog(answer, [&] { result = dialog.DoModal(); }));
    ASSERT_EQ(IDOK, result);
    EXPECT_EQ("hotkey01", shownName);
    EXPECT_EQ(m_dir + "\\abc.map", dialog.GetPathName());
    EXPECT_EQ("abc", dialog.GetFileTitle());
}

TEST_F(FrameworkFileTest, FolderBrowserCancelLeavesThePathAlone) {
    std::string path = "unchanged";
    bool chosen = true;
    EXPECT_TRUE(AnswerSystemDialog(&Cancel, [&] {
        chosen = BrowseForFolder(nullptr, "请选择一个选择文件夹", BIF_EDITBOX, path);
    }));
    EXPECT_FALSE(chosen);
    EXPECT_EQ("unchanged", path);
}

} // namespace
