#pragma once
// A dialog built from a template in the program's resources and run modally by its own
// message loop. The loop offers every message to PreTranslateMessage of our dialogs
// before dispatching it, and also to the application's main dialog: that is how a hotkey
// message posted to the main panel reaches the panel while one of its child dialogs is
// open.

#include "ui/wnd.h"

#include <string>

class CDataExchange;

class CDialog : public CWnd {
public:
    // `parent` may be null: the dialog is then owned by the main dialog's last active
    // pop-up, if there is a main dialog.
    CDialog(UINT templateId, HWND parent);
    ~CDialog() override;

    // Creates the dialog, disables its owner, runs the loop until EndDialog, then
    // re-enables the owner and destroys the window. Returns the EndDialog result, or -1
    // when the dialog could not be created or the loop met WM_QUIT (which is posted
    // again for the loop outside).
    INT_PTR DoModal();
    void EndDialog(int result);

    // Moves data between the controls and the members; false when a store failed
    // (its message has been shown and the focus is back in the control).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The application's main dialog, asked to pre-translate every message the running
    // loop fetches for a window outside the loop's own dialog.
    static void SetMainWnd(CDialog* dialog);
    static CDialog* GetMainWnd();

    // The application's name, the caption of the framework's message boxes; the
    // application sets it once at start-up.
    static void SetAppName(const std::string& name);
    static const std::string& GetAppName();

    // Our dialog object behind `hwnd`, or null.
    static CDialog* FromHandle(HWND hwnd);

    // The DPI of the monitor the dialog is on, which pixel sizes follow (96: 100 %).
    int GetDpi() const { return m_nDpi; }

    // Shows a message box owned by this dialog, captioned with the application name.
    // Data exchange reports through it, so a test or a caller can answer it.
    virtual int ShowMessage(const std::string& text, UINT type);
    // A message box owned by this dialog with a caption of its own. ShowMessage ends here
    // too, so overriding this one answers every box the dialog shows.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);

    // Keyboard navigation for keyboard messages of this dialog's windows; FALSE for
    // anything else. Return TRUE to stop the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

protected:
    // Binds controls (the base calls UpdateData(FALSE)). TRUE lets the system place the
    // focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // IDOK: stores the controls and ends with IDOK only when that succeeded.
    virtual void OnOK();
    // IDCANCEL (also Esc and the close box): ends with IDCANCEL.
    virtual void OnCancel();

    // WM_COMMAND. True when handled; the base handles IDOK and IDCANCEL. Overrides end
    // with `return CDialog::OnCommand(id, code);` for ids they do not know.
    virtual bool OnCommand(int id, int code);
    // WM_NOTIFY. True when handled, with the notification's result in `*result`.
    virtual bool OnNotify(NMHDR* header, LRESULT* result);
    // Any other message. True when handled, with the message's result in `*result`;
    // false leaves it to the system's dialog processing.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The dialog moved to a monitor of another DPI: it has taken the place the system
    // suggested, its controls have been moved and sized and given a font for the new DPI.
    // Whatever the dialog sized in pixels itself (columns, image lists) follows here.
    virtual void OnDpiChanged(int oldDpi, int newDpi);

    UINT m_nIDTemplate;
    HWND m_hParent;

private:
    void FollowDpi(int dpi, const RECT& suggested);
    void ScaleControls(int oldDpi, int newDpi);

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND ResolveOwner() const;
    bool PreTranslateInLoop(MSG* msg);
    void Detach();

    bool m_bEnded = false;
    int m_nResult = -1;
    int m_nDpi = 96;
    // The template's font, made for the DPI the dialog was created at, and the one made
    // from it for the DPI the dialog is at now (null while that is the creation DPI).
    HFONT m_hTemplateFont = nullptr;
    int m_nTemplateDpi = 96;
    HFONT m_hDpiFont = nullptr;

    static CDialog* s_pMainWnd;
    static std::string s_strAppName;
};
