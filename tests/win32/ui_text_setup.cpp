// The Win32 tests see the texts the program shows: its own string table, in Chinese unless
// a test chooses otherwise.

#include "platform/win32/ui_resources.h"

namespace {

[[maybe_unused]] const bool kInstalled = (InstallStringTable(), true);

} // namespace
