#pragma once
// Starting what an entry or a list row names: the one place where a hotkey press and the
// Run command turn into a launch.

#include "platform/system.h"

#include <string>

// Starts a built-in action (`path` is its token), or opens `path` through the shell in
// `workdir`. `allowShutdown` is the application's shutdown-allowed flag. A failed shell
// launch is not reported.
void LaunchTarget(const std::string& path, const std::string& workdir, bool builtin,
                  tw::ISystem& system, int& allowShutdown);
