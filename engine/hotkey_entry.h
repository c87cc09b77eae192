#pragma once
// One binding: a hotkey code and what it starts, the texts the list shows, the icon,
// and the id under which the hotkey is registered for the panel window.

#include "platform/window_show.h"

#include <string>

// The id of an entry that no numbering has reached: one read from a list file that turned
// out invalid further on, or one not added yet. No registration ever uses it, so such an
// entry can neither unregister nor stand in for one of the fixed hotkeys (ids 0 and 1).
constexpr int kHotKeyIdNotNumbered = -1;

// Where an entry's hotkey stands with the system right now, as the system last answered.
enum class HotKeyState {
    Off,        // not registered: the hotkeys are switched off, or nothing has tried yet
    None,       // code 0: there is nothing to register
    Registered, // the system took the combination
    Refused,    // the system refused it: someone else holds the combination
};

// What starting a binding does while its program already runs.
enum class IfRunning {
    StartAnother, // another copy, as every binding did before the choice existed
    BringBack,    // its window to the front (restored), or minimised when it is in front
    LeaveAlone,   // nothing
};

struct HotKeyEntry {
    std::string name;    // display name
    std::string path;    // target opened through the shell, or a built-in action token
    std::string icon;    // file the icon is taken from
    std::string workdir; // working directory for the launch; "_" for built-in entries
    std::string info;    // free note, may hold CR LF
    std::string keydes;  // readable description of the hotkey
    int hotkey = 0;      // hotkey code: low byte virtual key, next byte modifier flags; 0 none
    int id = kHotKeyIdNotNumbered;        // hotkey id for registration, once numbered
    int iconint = 0;                      // index of the icon inside `icon`
    bool builtin = false;                 // `path` holds a built-in action token
    std::string args;                     // parameters of the launch; empty for none
    bool runas = false;                   // the launch asks for elevation
    tw::WindowShow show = tw::WindowShow::Normal; // how the started program's window opens
    IfRunning ifRunning = IfRunning::StartAnother;
    HotKeyState state = HotKeyState::Off; // kept by the engine; never saved, never compared
    // Why the last launch failed, in words for the user; empty while it works. Kept like
    // `state`: never saved, never compared.
    std::string launchError;

    // Switched on by the row's own check box; a binding switched off stays in the list and
    // the file and is never registered. Saved; not compared.
    bool enabled = true;

    // Compares the seven texts, `hotkey`, `iconint`, `runas`, `show` and `ifRunning`;
    // `id` and `builtin` take no part.
    bool operator==(const HotKeyEntry& other) const;
    bool operator!=(const HotKeyEntry& other) const { return !(*this == other); }

    // True once numbering has given the entry an id of its own, one of the entry ids.
    bool IsNumbered() const;
};
