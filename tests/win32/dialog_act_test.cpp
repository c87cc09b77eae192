// The built-in action dialog driven through its controls, against a catalogue in a
// scratch current directory: the actions in index order, the selected action's icon and
// fields, the hotkey, the missing icon's message, and the catalogue closed on every way
// out.

#include "dialogs/act_dlg.h"
#include "engine/hotkey_code.h"
#include "platform/win32/win32_system.h"
#include "storage/file_text.h"

#include "dialog_test_support.h"

#include <gtest/gtest.h>

namespace {

class TestAct : public Scripted<CAct> {
public:
    TestAct() : Scripted<CAct>(nullptr) {}

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (int i = 0; i < m_cbAction.GetCount(); ++i)
            items.push_back(m_cbAction.GetLBText(i));
        return items;
    }
    // A choice in the list, as the box reports it to the dialog.
    void Select(int item) {
        m_cbAction.SetCurSel(item);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_ACTION, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(m_cbAction.m_hWnd));
    }
    bool CatalogueClosed() const {
        return m_doc.GetValue("ACT", "count") == CIniDocument::kNoDocument;
    }
};

std::string Section(int i, const std::string& name, const std::string& icon, int iconint,
                    const std::string& path) {
    return "[act" + std::to_string(i) + "]\r\nname=" + name + "\r\nicon=" + icon +
           "\r\niconint=" + std::to_string(iconint) + "\r\npath=" + path + "\r\n";
}

class ActTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }

    void WriteCatalogue(const std::string& text) {
        WriteBytes(dir.Path("tarnwick.ini"),
                   EncodeFileText("[SET]\r\nshowtray=yes\r\nmapfile=a.map\r\n" + text));
    }

    ScratchDir dir;
    CurrentDirScope inDir{dir.Path("")};
    const std::string icons = FileWithFiveIcons();
};

