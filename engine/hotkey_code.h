#pragma once
// A hotkey code is what a hotkey control holds: the virtual key in the low byte and the
// control's modifier flags (tw::kHotKeyf*) in the second byte; 0 means no hotkey. The
// control knows nothing of the Windows key: the dialogs' "Win" box adds kHotKeyWin, bit 16,
// above the control's 16 bits, so a code with Win never equals the same combination
// without it.

#include "platform/system.h"

#include <string>

// Ids under which hotkeys are registered for the panel window. 2 to 9 are never used.
constexpr int kHotKeyIdSwitch = 0; // Ctrl+Alt+Home: entry hotkeys off and on
constexpr int kHotKeyIdPanel = 1;  // Ctrl+Alt+End: hide or show the panel
constexpr int kFirstEntryHotKeyId = 10;

// The codes of the two fixed hotkeys; both carry the extended flag, as a hotkey control
// would give them: HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT in the second byte, VK_HOME
// or VK_END in the low one.
constexpr int kSwitchHotKeyCode = 0x0E24; // Ctrl+Alt+Home
constexpr int kPanelHotKeyCode = 0x0E23;  // Ctrl+Alt+End

constexpr int kHotKeyWin = 0x10000;

// A hotkey control's value with the "Win" box: Win alone is no combination, so a control
// without a key stays 0.
inline int WithWinKey(int controlCode, bool win) {
    return controlCode != 0 && win ? controlCode | kHotKeyWin : controlCode;
}
inline bool HasWinKey(int code) {
    return (code & kHotKeyWin) != 0;
}

inline int MakeHotKeyCode(unsigned vk, int flags) {
    return static_cast<int>(((static_cast<unsigned>(flags) & 0xFFu) << 8) | (vk & 0xFFu));
}
inline unsigned HotKeyVirtualKey(int code) {
    return static_cast<unsigned>(code) & 0xFFu;
}
inline int HotKeyFlags(int code) {
    return (code >> 8) & 0xFF;
}

// Registration modifiers for a code, MOD_WIN for kHotKeyWin. The extended flag and the other
// higher bits do not take part.
unsigned HotKeyModifiers(int code);

// "Ctrl + Shift + Alt + Key" with the names the system gives for the current keyboard
// layout, after "Win + " when the code has the Windows key; the extended flag applies to
// the key only. Empty when the code names neither a key nor a modifier.
std::string KeyDescription(tw::ISystem& system, int code);
