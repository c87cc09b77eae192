#pragma once
// A binding whose program already runs: which program that is, and bringing it back or
// leaving it alone instead of starting another copy.

#include "engine/hotkey_entry.h"
#include "platform/system.h"

#include <string>

// The executable a binding starts, as the full path running processes are matched by:
// only a program (.exe, .com) named with its folder. Never the shell itself
// (explorer.exe), which runs the taskbar and the desktop, and never a document, which
// runs in whatever program opens it. Empty when no running program can be its own.
std::string MatchedProgramPath(const std::string& expandedFile);

// Does what `choice` asks with a program found running: true when it was brought back
// or left alone, false when the binding must start it (it does not run, or its windows
// belong to another process, as with a launcher stub). Bringing back minimises the
// program when one of its windows is in front already.
bool ActOnRunningProgram(IfRunning choice, const tw::RunningProgram& program, tw::ISystem& system);
