#pragma once
// The program's icon in the notification area. Added once when the panel starts, hidden and
// shown again from the settings check box, removed for good on exit. While hidden it still
// comes for a balloon and leaves again after it.

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
    // One the shell refused (its taskbar is not there yet at log-on) comes when the taskbar
    // says it was created.
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
    // are cut between characters. A hidden icon comes for it and leaves once the shell
    // says the balloon timed out or was clicked, or kBalloonIconMs after the last balloon
    // (not every shell says so). FALSE when the shell takes neither icon nor balloon.
    BOOL ShowBalloon(const char* title, const char* text);
    // The owner's timer kBalloonTimerId went off: an icon that came for balloons leaves.
    void OnBalloonTimer();
    static constexpr UINT_PTR kBalloonTimerId = 102;
    // Longer than the shell keeps a balloon on show (at most 30 seconds).
    static constexpr UINT kBalloonIconMs = 35000;
    // The shell's notification area was created anew (the shell restarted, or came up
    // after we started) and knows none of our icons: puts ours in when it is meant to be
    // shown.
    void RestoreAfterShellRestart();

    // One callback message from the shell: 1 when it was for our icon, 0 otherwise.
    virtual LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);

    BOOL IsActive() const { return m_bActive; }
    BOOL IsHidden() const { return m_bHidden; }

private:
    HMENU LoadTrayMenu(HMENU* popup) const;
    // Takes out the icon that came only for balloons.
    void EndBalloonIcon();
    void ForgetBalloonIcon();

    BOOL m_bActive;
    BOOL m_bHidden;
    // The shell refused the first add; the icon waits for its taskbar.
    BOOL m_bPending = FALSE;
    // The hidden icon is in the notification area for its balloons, this many not over yet.
    BOOL m_bBalloonIcon = FALSE;
    int m_nBalloons = 0;
    NOTIFYICONDATAW m_nid;
    // The tip as shown: what fits of the last one given.
    std::string m_strTip;
};