TEST_F(ActTest, ListsActionsInIndexOrderAndAddsTheSelectedOne) {
    // Sections out of order; the second item must read act1.
    WriteCatalogue("[ACT]\r\ncount=3\r\n" + Section(2, "允许关机", icons, 1, "$ZELO.TW.ACT~c$") +
                   Section(0, "关机", icons, 0, "$ZELO.TW.ACT~shutdown$") +
                   Section(1, "打开光驱", icons, 3, "$ZELO.TW.ACT~open_cdrom$"));
    TestAct dialog;
    const int code = MakeHotKeyCode('O', tw::kHotKeyfControl | tw::kHotKeyfShift);
    dialog.body = [&] {
        EXPECT_EQ((std::vector<std::string>{"关机", "打开光驱", "允许关机"}), dialog.Items());
        EXPECT_EQ(CB_ERR, dialog.m_cbAction.GetCurSel()) << "nothing selected at first";
        HICON templateIcon = dialog.ShownIcon(IDC_ICON_ACTION);
        EXPECT_NE(nullptr, templateIcon);
        dialog.Select(1);
        EXPECT_NE(templateIcon, dialog.ShownIcon(IDC_ICON_ACTION));
        EXPECT_TRUE(IconAlive(dialog.ShownIcon(IDC_ICON_ACTION)));
        EXPECT_FALSE(dialog.CatalogueClosed());
        dialog.SetHotKeyOf(IDC_HOTKEY, code);
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("打开光驱", dialog.m_strName);
    EXPECT_EQ(icons, dialog.m_strIconFile);
    EXPECT_EQ(3, dialog.m_nIconIndex);
    EXPECT_EQ("$ZELO.TW.ACT~open_cdrom$", dialog.m_strPath);
    EXPECT_EQ(code, dialog.m_nHotKey);
    Win32System system;
    EXPECT_EQ(KeyDescription(system, code), dialog.m_strKeyDes);
    EXPECT_TRUE(dialog.CatalogueClosed());
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(ActTest, TheWinBoxAddsTheWindowsKey) {
    WriteCatalogue("[ACT]\r\ncount=1\r\n" + Section(0, "关机", icons, 0, "$ZELO.TW.ACT~shutdown$"));
    TestAct dialog;
    const int code = MakeHotKeyCode('S', tw::kHotKeyfAlt);
    dialog.body = [&] {
        dialog.Select(0);
        dialog.SetHotKeyOf(IDC_HOTKEY, code);
        ::CheckDlgButton(dialog.m_hWnd, IDC_CHK_WIN, BST_CHECKED);
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(WithWinKey(code, true), dialog.m_nHotKey);
    Win32System system;
    EXPECT_EQ("Win + " + KeyDescription(system, code), dialog.m_strKeyDes);
    EXPECT_TRUE(dialog.CatalogueClosed());
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(ActTest, WithoutAHotKeyTheDescriptionIsEmpty) {
    WriteCatalogue("[ACT]\r\ncount=1\r\n" + Section(0, "关机", icons, 0, "$ZELO.TW.ACT~shutdown$"));
    TestAct dialog;
    dialog.body = [&] {
        dialog.Select(0);
        dialog.Click(IDOK);
    };
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, dialog.m_nHotKey);
    EXPECT_EQ("", dialog.m_strKeyDes);
    EXPECT_EQ("$ZELO.TW.ACT~shutdown$", dialog.m_strPath);
}

TEST_F(ActTest, MissingIconFileIsReportedAndThePreviousIconStays) {
    WriteCatalogue("[ACT]\r\ncount=2\r\n" + Section(0, "关机", icons, 2, "$ZELO.TW.ACT~shutdown$") +
                   Section(1, "打开光驱", dir.Path("none.dll"), 0, "$ZELO.TW.ACT~open_cdrom$"));
    const std::string appName = CDialog::GetAppName();
    CDialog::SetAppName("Tarnwick");
    TestAct dialog;
    HICON shown = nullptr;
    dialog.body = [&] {
        dialog.Select(0);
        shown = dialog.ShownIcon(IDC_ICON_ACTION);
        dialog.Select(1);
        ASSERT_EQ(1u, dialog.boxes.size());
        EXPECT_EQ("Load Icon Error!", dialog.boxes[0].text);
        EXPECT_EQ("Tarnwick", dialog.boxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), dialog.boxes[0].type);
        EXPECT_EQ(shown, dialog.ShownIcon(IDC_ICON_ACTION));
        EXPECT_TRUE(IconAlive(shown));
        dialog.Click(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    CDialog::SetAppName(appName);
    EXPECT_FALSE(IconAlive(shown)) << "released with the dialog";
    EXPECT_TRUE(dialog.CatalogueClosed());
}

TEST_F(ActTest, NothingSelectedOrCancelledReturnsCancelledWithTheCatalogueClosed) {
    WriteCatalogue("[ACT]\r\ncount=1\r\n" + Section(0, "关机", icons, 0, "$ZELO.TW.ACT~shutdown$"));
    for (int button : {IDOK, IDCANCEL}) {
        TestAct dialog;
        dialog.body = [&] {
            if (button == IDCANCEL) dialog.Select(0);
            dialog.Click(button);
        };
        EXPECT_EQ(IDCANCEL, dialog.DoModal()) << button;
        EXPECT_TRUE(dialog.CatalogueClosed()) << button;
        EXPECT_EQ("", dialog.m_strPath);
    }
}

TEST_F(ActTest, IncompleteCataloguesListWhatCanBeBound) {
    const std::string shutdown = Section(0, "关机", icons, 0, "$ZELO.TW.ACT~shutdown$");
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        // An unreadable or missing count means no actions.
        {"[ACT]\r\ncount=many\r\n" + shutdown, {}},
        {"[ACT]\r\n" + shutdown, {}},
        // A section without a name or without a token ends the list before it.
        {"[ACT]\r\ncount=3\r\n" + shutdown + "[act1]\r\nicon=x\r\npath=$p$\r\n" +
             Section(2, "c", icons, 0, "$c$"),
         {"关机"}},
        {"[ACT]\r\ncount=3\r\n" + shutdown + "[act1]\r\nname=b\r\nicon=x\r\n" +
             Section(2, "c", icons, 0, "$c$"),
         {"关机"}},
        // A count beyond the sections present.
        {"[ACT]\r\ncount=9\r\n" + shutdown, {"关机"}},
    };
    for (const auto& [text, expected] : cases) {
        WriteCatalogue(text);
        TestAct dialog;
        dialog.body = [&] {
            EXPECT_EQ(expected, dialog.Items()) << text;
            dialog.Click(IDOK);
        };
        EXPECT_EQ(IDCANCEL, dialog.DoModal()) << "nothing was selected";
    }

    ::DeleteFileA(dir.Path("tarnwick.ini").c_str());
    TestAct noFile;
    noFile.body = [&] {
        EXPECT_EQ(0, noFile.m_cbAction.GetCount());
        noFile.Click(IDOK);
    };
    EXPECT_EQ(IDCANCEL, noFile.DoModal());
    EXPECT_TRUE(noFile.boxes.empty());
}

} // namespace
