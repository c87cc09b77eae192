// The panel's paths no other test walks: the hotkey switch after a list file that failed
// half-way, hiding by command 130 and by the Esc key, the help button, and the two setting
// boxes when the registry or the settings file refuses to be written.

#include "panel_test_support.h"

#include "res/resource.h"

namespace {

const unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;

// The panel's system seam, with a registry that can refuse.
class RefusingRegistrySystem : public PanelSystem {
public:
    tw::RegWriteResult regAnswer = tw::RegWriteResult::Ok;

    tw::RegWriteResult WriteRegString(tw::RegRoot root, const std::string& subkey,
                                      const std::string& name, const std::string& data) override {
        PanelSystem::WriteRegString(root, subkey, name, data);
        return regAnswer;
    }
};

// PanelTest with the seam above; the settings file is made writable again afterwards.
class PanelReview : public PanelTestWith<RefusingRegistrySystem> {
protected:
    void TearDown() override {
        ::SetFileAttributesA("tarnwick.ini", FILE_ATTRIBUTE_NORMAL);
        PanelTestWith::TearDown();
    }

    // A hotkey press as the system delivers it: posted to the panel, through its loop.
    static void Press(ScriptedPanel& p, int id) {
        p.PostMessage(WM_HOTKEY, static_cast<WPARAM>(id), 0);
        p.Pump(50);
    }
};

// Entries read before the faulty section were never numbered; switching off, Clear and a
// second switch must leave Ctrl+Alt+Home (id 0) and Ctrl+Alt+End (id 1) registered.
TEST_F(PanelReview, AfterAnInvalidListCtrlAltHomeSwitchesOffAndOnAgain) {
    std::vector<ListSection> sections = StandardSections();
    sections.pop_back();
    WriteFileText("list.map", ListFileText(sections, 3));

    Run([&](ScriptedPanel& p) {
        Press(p, 0);
        EXPECT_FALSE(p.m_bHotKeysOn);
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_ON));
        EXPECT_EQ(1u, system.hotkeys.count(0)) << "Ctrl+Alt+Home still held";

        Press(p, 0);
        EXPECT_TRUE(p.m_bHotKeysOn);
        EXPECT_TRUE(p.Enabled(IDC_BTN_HOTKEYS_OFF));
        EXPECT_FALSE(p.Enabled(IDC_BTN_HOTKEYS_ON));
        EXPECT_EQ(10, p.Entry(0).id);
        EXPECT_EQ(11, p.Entry(1).id);

        Press(p, 10);
        ASSERT_EQ(1u, system.opened.size());
        EXPECT_EQ("C:\\windows\\notepad.exe", system.opened[0].file);
    });
    const std::map<int, std::pair<unsigned, unsigned>> held = {
        {0, {kCtrlAlt, VK_HOME}}, {1, {kCtrlAlt, VK_END}}, {10, {kCtrlAlt, 'N'}}};
    EXPECT_EQ(held, system.hotkeys);
    EXPECT_EQ(1u, system.boxes.size()) << "only the invalid-file message";
}

TEST_F(PanelReview, ClearAfterAnInvalidListKeepsTheFixedHotkeys) {
    std::vector<ListSection> sections = StandardSections();
    sections.pop_back();
    WriteFileText("list.map", ListFileText(sections, 3));
    system.answers = {IDOK, IDYES}; // the invalid-file message, then Clear's question

    Run([&](ScriptedPanel& p) {
        p.Command(IDC_BTN_CLEAR);
        EXPECT_TRUE(p.m_entries.empty());
        p.Command(IDC_BTN_HOTKEYS_OFF);
        EXPECT_EQ(2u, system.hotkeys.size());
        Press(p, 0);
        EXPECT_TRUE(p.m_bHotKeysOn) << "Ctrl+Alt+Home still reaches the panel";
    });
    EXPECT_EQ(1u, system.hotkeys.count(0));
    EXPECT_EQ(1u, system.hotkeys.count(1));
}

TEST_F(PanelReview, Command130AndTheEscKeyHideAVisiblePanel) {
    Run([&](ScriptedPanel& p) {
        p.Pump(200); // past the start-up visibility timer
        ASSERT_TRUE(p.Showing());
        p.Command(ID_TRAY_SHOW_PANEL);
        EXPECT_FALSE(p.Showing());
        EXPECT_FALSE(p.m_bPanelVisible);

        p.Command(ID_TRAY_SHOW_PANEL);
        ASSERT_TRUE(p.Showing());
        // A key press on the focused list goes through the dialog's keyboard handling.
        HWND list = p.m_List.GetSafeHwnd();
        ::SetFocus(list);
        ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::PostMessageW(list, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        p.Pump(100);
        EXPECT_FALSE(p.Showing());
        EXPECT_FALSE(p.m_bPanelVisible);
    });
}

TEST_F(PanelReview, HelpOpensTheHelpFileThroughTheShell) {
    Run([&](ScriptedPanel& p) { p.Click(IDC_BTN_HELP); });
    ASSERT_EQ(1u, system.opened.size());
    EXPECT_EQ("tarnwick.chm", system.opened[0].file);
    EXPECT_EQ("", system.opened[0].directory);
}

// Refused for the machine and for the user alike. Switching off with no value anywhere
// leaves nothing that could start the program, so it is not reported.
TEST_F(PanelReview, ARefusedRunValueIsReportedAndTheChoiceStillRecorded) {
    Run([&](ScriptedPanel& p) {
        system.regAnswer = tw::RegWriteResult::CannotSetValue;
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_TRUE(p.m_bAutoRun);
        EXPECT_EQ(SettingsText("no", "yes", "list.map"), ReadFileText("tarnwick.ini"));
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_FALSE(p.m_bAutoRun);
        EXPECT_EQ(SettingsText("no", "no", "list.map"), ReadFileText("tarnwick.ini"));
        system.regAnswer = tw::RegWriteResult::CannotCreateKey;
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_TRUE(p.m_bAutoRun);
    });
    ASSERT_EQ(2u, system.boxes.size());
    EXPECT_EQ("写入注册表值失败！", system.boxes[0].text);
    EXPECT_EQ("建立注册表项失败！", system.boxes[1].text);
    for (const PanelSystem::Box& box : system.boxes) {
        EXPECT_EQ("failed", box.caption);
        EXPECT_EQ(static_cast<unsigned>(MB_ICONWARNING), box.flags);
        EXPECT_EQ(nullptr, box.owner);
    }
}

TEST_F(PanelReview, AnUnwritableSettingsFileChangesNothingOnDiskAndSaysNothing) {
    Run([&](ScriptedPanel& p) {
        ASSERT_TRUE(::SetFileAttributesA("tarnwick.ini", FILE_ATTRIBUTE_READONLY));
        const bool trayActive = p.m_TrayIcon.IsActive() != FALSE;

        p.Click(IDC_CHK_SHOWTRAY);
        EXPECT_TRUE(p.m_bShowTray);
        if (trayActive) {
            EXPECT_FALSE(p.m_TrayIcon.IsHidden()) << "the icon comes back all the same";
        }
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_TRUE(p.m_bAutoRun);
        ASSERT_EQ(1u, system.regWrites.size());
        EXPECT_NE("", system.regWrites[0].data) << "the Run value is written all the same";
    });
    EXPECT_EQ(SettingsText("no", "no", "list.map"), ReadFileText("tarnwick.ini"));
    EXPECT_TRUE(system.boxes.empty());
}

} // namespace
