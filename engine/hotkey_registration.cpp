// CSysUtil's hotkey half: the one place the program registers a hotkey with the system
// (RegisterHotKey through the platform seam), and the box that reports a refusal. Its
// start-with-Windows half is in engine/run_key_write.cpp.

#include "engine/sys_util.h"

#include "engine/hotkey_code.h"
#include "platform/ui_text.h"
#include "res/resource.h"

bool CSysUtil::RegHotKey(tw::WindowRef window, int code, int id) {
    if (RegHotKeyUnreported(window, code, id)) return true;
    ReportRefusedHotKey(window);
    return false;
}

bool CSysUtil::RegHotKeyUnreported(tw::WindowRef window, int code, int id) {
    return m_system.RegisterHotKey(window, id, HotKeyModifiers(code), HotKeyVirtualKey(code));
}

void CSysUtil::ReportRefusedHotKey(tw::WindowRef owner) {
    m_system.ShowMessageBox(owner, tw::UiText(IDS_HOTKEY_REFUSED), tw::UiText(IDS_CAPTION_FAILED),
                            tw::kMbIconInformation);
}
