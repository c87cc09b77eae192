// Data exchange in both directions: texts, numbers and check boxes, the byte limit of a
// text with its message, and what a failed store leaves behind.

#include "ui/data_exchange.h"

#include "framework_test_res.h"
#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class FormDialog : public ScriptedDialog {
public:
    FormDialog() : ScriptedDialog(IDD_TEST_FORM) {}

    std::string name;
    int check = 0;
    int number = 0;
    int nameLimit = 5;
    bool realMessageBox = false;
    std::vector<std::pair<std::string, UINT>> messages;

    int ShowMessage(const std::string& text, UINT type) override {
        if (realMessageBox) return ScriptedDialog::ShowMessage(text, type);
        messages.emplace_back(text, type);
        return IDOK;
    }

    std::string Text(int id) const { return CWnd::WindowText(GetDlgItem(id)); }
    void SetText(int id, const std::string& text) {
        ::SetWindowTextW(GetDlgItem(id), Widen(text).c_str());
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_TEST_NAME, name);
        DDV_MaxChars(dx, name, nameLimit);
        DDX_Check(dx, IDC_TEST_CHECK, check);
        DDX_Text(dx, IDC_TEST_NUMBER, number);
    }
};

class FrameworkDataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
};

const UINT kExclamationOk = MB_OK | MB_ICONEXCLAMATION;

TEST_F(FrameworkDataExchangeTest, ShowsMembersAndStoresControlsBack) {
    FormDialog dialog;
    dialog.name = "abc";
    dialog.check = 1;
    dialog.number = -42;
    BOOL stored = FALSE;
    dialog.body = [&] {
        EXPECT_EQ("abc", dialog.Text(IDC_TEST_NAME));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog.m_hWnd, IDC_TEST_CHECK));
        EXPECT_EQ("-42", dialog.Text(IDC_TEST_NUMBER));
        // Showing also stops typing at the limit.
        EXPECT_EQ(5, ::SendMessageW(dialog.GetDlgItem(IDC_TEST_NAME), EM_GETLIMITTEXT, 0, 0));

        dialog.SetText(IDC_TEST_NAME, "xy");
        ::CheckDlgButton(dialog.m_hWnd, IDC_TEST_CHECK, BST_UNCHECKED);
        dialog.SetText(IDC_TEST_NUMBER, " +17 ");
        stored = dialog.UpdateData(TRUE);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(stored);
    EXPECT_EQ("xy", dialog.name);
    EXPECT_EQ(0, dialog.check);
    EXPECT_EQ(17, dialog.number);
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(FrameworkDataExchangeTest, TextOverItsLimitFailsTheStoreWithTheMessage) {
    FormDialog dialog;
    BOOL stored = TRUE;
    HWND focus = nullptr, nameEdit = nullptr;
    DWORD selection = 0;
    dialog.body = [&] {
        nameEdit = dialog.GetDlgItem(IDC_TEST_NAME);
        ::SetFocus(dialog.GetDlgItem(IDC_TEST_NUMBER));
        // Text put in by the program is not cut to the limit; only the store refuses it.
        dialog.SetText(IDC_TEST_NAME, "abcdef");
        ::CheckDlgButton(dialog.m_hWnd, IDC_TEST_CHECK, BST_CHECKED);
        dialog.SetText(IDC_TEST_NUMBER, "9");
        stored = dialog.UpdateData(TRUE);
        focus = ::GetFocus();
        selection =
            static_cast<DWORD>(::SendMessageW(dialog.GetDlgItem(IDC_TEST_NAME), EM_GETSEL, 0, 0));
    };
    dialog.DoModal();
    EXPECT_FALSE(stored);
    ASSERT_EQ(1u, dialog.messages.size());
    EXPECT_EQ("Please enter no more than 5 characters.", dialog.messages[0].first);
    EXPECT_EQ(kExclamationOk, dialog.messages[0].second);
    EXPECT_EQ(nameEdit, focus);
    EXPECT_EQ(MAKELONG(0, 6), selection); // the whole text selected for retyping
    // The exchange stopped at the failing control.
    EXPECT_EQ(0, dialog.check);
    EXPECT_EQ(0, dialog.number);
}

TEST_F(FrameworkDataExchangeTest, LimitCountsBytesSoDoubleByteCharactersCountTwo) {
    struct Case {
        const char* text;
        bool fits;
    };
    const Case cases[] = {
        {"中文", true},    // 4 bytes
        {"中文字", false}, // 6 bytes, 3 characters
        {"ab中", true},    // 4 bytes
        {"ab中c", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FormDialog dialog;
        dialog.nameLimit = 4;
        BOOL stored = FALSE;
        dialog.body = [&] {
            dialog.SetText(IDC_TEST_NAME, c.text);
            stored = dialog.UpdateData(TRUE);
        };
        dialog.DoModal();
        EXPECT_EQ(c.fits, stored != FALSE);
        if (c.fits)
            EXPECT_EQ(c.text, dialog.name);
        else
            EXPECT_EQ(1u, dialog.messages.size());
    }
}

TEST_F(FrameworkDataExchangeTest, OkWithAFailingStoreKeepsTheDialogOpen) {
    FormDialog dialog;
    dialog.body = [&] {
        dialog.SetText(IDC_TEST_NAME, "toolong");
        dialog.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    // The body's own end (IDCANCEL) comes after the OK click: OK must not have ended it.
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1u, dialog.messages.size());
}

TEST_F(FrameworkDataExchangeTest, NumbersMustBeWhole) {
    const char* bad[] = {"12x", "", "-", "1 2", "99999999999"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        FormDialog dialog;
        dialog.number = 3;
        BOOL stored = TRUE;
        dialog.body = [&] {
            dialog.SetText(IDC_TEST_NUMBER, text);
            stored = dialog.UpdateData(TRUE);
        };
        dialog.DoModal();
        EXPECT_FALSE(stored);
        EXPECT_EQ(3, dialog.number);
        ASSERT_EQ(1u, dialog.messages.size());
        EXPECT_EQ("Please enter an integer.", dialog.messages[0].first);
    }
}

TEST_F(FrameworkDataExchangeTest, RealMessageBoxIsOwnedByTheDialogAndCaptionedWithTheProgramName) {
    FormDialog dialog;
    dialog.realMessageBox = true;
    std::string text, caption;
    HWND owner = nullptr, dialogWindow = nullptr;
    BOOL stored = TRUE;
    dialog.body = [&] {
        dialogWindow = dialog.m_hWnd;
        dialog.SetText(IDC_TEST_NAME, "abcdefgh");
        bool answered = AnswerSystemDialog(
            [&](HWND box) {
                text = CWnd::WindowText(::GetDlgItem(box, 0xFFFF));
                caption = CWnd::WindowText(box);
                owner = ::GetWindow(box, GW_OWNER);
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            },
            [&] { stored = dialog.UpdateData(TRUE); });
        EXPECT_TRUE(answered);
    };
    CDialog::SetAppName("win32_tests");
    dialog.DoModal();
    CDialog::SetAppName("");
    EXPECT_FALSE(stored);
    EXPECT_EQ("Please enter no more than 5 characters.", text);
    EXPECT_EQ("win32_tests", caption);
    EXPECT_EQ(dialogWindow, owner);
}

} // namespace
