#pragma once
// The running program's name, as the single-instance mutex and the framework's message
// boxes use it.

#include <string>

// The executable's file name without folder and extension.
std::string ApplicationName();
