#pragma once
// One binding: a hotkey code and what it starts, the texts the list shows, the icon,
// and the id under which the hotkey is registered for the panel window.

#include <string>

struct HotKeyEntry {
    std::string name;     // display name
    std::string path;     // target opened through the shell, or a built-in action token
    std::string icon;     // file the icon is taken from
    std::string workdir;  // working directory for the launch; "_" for built-in entries
    std::string info;     // free note, may hold CR LF
    std::string keydes;   // readable description of the hotkey
    int hotkey = 0;       // hotkey code: low byte virtual key, next byte modifier flags; 0 none
    int id = 0;           // hotkey id for registration
    int iconint = 0;      // index of the icon inside `icon`
    bool builtin = false; // `path` holds a built-in action token

    // Compares the six texts, `hotkey` and `iconint`; `id` and `builtin` take no part.
    bool operator==(const HotKeyEntry& other) const;
    bool operator!=(const HotKeyEntry& other) const { return !(*this == other); }
};
