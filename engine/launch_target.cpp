#include "engine/launch_target.h"

#include "engine/builtin_action.h"

tw::ShellLaunchRequest LaunchRequestFor(const HotKeyEntry& entry, tw::ISystem& system) {
    tw::ShellLaunchRequest request;
    request.file = system.ExpandEnvironment(entry.path);
    request.parameters = system.ExpandEnvironment(entry.args);
    request.directory = system.ExpandEnvironment(entry.workdir);
    request.runAs = entry.runas;
    return request;
}

unsigned long LaunchEntry(const HotKeyEntry& entry, tw::ISystem& system, int& allowShutdown) {
    if (entry.builtin) {
        RunBuiltInAction(entry.path, system, allowShutdown);
        return tw::kLaunchOk;
    }
    const tw::ShellLaunchRequest request = LaunchRequestFor(entry, system);
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
    default: return "系统拒绝启动（错误 " + std::to_string(error) + "）。";
    }
}
