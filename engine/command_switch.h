#pragma once
// The switches a second start hands to the running copy: /load FILE, /merge FILE, /on,
// /off, /show, /hide and /quit. Any other command line is the folder to change to, as it
// always was.

#include <functional>
#include <string>

enum class SwitchKind {
    None, // no switch: the command line is a folder (or empty)
    Load,
    Merge,
    On,
    Off,
    Show,
    Hide,
    Quit,
    Unknown, // "/" and a word that is no switch and names no folder
};

struct CommandSwitch {
    SwitchKind kind = SwitchKind::None;
    std::string file; // for Load and Merge, without its quotes
};

// A switch is "/" and one of the words exactly, then for /load and /merge a blank and the
// file, for the others nothing but blanks. "/" and another word of letters is an unknown
// switch unless `isFolder` says a folder of that name exists; anything else is no switch.
CommandSwitch ParseCommandSwitch(const std::string& line,
                                 const std::function<bool(const std::string&)>& isFolder);

// What the running copy is handed, and how the second start reads it back.
std::string SwitchMessage(const CommandSwitch& command);
CommandSwitch SwitchFromMessage(const std::string& message);

// The exit codes of a start that handed a switch on.
constexpr int kSwitchDone = 0;
constexpr int kSwitchRefused = 1;
constexpr int kSwitchUnknown = 2;
constexpr int kSwitchNoRunningCopy = 3;
