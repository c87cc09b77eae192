#pragma once
// Small stateless helper created on the stack around a call. Both operations tell the
// user of a failure themselves, with a message box that has no owner window.

#include "platform/system.h"

#include <string>

class CSysUtil {
public:
    explicit CSysUtil(tw::ISystem& system) : m_system(system) {}

    // Registers a hotkey code under `id` for `window`; every registration of the program
    // goes through here. False when the system refuses the combination.
    bool RegHotKey(tw::WindowRef window, int code, int id);

    // Writes `data` as a string value, creating the key when it is missing. A value the
    // machine refuses under HKEY_LOCAL_MACHINE is kept under HKEY_CURRENT_USER instead.
    bool WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data);

private:
    // Tells the user which step of a registry write failed; true for none.
    bool Report(tw::RegWriteResult result);

    tw::ISystem& m_system;
};
