#include "engine/shown_text.h"

#include "engine/builtin_action.h"
#include "platform/ui_text.h"
#include "res/resource.h"

const char kNoHotKeyDescription[] = "无";

namespace {

struct ShippedAction {
    const char* token;
    int name; // the Chinese table holds the shipped name, the others its translation
};

const ShippedAction kShippedActions[] = {
    {kTokenShutdown, IDS_ACTION_SHUTDOWN},      {kTokenOpenCdrom, IDS_ACTION_OPEN_CDROM},
    {kTokenCloseCdrom, IDS_ACTION_CLOSE_CDROM}, {kTokenForbidShutdown, IDS_ACTION_FORBID},
    {kTokenAllowShutdown, IDS_ACTION_ALLOW},
};

bool ChineseShown() {
    return tw::CurrentUiLanguage() == tw::UiLanguage::Chinese;
}

} // namespace

std::string ShownActionName(const std::string& name, const std::string& token) {
    if (ChineseShown()) return name;
    for (const ShippedAction& action : kShippedActions)
        if (token == action.token && name == tw::UiTextIn(action.name, tw::UiLanguage::Chinese))
            return tw::UiText(action.name);
    return name;
}

std::string ShownName(const HotKeyEntry& entry) {
    return entry.info == kBuiltInNote ? ShownActionName(entry.name, entry.path) : entry.name;
}

std::string ShownKeyDescription(const std::string& keydes) {
    return !ChineseShown() && keydes == kNoHotKeyDescription ? tw::UiText(IDS_NO_HOTKEY) : keydes;
}

std::string ShownNote(const std::string& info) {
    return !ChineseShown() && info == kBuiltInNote ? tw::UiText(IDS_BUILTIN_NOTE) : info;
}

bool IsBuiltInNoteShown(const std::string& shown) {
    return shown == kBuiltInNote || shown == ShownNote(kBuiltInNote);
}
