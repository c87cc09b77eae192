#pragma once
// Small stateless helper created on the stack around a call. Both operations tell the
// user of a failure themselves with a message box.

#include "platform/system.h"

#include <string>

class CSysUtil {
public:
    explicit CSysUtil(tw::ISystem& system) : m_system(system) {}

    // Registers a hotkey code under `id` for `window`; every registration of the program
    // goes through here. False when the system refuses the combination, which the box
    // reports, owned by `window` (the panel) so that the panel takes no input meanwhile.
    bool RegHotKey(tw::WindowRef window, int code, int id);
    // The same without the box, for a caller that walks or changes the entry list: the
    // box runs a message loop, in which a command may change that list. The caller
    // reports the refusal once it holds nothing into the list.
    bool RegHotKeyUnreported(tw::WindowRef window, int code, int id);
    void ReportRefusedHotKey(tw::WindowRef owner);

    // Writes `data` as a string value, creating the key when it is missing. A value the
    // machine refuses under HKEY_LOCAL_MACHINE is kept under HKEY_CURRENT_USER instead.
    bool WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data);

private:
    // Tells the user which step of a registry write failed; true for none.
    bool Report(tw::RegWriteResult result);

    tw::ISystem& m_system;
};
