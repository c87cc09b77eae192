#include "engine/builtin_action.h"

#include "platform/ui_text.h"
#include "res/resource.h"

const char kTokenOpenCdrom[] = "$ZELO.TW.ACT~open_cdrom$";
const char kTokenCloseCdrom[] = "$ZELO.TW.ACT~close_cdrom$";
const char kTokenShutdown[] = "$ZELO.TW.ACT~shutdown$";
const char kTokenForbidShutdown[] = "$ZELO.TW.ACT~forbid_shutdown$";
const char kTokenAllowShutdown[] = "$ZELO.TW.ACT~allow_shutdown$";

const char kBuiltInNote[] = "内置对象";

namespace {

void ShowError(tw::ISystem& system, const std::string& text, const char* caption) {
    system.ShowMessageBox(nullptr, text, caption, tw::kMbIconError);
}

// Each failing step is reported and the next one is tried all the same: the power-off
// request may still succeed where the privilege is not needed.
void PowerOff(tw::ISystem& system) {
    tw::TokenRef token = system.OpenProcessToken();
    if (token == nullptr) ShowError(system, "OpenProcessToken", "error in shutdown");
    if (!system.EnableShutdownPrivilege(token))
        ShowError(system, "AdjustTokenPrivileges", "error in shutdown");
    if (!system.RequestPowerOff())
        ShowError(system, tw::UiText(IDS_POWER_OFF_FAILED), "Tarnwick Error");
    // A refused request leaves the program running: without this, every press would
    // leave one more token handle behind.
    system.CloseToken(token);
}

} // namespace

void RunBuiltInAction(const std::string& token, tw::ISystem& system, int& allowShutdown) {
    if (token == kTokenOpenCdrom) {
        system.SendMciCommand("Set cdAudio door open wait");
    } else if (token == kTokenCloseCdrom) {
        system.SendMciCommand("Set cdAudio door closed wait");
    } else if (token == kTokenShutdown) {
        PowerOff(system);
    } else if (token == kTokenForbidShutdown) {
        allowShutdown = 0;
    } else if (token == kTokenAllowShutdown) {
        allowShutdown = 1;
    } else {
        ShowError(system, tw::UiText(IDS_NO_SUCH_ACTION, {token}), "Tarnwick Error");
    }
}

int QueryEndSessionAnswer(int defaultAnswer, int allowShutdown) {
    return defaultAnswer == 0 ? 0 : allowShutdown;
}
