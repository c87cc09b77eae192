#include "engine/sys_util.h"

#include "engine/hotkey_code.h"

bool CSysUtil::RegHotKey(tw::WindowRef window, int code, int id) {
    if (RegHotKeyUnreported(window, code, id)) return true;
    ReportRefusedHotKey(window);
    return false;
}

bool CSysUtil::RegHotKeyUnreported(tw::WindowRef window, int code, int id) {
    return m_system.RegisterHotKey(window, id, HotKeyModifiers(code), HotKeyVirtualKey(code));
}

void CSysUtil::ReportRefusedHotKey(tw::WindowRef owner) {
    m_system.ShowMessageBox(owner, "注册系统热键失败，请选择其他热键！", "失败",
                            tw::kMbIconInformation);
}

bool CSysUtil::WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                              const std::string& data) {
    switch (m_system.WriteRegString(root, subkey, name, data)) {
    case tw::RegWriteResult::CannotCreateKey:
        m_system.ShowMessageBox(nullptr, "建立注册表项失败！", "failed", tw::kMbIconWarning);
        return false;
    case tw::RegWriteResult::CannotSetValue:
        m_system.ShowMessageBox(nullptr, "写入注册表值失败！", "failed", tw::kMbIconWarning);
        return false;
    case tw::RegWriteResult::Ok: break;
    }
    return true;
}
