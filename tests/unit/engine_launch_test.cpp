// What a launch asks of the shell, and what a failed one leaves on its entry.
#include "engine/launch_target.h"
#include "engine/running_program.h"
#include "tests/support/engine_fixture.h"

#include <cstdint>

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

namespace {

tw::WindowRef Window(std::uintptr_t n) {
    return reinterpret_cast<tw::WindowRef>(n);
}

} // namespace

// A binding that brings its program back: the first press starts it, later ones bring its
// window to the front or minimise it when it is in front; once it ended, a copy of the same
// file started elsewhere serves; a launcher stub, whose windows are another process's,
// gets another copy; leaving it alone starts nothing while it runs.
TEST_F(Launch, ARunningProgramIsBroughtBackOrLeftAlone) {
    HotKeyEntry mail = Program("mail", CtrlAlt('E'), "%ProgramFiles%\\Mail\\mail.exe");
    sys.environment["PROGRAMFILES"] = "C:\\Program Files";
    const std::string file = "C:\\Program Files\\Mail\\mail.exe";
    mail.ifRunning = IfRunning::BringBack;
    engine.AppendEntry(mail);
    const auto press = [&] {
        sys.ClearLog();
        engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.front().id);
        std::vector<std::string> acts;
        for (const std::string& call : sys.calls)
            if (call.rfind("ProgramByPath", 0) != 0) acts.push_back(call.substr(0, call.find(' ')));
        return acts;
    };
    const std::vector<std::string> started = {"AllowLaunchedForeground", "ShellLaunch"};
    sys.startedWindows = {Window(7), Window(8)};
    EXPECT_EQ(started, press()) << "nothing runs: started";
    EXPECT_EQ((std::vector<std::string>{"BringToFront"}), press());
    EXPECT_EQ(Window(7), sys.foreground);
    EXPECT_EQ((std::vector<std::string>{"Minimize"}), press()) << "in front: minimised";
    EXPECT_EQ((std::vector<std::string>{"BringToFront"}), press()) << "minimised: restored";

    sys.processes.begin()->second.running = false; // it ended
    sys.programs[file] = {true, {Window(9)}};      // another copy runs, started elsewhere
    EXPECT_EQ((std::vector<std::string>{"ReleaseProcess", "BringToFront"}), press());
    EXPECT_EQ(Window(9), sys.foreground);
    sys.programs[file] = {true, {}}; // a stub: its windows are another process's
    sys.startedWindows = {};
    EXPECT_EQ(started, press());
    EXPECT_EQ((std::vector<std::string>{"AllowLaunchedForeground", "ShellLaunch", "ReleaseProcess"}),
              press())
        << "the stub's process runs on without windows; the newer copy is the one kept";

    engine.m_entries.front().ifRunning = IfRunning::LeaveAlone;
    EXPECT_TRUE(press().empty()) << "running: left alone";
    sys.processes.clear();
    sys.programs.clear();
    EXPECT_EQ((std::vector<std::string>{"ReleaseProcess", "AllowLaunchedForeground", "ShellLaunch"}),
              press());
    EXPECT_EQ(tw::WindowShow::Normal, sys.launches.back().show);
}

// Only a program named with its folder is looked for among the running processes; never
// the shell, a document or a bare name.
TEST_F(Launch, OnlyAProgramNamedWithItsFolderIsMatched) {
    for (const char* path : {"C:\\Windows\\explorer.exe", "\"C:\\Windows\\EXPLORER.EXE\"",
                             "C:\\docs\\report.docx", "notepad.exe", "https://example.com"}) {
        EXPECT_EQ("", MatchedProgramPath(path)) << path;
        engine.RemoveAllEntries();
        HotKeyEntry entry = Program("e", 0, path);
        entry.ifRunning = IfRunning::LeaveAlone;
        engine.AppendEntry(entry);
        sys.programs[path] = {true, {Window(1)}};
        sys.launches.clear();
        engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.front().id);
        EXPECT_EQ(1u, sys.launches.size()) << path;
        EXPECT_EQ(nullptr, sys.launches.back().started) << path;
    }
    EXPECT_EQ("C:\\Tools\\a b.COM", MatchedProgramPath("\"C:\\Tools\\a b.COM\""));
    EXPECT_EQ("\\\\server\\tools\\t.exe", MatchedProgramPath("\\\\server\\tools\\t.exe"));
}

// An elevated copy of the program starts what it starts with the desktop user's normal
// rights, unless the binding asks for elevation; a copy that is not elevated starts
// everything as always.
TEST_F(Launch, AnElevatedCopyStartsAsTheDesktopUserUnlessAskedForElevation) {
    const struct {
        bool elevated, runas, asDesktopUser;
    } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const auto& c : cases) {
        engine.RemoveAllEntries();
        HotKeyEntry tool = Program("tool", 0, "C:\\Tools\\tool.exe");
        tool.runas = c.runas;
        engine.AppendEntry(tool);
        sys.elevated = c.elevated;
        sys.launches.clear();
        engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.front().id);
        ASSERT_EQ(1u, sys.launches.size());
        EXPECT_EQ(c.asDesktopUser, sys.launches[0].asDesktopUser) << c.elevated << c.runas;
        EXPECT_EQ(c.runas, sys.launches[0].runAs);
    }
}

// Whatever the shell opens goes to it as typed, its variables expanded: addresses, shell
// folders, Store applications and shortcuts alike.
TEST_F(Launch, EveryShellTargetGoesAsTypedWithItsVariablesExpanded) {
    sys.environment["APPDATA"] = "C:\\Users\\li\\AppData\\Roaming";
    const std::pair<const char*, const char*> cases[] = {
        {"https://www.tarnwick.org/?q=%APPDATA%", "https://www.tarnwick.org/?q=C:\\Users\\li\\AppData\\Roaming"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"shell:Downloads", "shell:Downloads"},
        {"shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App",
         "shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"},
        {"%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\终端.lnk",
         "C:\\Users\\li\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\终端.lnk"},
    };
    for (const auto& [typed, launched] : cases) {
        engine.RemoveAllEntries();
        engine.AppendEntry(Program("t", 0, typed));
        sys.launches.clear();
        sys.launchResult = tw::kErrFileNotFound;
        engine.PreTranslateHotKey(tw::kWmHotKey, engine.m_entries.front().id);
        ASSERT_EQ(1u, sys.launches.size()) << typed;
        EXPECT_EQ(launched, sys.launches[0].file);
        EXPECT_EQ(LaunchFailureText(tw::kErrFileNotFound), engine.m_entries.front().launchError);
    }
}
