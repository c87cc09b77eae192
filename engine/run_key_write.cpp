// CSysUtil's start-with-Windows half: the Run value, and which of the two Run keys (the
// machine-wide one or the current user's) keeps it. Its hotkey half is in
// engine/hotkey_registration.cpp.

#include "engine/sys_util.h"

#include "platform/ui_text.h"
#include "res/resource.h"

namespace {

// The program a command line starts: its first word, or the quoted text it begins with.
std::string ProgramOf(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        return close == std::string::npos ? std::string() : command.substr(1, close - 1);
    }
    return command.substr(0, command.find(' '));
}

} // namespace

std::string CSysUtil::MachineValueHeldText() {
    return tw::UiText(IDS_RUN_KEY_HELD);
}

bool CSysUtil::WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                              const std::string& data) {
    if (root != tw::RegRoot::LocalMachine)
        return Report(m_system.WriteRegString(root, subkey, name, data));
    return data.empty() ? ClearRunValue(subkey, name) : SetRunValue(subkey, name, data);
}

// A machine-wide value starts its program in every account's session: for a program in a
// folder its user can write, that user could run code in everyone else's. Only a program
// under Program Files or the Windows folder is started for everyone; it still needs a copy
// allowed to write there (elevated), and any other copy keeps the value for its user, which
// Windows reads at that user's log-on all the same. Where a machine-wide value is in the
// way and cannot be changed, nothing is added beside it: two values start two copies.
bool CSysUtil::SetRunValue(const std::string& subkey, const std::string& name,
                           const std::string& command) {
    const std::string machine = MachineValue(subkey, name);
    if (m_system.IsInSystemFolder(ProgramOf(command))) {
        if (m_system.WriteRegString(tw::RegRoot::LocalMachine, subkey, name, command) ==
                tw::RegWriteResult::Ok ||
            machine == command)
            return Report(EmptyUserValue(subkey, name));
        if (!machine.empty()) {
            EmptyUserValue(subkey, name);
            return ReportMachineValueHeld();
        }
    } else if (!machine.empty() && m_system.WriteRegString(tw::RegRoot::LocalMachine, subkey, name,
                                                           "") != tw::RegWriteResult::Ok) {
        EmptyUserValue(subkey, name);
        return ReportMachineValueHeld();
    }
    return Report(m_system.WriteRegString(tw::RegRoot::CurrentUser, subkey, name, command));
}

// Both places are emptied; the value itself stays. The user hears of a failure only when
// something is left that would still start the program.
bool CSysUtil::ClearRunValue(const std::string& subkey, const std::string& name) {
    const tw::RegWriteResult machine =
        m_system.WriteRegString(tw::RegRoot::LocalMachine, subkey, name, "");
    const tw::RegWriteResult user = EmptyUserValue(subkey, name);
    if (user != tw::RegWriteResult::Ok) return Report(user);
    if (machine == tw::RegWriteResult::Ok || MachineValue(subkey, name).empty()) return true;
    return ReportMachineValueHeld();
}

// No value is created for the user only to hold nothing.
tw::RegWriteResult CSysUtil::EmptyUserValue(const std::string& subkey, const std::string& name) {
    std::string value;
    if (!m_system.ReadRegString(tw::RegRoot::CurrentUser, subkey, name, value) || value.empty())
        return tw::RegWriteResult::Ok;
    return m_system.WriteRegString(tw::RegRoot::CurrentUser, subkey, name, "");
}

std::string CSysUtil::MachineValue(const std::string& subkey, const std::string& name) {
    std::string value;
    if (!m_system.ReadRegString(tw::RegRoot::LocalMachine, subkey, name, value)) return "";
    return value;
}

bool CSysUtil::ReportMachineValueHeld() {
    m_system.ShowMessageBox(nullptr, MachineValueHeldText(), "failed", tw::kMbIconWarning);
    return false;
}

bool CSysUtil::Report(tw::RegWriteResult result) {
    switch (result) {
    case tw::RegWriteResult::CannotCreateKey:
        m_system.ShowMessageBox(nullptr, tw::UiText(IDS_RUN_KEY_CREATE), "failed",
                                tw::kMbIconWarning);
        return false;
    case tw::RegWriteResult::CannotSetValue:
        m_system.ShowMessageBox(nullptr, tw::UiText(IDS_RUN_KEY_WRITE), "failed",
                                tw::kMbIconWarning);
        return false;
    case tw::RegWriteResult::Ok: break;
    }
    return true;
}
