#include "engine/launch_target.h"

#include "engine/builtin_action.h"

tw::ShellLaunchRequest LaunchRequestFor(const HotKeyEntry& entry, tw::ISystem& system) {
    tw::ShellLaunchRequest request;
    request.file = system.ExpandEnvironment(entry.path);
    request.parameters = system.ExpandEnvironment(entry.args);
    request.directory = system.ExpandEnvironment(entry.workdir);
    request.runAs = entry.runas;
    request.show = entry.show;
    // An elevated copy of this program would hand its rights on to whatever it starts.
    request.asDesktopUser = !entry.runas && system.IsElevated();
    return request;
}

bool IsElevatableProgram(const std::string& path) {
    // Without its quotes, and without trailing blanks and dots, which Windows drops.
    const size_t begin = path.find_first_not_of('"');
    const size_t end = path.find_last_not_of("\" .");
    const std::string name =
        end == std::string::npos ? std::string() : path.substr(begin, end + 1 - begin);
    // "https:", "shell:", "mailto:" and their like name no file at all.
    const size_t colon = name.find(':');
    if (colon != std::string::npos && colon > 1 && name.find_first_of("\\/") > colon) return false;
    const size_t last = name.find_last_of("\\/");
    const std::string part = last == std::string::npos ? name : name.substr(last + 1);
    const size_t dot = part.rfind('.');
    if (dot == std::string::npos) return true;
    std::string extension = part.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* program : {"exe", "com", "bat", "cmd", "msc", "lnk"})
        if (extension == program) return true;
    return false;
}

unsigned long LaunchEntry(const HotKeyEntry& entry, tw::ISystem& system, int& allowShutdown,
                          tw::ProcessRef* started) {
    if (entry.builtin) {
        RunBuiltInAction(entry.path, system, allowShutdown);
        return tw::kLaunchOk;
    }
    tw::ShellLaunchRequest request = LaunchRequestFor(entry, system);
    request.started = started;
    // Started without elevation it would run with less than the user asked for.
    if (request.runAs && !IsElevatableProgram(request.file)) return kErrRunAsNotProgram;
    system.AllowLaunchedForeground();
    return system.ShellLaunch(request);
}

std::string LaunchFailureText(unsigned long error) {
    switch (error) {
    case tw::kLaunchOk:
    case tw::kErrCancelled: return std::string();
    case tw::kErrFileNotFound: return "找不到要启动的文件。";
    case tw::kErrPathNotFound: return "找不到文件所在的文件夹或工作目录。";
    case tw::kErrBadNetPath: return "找不到网络路径。";
    case tw::kErrInvalidName: return "文件名或路径的写法不正确。";
    case tw::kErrAccessDenied: return "拒绝访问：没有打开它的权限。";
    case tw::kErrElevationRequired: return "它需要管理员权限，请在属性中勾选“以管理员身份运行”。";
    case tw::kErrNoAssociation: return "没有程序与这种类型的文件关联。";
    case tw::kErrBadFormat: return "它不是有效的程序。";
    case tw::kErrSharingViolation: return "文件正被其他程序使用。";
    case tw::kErrNotEnoughMemory: return "内存不足。";
    case tw::kErrDdeFail: return "打开它的程序没有响应。";
    case kErrRunAsNotProgram:
        return "“以管理员身份运行”只适用于程序（.exe、.com、.bat、.cmd、.msc 及其快捷方式），"
               "不能用于文档或文件夹。请在“属性”中取消勾选。";
    default: return "系统拒绝启动（错误 " + std::to_string(error) + "）。";
    }
}
