#pragma once
// How a started program's window opens; passed to the launch as its show command.

namespace tw {

enum class WindowShow {
    Normal,    // as the program chooses, what every launch did before the choice existed
    Minimized, // minimised, leaving the user's window in front
    Maximized,
    Hidden,    // no window at all: for console programs and scripts
};

} // namespace tw
