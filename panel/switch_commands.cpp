// The switches of a second start (/load, /merge, /on, /off, /show, /hide, /quit), handed to
// this copy in WM_COPYDATA, or given to this start itself for a list to load or merge.

#include "panel/tarnwick_dlg.h"

#include "platform/win32/wide.h"
#include "res/resource.h"
#include "storage/list_file.h"

#include <optional>

namespace {

bool ReadsAsList(const std::string& path) {
    return ::LoadEntriesFromListFile(path, [](const HotKeyEntry&) {}) == ListReadResult::Ok;
}

// The sender waits for the answer; what follows may open boxes of its own.
void AnswerNow(int code) {
    if (::InSendMessage()) ::ReplyMessage(code);
}

} // namespace

int CTarnwickDlg::OnSwitch(const CommandSwitch& command) {
    // One of the panel's own dialogs or boxes is open: the list is not to change under it.
    if (!::IsWindowEnabled(m_hWnd)) return kSwitchRefused;
    switch (command.kind) {
    case SwitchKind::Load:
    case SwitchKind::Merge:
        if (!ReadsAsList(command.file)) return kSwitchRefused;
        AnswerNow(kSwitchDone);
        if (command.kind == SwitchKind::Merge) {
            MergeListFile(command.file);
        } else {
            ClearAll();
            ReadListFile(command.file);
            ShowAll();
            EnableAllHotKeys();
        }
        return kSwitchDone;
    case SwitchKind::On: AnswerNow(kSwitchDone); OnEnableHotKeys(); return kSwitchDone;
    case SwitchKind::Off: AnswerNow(kSwitchDone); OnDisableHotKeys(); return kSwitchDone;
    case SwitchKind::Show:
        m_bPanelVisible = true;
        UpdatePanelVisibility();
        ::SetForegroundWindow(m_hWnd);
        return kSwitchDone;
    case SwitchKind::Hide: HidePanel(); return kSwitchDone;
    case SwitchKind::Quit: PostMessage(WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0)); return kSwitchDone;
    case SwitchKind::None:
    case SwitchKind::Unknown: break;
    }
    return kSwitchUnknown;
}

// Only a block of our own kind counts: other programs may send WM_COPYDATA too.
bool CTarnwickDlg::OnCopyData(const COPYDATASTRUCT* data, LRESULT* result) {
    if (data == nullptr || data->dwData != kSwitchCopyDataId || data->lpData == nullptr)
        return false;
    const std::wstring text(static_cast<const wchar_t*>(data->lpData),
                            data->cbData / sizeof(wchar_t));
    // Start-up's registration goes first, if it has not run yet; what it refuses is told
    // once the sender has its answer.
    std::optional<DeferredRefusals> tellAfterTheAnswer;
    if (m_bRegistrationDue) tellAfterTheAnswer.emplace(*this);
    RegisterDueHotKeys();
    *result = OnSwitch(SwitchFromMessage(Narrow(text)));
    AnswerNow(static_cast<int>(*result));
    return true;
}
