#include "engine/launch_target.h"

#include "engine/builtin_action.h"
#include "platform/ui_text.h"
#include "res/resource.h"

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
    case tw::kErrFileNotFound: return tw::UiText(IDS_ERR_FILE_NOT_FOUND);
    case tw::kErrPathNotFound: return tw::UiText(IDS_ERR_PATH_NOT_FOUND);
    case tw::kErrBadNetPath: return tw::UiText(IDS_ERR_BAD_NET_PATH);
    case tw::kErrInvalidName: return tw::UiText(IDS_ERR_INVALID_NAME);
    case tw::kErrAccessDenied: return tw::UiText(IDS_ERR_ACCESS_DENIED);
    case tw::kErrElevationRequired: return tw::UiText(IDS_ERR_ELEVATION);
    case tw::kErrNoAssociation: return tw::UiText(IDS_ERR_NO_ASSOCIATION);
    case tw::kErrBadFormat: return tw::UiText(IDS_ERR_BAD_FORMAT);
    case tw::kErrSharingViolation: return tw::UiText(IDS_ERR_SHARING);
    case tw::kErrNotEnoughMemory: return tw::UiText(IDS_ERR_NO_MEMORY);
    case tw::kErrDdeFail: return tw::UiText(IDS_ERR_DDE);
    case kErrRunAsNotProgram: return tw::UiText(IDS_ERR_RUNAS_DOCUMENT);
    default: return tw::UiText(IDS_ERR_OTHER, {std::to_string(error)});
    }
}
