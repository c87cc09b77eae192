#include "engine/hotkey_state_text.h"

const char kTrayTipPlain[] = "Tarnwick V1.0";

std::string RefusedTrayTip(int refused) {
    if (refused <= 0) return kTrayTipPlain;
    // At most 10 digits: the whole text stays far below 63 bytes.
    return std::string(kTrayTipPlain) + " - " + std::to_string(refused) + " 个快捷键未生效";
}

std::string RefusedRowTip(const std::string& keydes) {
    // The system keeps some combinations (Win+L and many Win+letter ones) for itself and
    // refuses them just as it refuses one another program holds.
    return keydes + " 被系统或其他程序占用，未生效。请用“属性”另选快捷键。";
}

std::string FailedLaunchRowTip(const std::string& reason) {
    return "上次启动失败：" + reason;
}

std::string FailedLaunchTitle(const std::string& name, const std::string& path) {
    return "无法启动“" + (name.empty() ? path : name) + "”";
}

std::string SwitchedOffHeldRowTip(const std::string& holder) {
    return "此绑定已单独关闭：它的快捷键已由“" + holder +
           "”使用。改动其中一个的快捷键后，勾选本行的复选框即可启用。";
}

std::string MergeSummary(int added, int switchedOff) {
    return "已合并 " + std::to_string(added) + " 项，其中 " + std::to_string(switchedOff) +
           " 项因热键冲突未启用";
}

const char kSwitchedOffRowTip[] =
    "此绑定已单独关闭，快捷键不起作用。勾选本行的复选框即可重新启用。";
