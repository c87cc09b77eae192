// Long use of the entry commands leaves nothing behind: many rounds of Add, Properties with
// a new icon and Delete against the real panel release every icon they extract, keep the
// panel's two image lists the only ones alive, and leave the process's GDI and USER object
// counts where they were (where the system reports them).

#include "handle_ledger.h"
#include "panel_test_support.h"

#include "dialogs/run_info.h"
#include "res/resource.h"
#include "ui/shell_icon.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <set>

namespace {

// Each round extracts up to two icons and writes the list file three times: under Wine 250 rounds
// take about 10 s, 1,000 about 50 s. TW_HANDLE_ROUNDS asks for another number, for a long run.
constexpr int kDefaultRounds = 250;

int Rounds() {
    const char* asked = std::getenv("TW_HANDLE_ROUNDS");
    const int rounds = asked != nullptr ? std::atoi(asked) : 0;
    return rounds > 0 ? rounds : kDefaultRounds;
}

class AnsweringPanel : public ScriptedPanel {
public:
    using ScriptedPanel::ScriptedPanel;
    const HotKeyEntry* answer = nullptr; // what the program entry dialog gives; null cancels

    INT_PTR RunDialog(CDialog& dialog) override {
        CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog);
        if (info == nullptr || answer == nullptr) return IDCANCEL;
        info->m_entry = *answer;
        return IDOK;
    }
    void SetMark(int row) { m_List.SetSelectionMark(row); }
};

std::string Shell32() {
    char directory[MAX_PATH] = {};
    ::GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\shell32.dll";
}

HotKeyEntry RoundEntry(int iconIndex) {
    HotKeyEntry entry;
    entry.name = "循环";
    entry.path = "C:\\程序\\循环.exe";
    entry.icon = Shell32();
    entry.iconint = iconIndex;
    entry.workdir = "C:\\程序";
    entry.hotkey = ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | 'Q';
    entry.keydes = "Ctrl + Alt + Q";
    return entry;
}

class HandleHygienePanel : public PanelTest {
protected:
    HandleLedger ledger;
};

TEST_F(HandleHygienePanel, AddEditDeleteRoundsReleaseEveryIconOnce) {
    HandleLedgerScope scope(ledger);
    ASSERT_TRUE(scope.Installed());
    const int wanted = Rounds();
    const std::string shell32 = Shell32();
    // Both icons must exist, or the rounds would extract nothing.
    HICON probe = ExtractFileIcon(shell32, 4);
    ASSERT_NE(nullptr, probe);
    ::DestroyIcon(probe);

    auto panelHolder = std::make_unique<AnsweringPanel>(system, allowShutdown);
    AnsweringPanel& panel = *panelHolder;
    size_t listsOfThePanel = 0;
    GuiCounts before, after;
    int rounds = 0;
    double seconds = 0;
    panel.script = [&] {
        const int rows = panel.RowCount();
        listsOfThePanel = ledger.lists.size();
        EXPECT_TRUE(ledger.icons.empty()) << "start-up keeps extracted icons";
        // The panel extracts each icon once and shows it from then on, so the rounds walk
        // through the file's icons: most Adds and Properties meet an icon not shown yet.
        const int icons = FileIconCount(shell32);
        ASSERT_GT(icons, 4);
        std::set<int> used;
        auto round = [&](int n) {
            const HotKeyEntry added = RoundEntry((2 * n) % icons);
            const HotKeyEntry edited = RoundEntry((2 * n + 1) % icons);
            used.insert(added.iconint);
            used.insert(edited.iconint);
            panel.answer = &added;
            panel.Command(IDC_BTN_ADD);
            panel.SetMark(rows);
            panel.answer = &edited;
            panel.Command(IDC_BTN_PROPERTIES);
            panel.SetMark(rows);
            panel.Command(IDC_BTN_DELETE);
            panel.answer = nullptr;
        };
        // The first round may fill caches of the system's own.
        round(0);
        before = CurrentGuiCounts();
        const int extractedBefore = ledger.extracted;
        const std::set<int> usedBefore = used;
        used.clear();
        const auto start = std::chrono::steady_clock::now();
        for (rounds = 0; rounds < wanted && !::testing::Test::HasFailure(); ++rounds) {
            round(rounds + 1);
            if (panel.RowCount() != rows) {
                ADD_FAILURE() << "round " << rounds << " left a row";
            }
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        after = CurrentGuiCounts();
        // One extraction per icon not shown before (one handle serves both image lists); the
        // list read at start-up and the first round may have shown a few already.
        size_t fresh = 0;
        for (int index : used) fresh += usedBefore.count(index) == 0 ? 1 : 0;
        const int extracted = ledger.extracted - extractedBefore;
        EXPECT_LE(static_cast<size_t>(extracted), fresh);
        EXPECT_GE(static_cast<size_t>(extracted) + 3, fresh) << "icons asked for but not extracted";
        EXPECT_TRUE(ledger.icons.empty()) << ledger.icons.size() << " icons never released";
        EXPECT_EQ(listsOfThePanel, ledger.lists.size());
        EXPECT_EQ(3, panel.RowCount());
        for (const auto& held : system.hotkeys)
            EXPECT_NE(static_cast<unsigned>('Q'), held.second.second) << "the rounds' hotkey";
    };
    CDialog::SetMainWnd(&panel);
    EXPECT_EQ(ScriptedPanel::kScriptEnded, panel.DoModal());
    CDialog::SetMainWnd(nullptr);
    panelHolder.reset();

    EXPECT_EQ(wanted, rounds);
    EXPECT_EQ(2u, listsOfThePanel) << "the panel's large and small image lists";
    EXPECT_EQ(0, ledger.strayIconReleases) << "an icon released twice or never extracted";
    EXPECT_EQ(0, ledger.strayListReleases) << "an image list released twice";
    EXPECT_TRUE(ledger.icons.empty());
    EXPECT_TRUE(ledger.lists.empty()) << "the panel's image lists outlive it";
    if (before.Reported()) {
        EXPECT_TRUE(before == after) << "GDI " << before.gdi << " -> " << after.gdi << ", USER "
                                     << before.user << " -> " << after.user;
    }
    RecordProperty("rounds", rounds);
    RecordProperty("milliseconds", static_cast<int>(seconds * 1000));
    RecordProperty("gui_counts_reported", before.Reported() ? 1 : 0);
}

} // namespace
