#include "engine/hotkey_code.h"

unsigned HotKeyModifiers(int code) {
    const int flags = HotKeyFlags(code);
    unsigned modifiers = 0;
    if (flags & tw::kHotKeyfShift) modifiers |= tw::kModShift;
    if (flags & tw::kHotKeyfControl) modifiers |= tw::kModControl;
    if (flags & tw::kHotKeyfAlt) modifiers |= tw::kModAlt;
    if (HasWinKey(code)) modifiers |= tw::kModWin;
    return modifiers;
}

std::string KeyDescription(tw::ISystem& system, int code) {
    const unsigned vk = HotKeyVirtualKey(code);
    const int flags = HotKeyFlags(code);
    if (vk == 0 && flags == 0 && !HasWinKey(code)) return std::string();

    static const char kSeparator[] = " + ";
    std::string text;
    // Not the layout's name: most layouts call it "Left Windows", which says nothing.
    if (HasWinKey(code)) text += std::string("Win") + kSeparator;
    if (flags & tw::kHotKeyfControl) text += system.KeyName(tw::kVkControl, false) + kSeparator;
    if (flags & tw::kHotKeyfShift) text += system.KeyName(tw::kVkShift, false) + kSeparator;
    if (flags & tw::kHotKeyfAlt) text += system.KeyName(tw::kVkMenu, false) + kSeparator;
    text += system.KeyName(vk, (flags & tw::kHotKeyfExt) != 0);
    return text;
}
