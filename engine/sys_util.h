#pragma once
// CSysUtil: a small stateless helper created on the stack around a call. It holds two
// halves that share nothing but the platform seam, each defined in a file of its own:
// - hotkey registration (RegHotKey, RegHotKeyUnreported, ReportRefusedHotKey), through
//   which every RegisterHotKey of the program goes: engine/hotkey_registration.cpp;
// - the start-with-Windows Run value (WriteRegString), including the choice between the
//   machine-wide Run key and the current user's: engine/run_key_write.cpp.
// Both halves tell the user of a failure themselves with a message box.

#include "platform/system.h"

#include <string>

class CSysUtil {
public:
    explicit CSysUtil(tw::ISystem& system) : m_system(system) {}

    // Hotkey registration (engine/hotkey_registration.cpp).

    // Registers a hotkey code under `id` for `window`; every registration of the program
    // goes through here. False when the system refuses the combination, which the box
    // reports, owned by `window` (the panel) so that the panel takes no input meanwhile.
    bool RegHotKey(tw::WindowRef window, int code, int id);
    // The same without the box, for a caller that walks or changes the entry list: the
    // box runs a message loop, in which a command may change that list. The caller
    // reports the refusal once it holds nothing into the list.
    bool RegHotKeyUnreported(tw::WindowRef window, int code, int id);
    void ReportRefusedHotKey(tw::WindowRef owner);

    // The start-with-Windows Run value (engine/run_key_write.cpp).

    // Writes `data` as a string value, creating the key when it is missing. Under
    // HKEY_LOCAL_MACHINE `data` is a command of the Run key and lives in exactly one place
    // afterwards: machine-wide only for a program inside a system folder, for this user
    // otherwise; the empty text empties it in both.
    bool WriteRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data);

    // Shown when a machine-wide value is in the way and this copy may not change it.
    static std::string MachineValueHeldText();

private:
    // The Run value's steps (engine/run_key_write.cpp).
    bool SetRunValue(const std::string& subkey, const std::string& name,
                     const std::string& command);
    bool ClearRunValue(const std::string& subkey, const std::string& name);
    // Empties the value kept for this user, if it holds anything.
    tw::RegWriteResult EmptyUserValue(const std::string& subkey, const std::string& name);
    // The machine-wide value's text; empty when there is none.
    std::string MachineValue(const std::string& subkey, const std::string& name);
    // Tells the user which step of a registry write failed; true for none.
    bool Report(tw::RegWriteResult result);
    bool ReportMachineValueHeld();

    tw::ISystem& m_system;
};
