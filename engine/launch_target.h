#pragma once
// Starting what an entry names: the one place where a hotkey press, the Run command and a
// double click turn into a launch, and the words that explain a failed one.

#include "engine/hotkey_entry.h"
#include "platform/system.h"

#include <string>

// What the shell is asked for `entry`: its command, arguments and working directory with
// the environment variables of this moment, so one list serves every user and machine.
tw::ShellLaunchRequest LaunchRequestFor(const HotKeyEntry& entry, tw::ISystem& system);

// Runs a built-in entry's action (`path` is its token; the action reports its own
// failures) or starts the entry through the shell, first handing on the right to take the
// foreground. `allowShutdown` is the application's shutdown-allowed flag. Answers
// tw::kLaunchOk or the shell's error; tw::kErrCancelled when the user declined elevation.
unsigned long LaunchEntry(const HotKeyEntry& entry, tw::ISystem& system, int& allowShutdown);

// Why a launch failed, in words for the user; empty for a start and for a declined
// elevation, which the user chose.
std::string LaunchFailureText(unsigned long error);
