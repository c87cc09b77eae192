#pragma once
// A stand-in for the operating system that records every call in order and answers
// from a script. Hotkeys behave like the real ones: a combination held by any window
// (or by another program, see takenByOthers) is refused to everyone else.

#include "platform/system.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class FakeSystem : public tw::ISystem {
public:
    struct MessageBoxCall {
        tw::WindowRef owner;
        std::string text;
        std::string caption;
        unsigned flags;
    };
    struct Registration {
        tw::WindowRef window;
        int id;
        unsigned modifiers;
        unsigned vk;
    };

    FakeSystem();

    // A distinct window handle that the call log shows by `name`.
    tw::WindowRef MakeWindow(const std::string& name);

    // Every call, in order.
    std::vector<std::string> calls;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<Registration> registered;

    // The calls whose text starts with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    bool IsRegistered(int id) const;
    bool IsVisible(tw::WindowRef window) const;
    bool IsEnabled(tw::WindowRef window) const;
    void ClearLog();
    // Tokens opened and not closed yet.
    int OpenTokens() const { return m_openTokens; }

    // The script.
    std::set<std::pair<unsigned, unsigned>> takenByOthers;     // (modifiers, vk)
    std::map<std::pair<unsigned, bool>, std::string> keyNames; // English layout preset
    int messageBoxAnswer = tw::kIdOk;
    // Runs inside every message box, as a command run from the box's message loop would.
    std::function<void()> duringMessageBox;
    bool tokenOpens = true;
    bool privilegeGranted = true;
    bool powerOffAccepted = true;
    std::string currentDir = "C:\\Tarnwick";
    bool setDirSucceeds = true;
    tw::RegWriteResult regResult = tw::RegWriteResult::Ok;
    std::map<tw::RegRoot, tw::RegWriteResult> regResultFor; // per root, before regResult
    std::map<std::string, std::string> registry;            // "HKLM\subkey|name" -> data

    bool RegisterHotKey(tw::WindowRef window, int id, unsigned modifiers, unsigned vk) override;
    bool UnregisterHotKey(tw::WindowRef window, int id) override;
    std::string KeyName(unsigned vk, bool extended) override;
    void ShowWindow(tw::WindowRef window, bool show) override;
    void EnableWindow(tw::WindowRef window, bool enable) override;
    int ShowMessageBox(tw::WindowRef owner, const std::string& text, const std::string& caption,
                       unsigned flags) override;
    void ShellOpen(const std::string& file, const std::string& directory) override;
    void SendMciCommand(const std::string& command) override;
    tw::TokenRef OpenProcessToken() override;
    bool EnableShutdownPrivilege(tw::TokenRef token) override;
    void CloseToken(tw::TokenRef token) override;
    bool RequestPowerOff() override;
    std::string GetCurrentDir() override;
    bool SetCurrentDir(const std::string& directory) override;
    tw::RegWriteResult WriteRegString(tw::RegRoot root, const std::string& subkey,
                                      const std::string& name, const std::string& data) override;
    bool ReadRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                       std::string& data) override;

    // Launches through the shell. Each is logged as
    // ShellLaunch "file" "parameters" in "directory" [runas] -> result; the foreground
    // hand-over as AllowLaunchedForeground, a refresh as RefreshEnvironment. Expansion is not
    // logged: its results are.
    std::map<std::string, std::string> environment; // NAME in capitals -> value
    unsigned long launchResult = tw::kLaunchOk;
    std::vector<tw::ShellLaunchRequest> launches;
    unsigned long ShellLaunch(const tw::ShellLaunchRequest& request) override;
    std::string ExpandEnvironment(const std::string& text) override;
    void RefreshEnvironment() override { calls.push_back("RefreshEnvironment"); }
    void AllowLaunchedForeground() override;

private:
    std::string WindowName(tw::WindowRef window) const;

    std::deque<std::string> m_windowNames; // stable addresses serve as handles
    std::map<tw::WindowRef, bool> m_visible;
    std::map<tw::WindowRef, bool> m_enabled;
    int m_openTokens = 0;
    char m_token = 0;

public:
    // Folders IsInSystemFolder answers for, by the real rule; paths are taken as resolved.
    std::vector<std::string> systemFolders{"C:\\Program Files", "C:\\Windows"};
    bool IsInSystemFolder(const std::string& path) override;
    unsigned long tickCount = 0; // moved on by the test
    unsigned long TickCountMs() override { return tickCount; }

    // Running programs. A launch asked for its process starts process 1, 2, ... (refs of
    // those numbers), running with startedWindows; a test ends one by setting its
    // `running` to false. programs holds what ProgramByPath finds, by path.
    // BringToFront, Minimize, ReleaseProcess and ProgramByPath are logged.
    std::vector<tw::WindowRef> startedWindows;
    std::map<tw::ProcessRef, tw::RunningProgram> processes;
    std::map<std::string, tw::RunningProgram> programs;
    tw::WindowRef foreground = nullptr;
    std::set<tw::WindowRef> minimized;
    tw::RunningProgram StartedProcess(tw::ProcessRef process) override;
    void ReleaseProcess(tw::ProcessRef process) override;
    tw::RunningProgram ProgramByPath(const std::string& path) override;
    tw::WindowRef ForegroundWindow() override { return foreground; }
    bool elevated = false;
    bool IsElevated() override { return elevated; }
    bool IsMinimized(tw::WindowRef window) override { return minimized.count(window) != 0; }
    void BringToFront(tw::WindowRef window) override;
    void Minimize(tw::WindowRef window) override;
};
