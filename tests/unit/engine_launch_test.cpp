// What a launch asks of the shell, and what a failed one leaves on its entry.
#include "engine/launch_target.h"
#include "tests/support/engine_fixture.h"

namespace {

using Launch = EngineTest;

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
    EXPECT_EQ("%ProgramFiles%\\Tool\\tool.exe", engine.m_entries.front().path); // kept as written
}

// A declined elevation is the user's choice, and a code without words of its own still
// names its number.
TEST_F(Launch, FailureMarksTheEntryUntilItStartsAgain) {
    engine.AppendEntry(Program("missing", CtrlAlt('M')));
    const std::string& mark = engine.m_entries.front().launchError;
    for (const auto& [result, expected] : std::vector<std::pair<unsigned long, std::string>>{
             {tw::kErrFileNotFound, LaunchFailureText(tw::kErrFileNotFound)},
             {tw::kErrCancelled, LaunchFailureText(tw::kErrFileNotFound)},
             {1234, LaunchFailureText(1234)},
             {tw::kLaunchOk, ""}}) {
        sys.launchResult = result;
        engine.PreTranslateHotKey(tw::kWmHotKey, 10);
        EXPECT_EQ(expected, mark) << result;
    }
    EXPECT_NE(std::string::npos, LaunchFailureText(1234).find("1234"));
    EXPECT_FALSE(LaunchFailureText(tw::kErrFileNotFound).empty());
    EXPECT_TRUE(sys.messageBoxes.empty()) << "a hotkey press never opens a box";
}

} // namespace
