#pragma once
// The program's icon in the notification area. Added once when the panel starts, hidden and
// shown again from the settings check box, removed for good on exit.

#include <windows.h>
#include <shellapi.h>

#include <string>

class CTrayIcon {
public:
    CTrayIcon();
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Puts the icon into the notification area; the object stays inactive when it cannot.
    BOOL AddToTray(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id);
    // Takes the icon out for good.
    void RemoveFromTray();
    // Takes the icon out for now; ShowInTray brings it back.
    void HideFromTray();
    void ShowInTray();
    // Changes the tip: an icon in the notification area shows it at once, a hidden one
    // when it comes back; an inactive object only keeps it.
    void SetTip(const char* tip);
    const char* GetTip() const { return m_strTip.c_str(); }
    // A notification balloon over the icon, with a warning sign; texts too long for it
    // are cut between characters. FALSE when no icon is shown to carry it.
    BOOL ShowBalloon(const char* title, const char* text);
    // The shell's notification area was created anew (the shell restarted) and has
    // forgotten every icon: puts ours back when it is meant to be shown.
    void RestoreAfterShellRestart();

    // One callback message from the shell: 1 when it was for our icon, 0 otherwise.
    virtual LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);

    BOOL IsActive() const { return m_bActive; }
    BOOL IsHidden() const { return m_bHidden; }

private:
    HMENU LoadTrayMenu(HMENU* popup) const;

    BOOL m_bActive;
    BOOL m_bHidden;
    NOTIFYICONDATAW m_nid;
    // The tip as shown: what fits of the last one given.
    std::string m_strTip;
};
