#include "engine/hotkey_entry.h"

#include "engine/hotkey_code.h"

bool HotKeyEntry::operator==(const HotKeyEntry& o) const {
    return name == o.name && path == o.path && icon == o.icon && workdir == o.workdir &&
           info == o.info && keydes == o.keydes && hotkey == o.hotkey && iconint == o.iconint &&
           args == o.args && runas == o.runas && show == o.show &&
           ifRunning == o.ifRunning;
}

bool HotKeyEntry::IsNumbered() const {
    return id >= kFirstEntryHotKeyId;
}
