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
    tool.show = tw::WindowShow::Maximized;
    engine.AppendEntry(tool);
    sys.ClearLog();

    engine.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ((std::vector<std::string>{
                  "AllowLaunchedForeground",
                  "ShellLaunch \"C:\\Program Files\\Tool\\tool.exe\" \"--profile work %NOSUCH% "
                  "100%\" in \"C:\\Users\\li\\Documents\" runas -> 0"}),
              sys.calls);
    EXPECT_EQ(tw::WindowShow::Maximized, sys.launches.at(0).show);
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

// The shell elevates programs only; a document, folder or address asked to run elevated is
// refused with words that say so, before anything is started.
TEST_F(Launch, ElevationIsForProgramsOnly) {
    const struct {
        const char* path;
        bool program;
    } cases[] = {
        {"C:\\Tools\\run.EXE", true},
        {"\"C:\\a b\\start.bat\"", true}, // quoted
        {"C:\\Tools\\tool.lnk. ", true},  // Windows drops the trailing dot and blank
        {"regedit", true},                // the shell finds it as a program
        {"C:\\docs\\report.docx", false},
        {"C:\\v1.exe\\readme.txt", false},
        {"https://example.com", false},
    };
    for (const auto& c : cases) {
        engine.RemoveAllEntries();
        HotKeyEntry entry = Program("e", 0, c.path);
        entry.runas = true;
        engine.AppendEntry(entry);
        sys.launches.clear();
        engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.front().id);
        EXPECT_EQ(c.program ? 1u : 0u, sys.launches.size()) << c.path;
        EXPECT_EQ(c.program ? "" : LaunchFailureText(kErrRunAsNotProgram),
                  engine.m_entries.front().launchError)
            << c.path;
    }
    engine.AppendEntry(Program("doc", 0, "C:\\docs\\report.docx")); // without elevation
    engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.back().id);
    EXPECT_EQ(1u, sys.launches.size());
}

} // namespace
