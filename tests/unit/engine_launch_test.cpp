// What a launch asks of the shell, and what a failed one leaves behind.
#include "engine/hotkey_state_text.h"
#include "engine/launch_target.h"
#include "tests/support/engine_fixture.h"

namespace {

// Remembers the failures the engine reports instead of showing them.
class ReportingEngine : public CHotKeyEngine {
public:
    using CHotKeyEngine::CHotKeyEngine;
    using CHotKeyEngine::LaunchAndRecord;
    std::vector<std::pair<std::string, bool>> failures; // reason, by hotkey

protected:
    void OnLaunchFailed(const HotKeyEntry& entry, bool byHotKey) override {
        failures.emplace_back(entry.launchError, byHotKey);
    }
};

class Launch : public EngineTest {
protected:
    ReportingEngine reporting{sys, allowShutdown};
};

TEST_F(Launch, ExpandsNowAndHandsOnTheForegroundFirst) {
    sys.environment["PROGRAMFILES"] = "C:\\Program Files";
    sys.environment["USERPROFILE"] = "C:\\Users\\li";
    HotKeyEntry tool =
        Program("tool", CtrlAlt('T'), "%ProgramFiles%\\Tool\\tool.exe", "%UserProfile%\\Documents");
    tool.args = "--profile work %NOSUCH% 100%";
    tool.runas = true;
    engine.AppendEntry(tool);
    sys.ClearLog();

    engine.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ((std::vector<std::string>{
                  "AllowLaunchedForeground",
                  "ShellLaunch \"C:\\Program Files\\Tool\\tool.exe\" \"--profile work %NOSUCH% "
                  "100%\" in \"C:\\Users\\li\\Documents\" runas -> 0"}),
              sys.calls);
    // Kept as written, for the next user and machine.
    EXPECT_EQ("%ProgramFiles%\\Tool\\tool.exe", engine.m_entries.front().path);
}

TEST_F(Launch, FailureMarksTheEntryUntilItStartsAndADeclinedElevationIsNone) {
    reporting.AppendEntry(Program("missing", CtrlAlt('M')));
    sys.launchResult = tw::kErrFileNotFound;
    reporting.PreTranslateHotKey(tw::kWmHotKey, 10);
    const std::string reason = LaunchFailureText(tw::kErrFileNotFound);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason, reporting.m_entries.front().launchError);
    ASSERT_EQ(1u, reporting.failures.size());
    EXPECT_EQ(std::make_pair(reason, true), reporting.failures[0]);
    EXPECT_TRUE(sys.messageBoxes.empty()); // a hotkey press never opens a modal box

    sys.launchResult = tw::kErrCancelled;
    reporting.LaunchAndRecord(reporting.m_entries.front(), false);
    EXPECT_EQ(1u, reporting.failures.size());
    EXPECT_EQ(reason, reporting.m_entries.front().launchError);

    sys.launchResult = 1234; // one without words of its own still names its number
    reporting.LaunchAndRecord(reporting.m_entries.front(), false);
    ASSERT_EQ(2u, reporting.failures.size());
    EXPECT_NE(std::string::npos, reporting.failures[1].first.find("1234"));
    EXPECT_FALSE(reporting.failures[1].second);

    sys.launchResult = tw::kLaunchOk;
    reporting.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ("", reporting.m_entries.front().launchError);
    EXPECT_EQ(2u, reporting.failures.size());
}

} // namespace
