#pragma once
// The platform seam over the real Win32 calls (the W functions; text converted
// from and to the program's UTF-8 here).

#include "platform/system.h"

class Win32System : public tw::ISystem {
public:
    bool RegisterHotKey(tw::WindowRef window, int id, unsigned modifiers, unsigned vk) override;
    bool UnregisterHotKey(tw::WindowRef window, int id) override;
    std::string KeyName(unsigned vk, bool extended) override;
    void ShowWindow(tw::WindowRef window, bool show) override;
    void EnableWindow(tw::WindowRef window, bool enable) override;
    int ShowMessageBox(tw::WindowRef owner, const std::string& text, const std::string& caption,
                       unsigned flags) override;
    void ShellOpen(const std::string& file, const std::string& directory) override;
    unsigned long ShellLaunch(const tw::ShellLaunchRequest& request) override;
    std::string ExpandEnvironment(const std::string& text) override;
    void RefreshEnvironment() override;
    void AllowLaunchedForeground() override;
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
    // In win32_system_run.cpp.
    bool IsInSystemFolder(const std::string& path) override;
    unsigned long TickCountMs() override;
    // In win32_system_programs.cpp.
    tw::RunningProgram StartedProcess(tw::ProcessRef process) override;
    void ReleaseProcess(tw::ProcessRef process) override;
    tw::RunningProgram ProgramByPath(const std::string& path) override;
    tw::WindowRef ForegroundWindow() override;
    bool IsElevated() override;
    bool IsMinimized(tw::WindowRef window) override;
    void BringToFront(tw::WindowRef window) override;
    void Minimize(tw::WindowRef window) override;

private:
    // mciSendStringW once winmm is loaded.
    void (*m_mciSendString)() = nullptr;
};
