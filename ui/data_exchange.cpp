#include "ui/data_exchange.h"

#include "storage/file_text.h"

#include <climits>

namespace {

const char kMaxCharsMessage[] = "Please enter no more than %1 characters.";
const char kIntegerMessage[] = "Please enter an integer.";

// The framework's message texts carry their argument as %1.
std::string FormatMessageText(std::string text, const std::string& argument) {
    std::string::size_type at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

// Whole decimal number with optional blanks around it and an optional sign.
bool ParseInt(const std::string& text, int& value) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t digitsFrom = i;
    long long magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
        ++i;
    }
    if (i == digitsFrom) return false;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i != text.size()) return false;
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX || signedValue < INT_MIN) return false;
    value = static_cast<int>(signedValue);
    return true;
}

} // namespace

HWND CDataExchange::PrepareCtrl(int id) {
    m_hWndLastControl = m_pDlgWnd->GetDlgItem(id);
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    PrepareCtrl(id);
    m_bEditLastControl = true;
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (m_hWndLastControl == nullptr) return;
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->Failed() || control.m_hWnd != nullptr) return;
    control.SubclassWindow(dx->PrepareCtrl(id));
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx->Failed()) return;
    HWND edit = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = CWnd::WindowText(edit);
    else
        ::SetWindowTextW(edit, Widen(value).c_str());
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    if (dx->Failed()) return;
    HWND edit = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextW(edit, std::to_wstring(value).c_str());
        return;
    }
    int parsed = 0;
    if (!ParseInt(CWnd::WindowText(edit), parsed)) {
        dx->m_pDlgWnd->ShowMessage(kIntegerMessage, MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
        return;
    }
    value = parsed;
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    if (dx->Failed()) return;
    HWND button = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(button, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
    if (dx->Failed()) return;
    if (!dx->m_bSaveAndValidate) {
        if (dx->LastControl() != nullptr && dx->LastControlIsEdit())
            ::SendMessageW(dx->LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (FileTextLength(value) <= static_cast<size_t>(maxChars)) return;
    dx->m_pDlgWnd->ShowMessage(FormatMessageText(kMaxCharsMessage, std::to_string(maxChars)),
                               MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}
