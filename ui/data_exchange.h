#pragma once
// Dialog data exchange: moves values between a dialog's controls and its members, in
// the show direction (members to controls) or the store direction (controls to members,
// with validation). A failed store shows its message, puts the focus back in the
// offending control, and turns every later exchange of the same pass into a no-op, so
// UpdateData(TRUE) returns FALSE with the members past that control untouched.

#include "ui/dialog.h"

#include <string>

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    const bool m_bSaveAndValidate;
    CDialog* const m_pDlgWnd;

    // The control `id`, remembered as the one a failed check returns to.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    HWND LastControl() const { return m_hWndLastControl; }
    bool LastControlIsEdit() const { return m_bEditLastControl; }

    // Abandons the pass: focus (and, for an edit box, the selection) back to the last
    // prepared control.
    void Fail();
    bool Failed() const { return m_bFailed; }

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

// Binds `control` to the dialog's control `id` (once; the binding lasts until the
// window is destroyed), subclassing it so the control object sees its own messages.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Stores fail with "Please enter an integer." unless the text is a whole number.
void DDX_Text(CDataExchange* dx, int id, int& value);
// 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& value);
// Follows the DDX_Text of the same control. Showing sets the edit box's limit; storing
// fails with "Please enter no more than %1 characters." when `value` takes more than
// `maxChars` bytes in the files (a Chinese character two, as it always has).
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
