#pragma once
// Starting what an entry names: the one place where a hotkey press, the Run command and a
// double click turn into a launch, and the words that explain a failed one.

#include "engine/hotkey_entry.h"
#include "platform/system.h"

#include <string>

// What the shell is asked for `entry`: its command, arguments and working directory with
// the environment variables of this moment, so one list serves every user and machine.
tw::ShellLaunchRequest LaunchRequestFor(const HotKeyEntry& entry, tw::ISystem& system);

// Answered instead of a launch when elevation is asked for a target that is not a program:
// the shell elevates programs only, and most document types have no verb for it. Bit 29
// marks an error code of the program's own, never one of the system's.
constexpr unsigned long kErrRunAsNotProgram = 0x20000001;

// True when `path` names a program the shell can start elevated: its last part ends in
// .exe, .com, .bat, .cmd or .msc (in any case), or is a shortcut (.lnk), which starts its
// target, or has no extension at all, which the shell looks up as a program. Never for an
// address such as "https://...": it names no file.
bool IsElevatableProgram(const std::string& path);

// Runs a built-in entry's action (`path` is its token; the action reports its own
// failures) or starts the entry through the shell, first handing on the right to take the
// foreground. `allowShutdown` is the application's shutdown-allowed flag. Answers
// tw::kLaunchOk or the shell's error; tw::kErrCancelled when the user declined elevation;
// kErrRunAsNotProgram, starting nothing, when elevation is asked for a document or a
// folder.
// `started`, when given, receives the process the launch started (null for none), which
// the caller releases.
unsigned long LaunchEntry(const HotKeyEntry& entry, tw::ISystem& system, int& allowShutdown,
                          tw::ProcessRef* started = nullptr);

// Why a launch failed, in words for the user; empty for a start and for a declined
// elevation, which the user chose.
std::string LaunchFailureText(unsigned long error);
