#include "engine/hotkey_state_text.h"

#include "platform/ui_text.h"
#include "res/resource.h"

const char kTrayTipPlain[] = "Tarnwick V1.0";

std::string RefusedTrayTip(int refused) {
    if (refused <= 0) return kTrayTipPlain;
    // At most 10 digits: the whole text stays far below 63 bytes.
    return std::string(kTrayTipPlain) + " - " +
           tw::UiText(IDS_TRAY_REFUSED, {std::to_string(refused)});
}

std::string RefusedRowTip(const std::string& keydes) {
    // The system keeps some combinations (Win+L and many Win+letter ones) for itself and
    // refuses them just as it refuses one another program holds.
    return tw::UiText(IDS_TIP_REFUSED, {keydes});
}

std::string FailedLaunchRowTip(const std::string& reason) {
    return tw::UiText(IDS_TIP_FAILED, {reason});
}

std::string FailedLaunchTitle(const std::string& name, const std::string& path) {
    return tw::UiText(IDS_CANNOT_START, {name.empty() ? path : name});
}

std::string SwitchedOffRowTip() {
    return tw::UiText(IDS_TIP_SWITCHED_OFF);
}

std::string SwitchedOffHeldRowTip(const std::string& holder) {
    return tw::UiText(IDS_TIP_SWITCHED_OFF_HELD, {holder});
}

std::string MergeSummary(int added, int switchedOff) {
    return tw::UiText(IDS_MERGE_SUMMARY, {std::to_string(added), std::to_string(switchedOff)});
}
