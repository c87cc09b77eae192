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

// A machine-wide value needs administrator rights, which under UAC no program has unless
// it is elevated: where the machine refuses it, the value is kept for this user instead,
// which Windows reads at this user's log-on all the same. It lives in one place: writing
// it machine-wide empties a copy kept for the user, and an empty value is written for the
// user only over one that is there. The user hears of a failure only when the value asked
// for is in neither place.
bool CSysUtil::WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                              const std::string& data) {
    const tw::RegWriteResult result = m_system.WriteRegString(root, subkey, name, data);
    if (root != tw::RegRoot::LocalMachine) return Report(result);

    std::string value;
    const bool perUser = m_system.ReadRegString(tw::RegRoot::CurrentUser, subkey, name, value);
    if (result == tw::RegWriteResult::Ok) {
        if (perUser) m_system.WriteRegString(tw::RegRoot::CurrentUser, subkey, name, "");
        return true;
    }
    if (!data.empty() || perUser) {
        if (m_system.WriteRegString(tw::RegRoot::CurrentUser, subkey, name, data) !=
            tw::RegWriteResult::Ok)
            return Report(result);
    }
    if (!data.empty()) return true;
    // Emptied for this user; a machine-wide value that they cannot empty still holds.
    if (!m_system.ReadRegString(tw::RegRoot::LocalMachine, subkey, name, value) || value.empty())
        return true;
    return Report(result);
}

bool CSysUtil::Report(tw::RegWriteResult result) {
    switch (result) {
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
