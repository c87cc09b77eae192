#pragma once
// The main panel: the program's only top-level window, run modally for the life of the
// process. It owns the entry list (through the hotkey engine it derives from), the tray
// icon, the image lists and the list view, and receives every command, the tray callback
// and, through its message pre-translation, every hotkey. docs/architecture.md follows a
// key press, a change and the start-up through it.
//
// Where the members are defined, all under panel/:
// - tarnwick_dlg.cpp: construction, DoDataExchange, OnInitDialog (the start-up), the
//   message routing (PreTranslateMessage, OnCommand, OnNotify, OnMessage), OnOK, OnCancel,
//   PaintMinimized, TrackMenu, SetViewMode, OnAbout, OnHelp, Message.
// - list_display.cpp: the list view and its pictures: InsertColumns, OnDpiChanged,
//   CreateImageLists, RemakeImageLists, AppendIconPair, ExtractIconPair, ReserveIconPair,
//   ExtractPendingIcons, ExtractNextPendingIcon, DropIconPair, RowImageIndex, RepointRows,
//   RedrawRowsShowing, ShowAll, ShowAllBeforeFirstPaint, RefillRows, OnGetRowInfo,
//   FindRowByName, ClearAll, OnClear, OnSearchChanged, PreTranslateSearchKey, RunSelected,
//   RunRow.
// - entry_commands.cpp: the commands that change an entry, each ending in WriteListFile:
//   OnAdd, OnBuiltIn, OnDelete, OnProperties, AddEntry, DeleteEntry, EditEntry,
//   OnRowCheckChanged; the rows' boxes: RowChecked, WantRowChecked, OnBoxClicked, OnBoxKey,
//   ApplyWantedBox; and the rows they touch: InsertRow, SetRowTexts, SetRowImage, FindRowOf.
// - list_file_commands.cpp: WriteListFile, ReadListFile, OnSaveList, OnLoadList,
//   MergeListFile, OnMergeList.
// - settings_commands.cpp: LoadSettings (tarnwick.ini), OnShowTray, OnAutoRun.
// - switch_commands.cpp: the switches of a second start: OnSwitch, OnCopyData.
// - hotkey_state_display.cpp: which bindings work and why not: EntryOfRow, RowEntry,
//   RowHotKeyState, RowLaunchError, OnListCustomDraw, OnHotKeyStatesChanged,
//   RegisterAfterFirstPaint, RegisterDueHotKeys, UpdateRetryTimer, RetryRefused, StateTool,
//   CreateStateTip, RelayListMouse, OnListHover, OnLaunchFailed.
// - this header: RunDialog.
// The hotkey state itself (m_entries, m_bHotKeysOn, EnableAllHotKeys, PreTranslateHotKey,
// LaunchAndRecord, ...) is the base CHotKeyEngine's, in engine/hotkey_engine.cpp. The tray
// icon is a CTrayIcon (panel/tray_icon.cpp); start-up's list read ahead a ListReadAhead
// (panel/list_read_ahead.cpp); the list view a CListCtrlFile
// (panel/list_ctrl_file.cpp), which hands its mouse messages to RelayListMouse and a
// dropped file to RunDialog and AddEntry.
//
// How each kind of message reaches the panel, all on the one thread, through the modal
// loop of CDialog::DoModal (ui/dialog.cpp):
// - hotkeys: the system posts WM_HOTKEY; the loop offers it to PreTranslateMessage before
//   dispatching it (also while one of the panel's own dialogs runs its loop), which hands
//   it to CHotKeyEngine::PreTranslateHotKey.
// - buttons and menu items (the panel's, the list's and the tray icon's menus): WM_COMMAND,
//   to OnCommand.
// - list notices (right click, double click, custom draw, a changed check box): WM_NOTIFY
//   from the list view, to OnNotify.
// - tray callbacks (kTrayCallbackMessage), timers (WM_TIMER: the visibility timer,
//   kRetryTimerId, kIconTimerId, kRegistrationTimerId, CTrayIcon::kBalloonTimerId), posted messages
//   (kRowCheckChanged, kRunStartSwitch, kBoxKeyPressed), a second start's switch (WM_COPYDATA), the
//   session, power and shutdown notices and the shell's "TaskbarCreated": everything else,
//   to OnMessage. A move to a monitor of another DPI comes as OnDpiChanged.

#include "engine/command_switch.h"
#include "engine/hotkey_engine.h"
#include "panel/list_ctrl_file.h"
#include "panel/list_read_ahead.h"
#include "panel/tray_icon.h"
#include "platform/win32/session_events.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The caption a second copy looks for; the dialog template carries the same text.
extern const char kPanelCaption[];

// How a row shows a binding the system refused, and one switched off with all the others.
constexpr COLORREF kRefusedRowText = RGB(176, 0, 0);
constexpr COLORREF kRefusedRowBack = RGB(255, 214, 214);

// How often refused combinations are asked for again while there are any.
constexpr UINT kRefusedRetryPeriodMs = 30000;
// The retry timer's id; the one-shot visibility timer is 100, the tray icon's 102.
constexpr UINT_PTR kRetryTimerId = 101;
// The timer that puts a read list's icons in once the panel shows its rows, and how long
// one turn of it may work before the panel answers the user again.
constexpr UINT_PTR kIconTimerId = 103;
constexpr DWORD kIconSliceMs = 12;
// The timer that registers the hotkeys of the list read at start-up, once the panel has
// painted its rows (see RegisterAfterFirstPaint).
constexpr UINT_PTR kRegistrationTimerId = 104;
// Posted when a row's check box changed (lParam names the entry): the box may run a refusal
// message, which must not run inside the list's own notification.
constexpr UINT kRowCheckChanged = WM_APP + 20;
// Posted at the end of start-up when this start was given a list to load or merge.
constexpr UINT kRunStartSwitch = WM_APP + 21;
// Posted when Space was pressed in the list: the boxes of the rows it was pressed on turn
// over, once the list itself is done with the key.
constexpr UINT kBoxKeyPressed = WM_APP + 22;
// The WM_COPYDATA kind a second start hands its switch in ("TWSW"), as UTF-16 text.
constexpr ULONG_PTR kSwitchCopyDataId = 0x54575357;

class CTarnwickDlg : public CDialog, public CHotKeyEngine {
public:
    CTarnwickDlg(tw::ISystem& system, int& allowShutdown);
    ~CTarnwickDlg() override;

    // Every message the modal loop fetches for the panel, before dispatch: the way in of
    // WM_HOTKEY, handed on to PreTranslateHotKey (the hotkey engine) and then to the
    // dialog's keyboard navigation.
    BOOL PreTranslateMessage(MSG* msg) override;

    // Settings file and start-with-Windows.
    bool LoadSettings();
    void OnShowTray();
    void OnAutoRun();

    // Hotkey list files.
    bool WriteListFile(const std::string& path);
    bool ReadListFile(const std::string& path);
    void OnSaveList();
    void OnLoadList();
    // Appends the entries of another list file (see MergeEntries) and rewrites the current
    // list file once; one summary at the end. False, changing nothing, when the file
    // cannot be read as a list.
    bool MergeListFile(const std::string& path);
    void OnMergeList();

    // A switch of a second start: its exit code (kSwitchDone, kSwitchRefused when the
    // file does not read as a list or a dialog of the panel is open, kSwitchUnknown).
    int OnSwitch(const CommandSwitch& command);
    // WM_COPYDATA: true when it held a switch; `result` is then its exit code.
    bool OnCopyData(const COPYDATASTRUCT* data, LRESULT* result);
    // A list this start itself was given to load or merge, done once the panel shows.
    CommandSwitch m_startSwitch;
    // The list file start-up reads, read while the panel window is made; ReadListFile
    // takes it.
    ListReadAhead m_readAhead;

    // The list display.
    // Extracts icons a read list still waits for, for up to budgetMs (INFINITE: all).
    void ExtractPendingIcons(DWORD budgetMs);
    bool InsertColumns();
    bool ShowAll();
    bool ClearAll();
    void RunSelected();
    // Starts what a row shows, as Run does for the marked row.
    void RunRow(int row);

    // The entry commands; each rewrites the current list file after a change.
    bool AddEntry(const HotKeyEntry& entry);
    // False when the row shows no entry.
    bool DeleteEntry(int row);
    bool EditEntry(int row);

    // A message box owned by the panel, through the system seam.
    int Message(const std::string& text, const std::string& caption, unsigned flags);

    // Where the binding a row shows stands with the system; None when it shows no entry.
    HotKeyState RowHotKeyState(int row) const;
    // Why the last launch of the row's entry failed; empty while it works.
    std::string RowLaunchError(int row) const;
    // The entry a row shows; null when there is none.
    const HotKeyEntry* RowEntry(int row) const;
    // A row's check box was changed: its binding is switched on or off to match, and the
    // current list file is rewritten. Nothing happens when they match already.
    void OnRowCheckChanged(int row);
    // What a row's check box shows: its entry's state, or the one a click just asked for.
    bool RowChecked(int row) const;
    // A row's check box was turned (a click, Space, or a program setting the row's state
    // image, as accessibility and test tools do): `checked` is what it is to show from now
    // on; the entry follows through kRowCheckChanged.
    void WantRowChecked(int row, bool checked);
    // The list view's custom-draw step: refused rows in the warning colours, switched-off
    // rows greyed. Returns the answer for the list view.
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw);
    // The pointer moved over the list (client coordinates): the tip over a refused row,
    // or one whose launch failed, says why it does not work.
    void OnListHover(int x, int y);
    // A mouse message of the list, handed on to the tip. The list passes them itself: a
    // tip that subclassed the list would sit in the way of every message the list gets,
    // and a fill of thousands of rows sends it tens of thousands.
    void RelayListMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    // The tooltip window of the refused rows.
    HWND m_hStateTip = nullptr;

    // Runs one of the editing dialogs the entry commands open (the program entry, built-in
    // action and icon picker dialogs) and returns its end code. Tests answer it instead
    // of a person: they fill the dialog's result fields and return IDOK or IDCANCEL.
    virtual INT_PTR RunDialog(CDialog& dialog) { return dialog.DoModal(); }

    bool m_bShowTray = false;
    bool m_bAutoRun = false;
    std::string m_strListFile;
    CTrayIcon m_TrayIcon;
    CImageList m_ImageLarge;
    CImageList m_ImageSmall;
    CButton m_btnHotKeysOff;
    CButton m_btnHotKeysOn;
    CListCtrlFile m_List;
    HICON m_hIcon;
    // What the shell broadcasts when its taskbar was created anew.
    const UINT m_uTaskbarCreated;
    // What the search box holds: the list shows only the entries it matches
    // (EntryMatches). Never changes an entry, the file or a registration.
    std::string m_strFilter;

    // The period of the retry timer; tests shorten it.
    UINT m_nRetryPeriodMs = kRefusedRetryPeriodMs;
    // True while the retry timer runs: exactly while some combination is refused.
    bool m_bRetryTimerOn = false;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int code) override;
    // WM_NOTIFY: the list view's notices (menus, clicks, custom draw, the rows' contents,
    // a check box clicked or keyed, which is posted on as kRowCheckChanged).
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    // Every other message: the tray callback, the timers, kRowCheckChanged, the session,
    // power and shutdown notices and the shell's "TaskbarCreated".
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnHotKeyStatesChanged() override;
    // A hotkey press tells in a balloon from the tray icon (a hidden icon comes for it),
    // never in a modal box that would stand behind the user's window; the panel's
    // commands in a box it owns.
    void OnLaunchFailed(const HotKeyEntry& entry, bool byHotKey) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

private:
    // Start-up's EnableAllHotKeys, once the panel has painted its rows: registering
    // hundreds of combinations takes about as long as painting them. RegisterDueHotKeys
    // does it, before anything else the panel is asked to do: every message the loop
    // fetches but a paint, a second start's switch and the registration timer call it
    // first. Until then the rows and the two hotkey buttons show what it will leave,
    // except for the rows it refuses.
    void RegisterAfterFirstPaint();
    void RegisterDueHotKeys();
    bool m_bRegistrationDue = false;
    // While RegisterDueHotKeys runs: the rows were drawn as registered, so only a refusal
    // changes how one looks.
    bool m_bRowsDrawnRegistered = false;

    void CreateStateTip();
    // Starts the retry timer when something is refused and stops it when nothing is, so an
    // idle program with every binding working never wakes up.
    void UpdateRetryTimer(int refused);
    // A retry now (unlock, resume, the timer), when anything waits for one.
    void RetryRefused();
    TOOLINFOW StateTool() const;
    void CreateImageLists();
    // The image lists anew at the icon sizes of the current DPI, every pair at its index.
    void RemakeImageLists();
    // The image pair that shows icon index of file, in both image lists; -1 when the file
    // gives no icon. A pair may be shared by every row showing the same icon, and is never
    // changed afterwards: a row that needs another icon asks for another pair.
    int AppendIconPair(const std::string& file, int index);
    int ExtractIconPair(const std::string& file, int index);
    // The same for a list being read, without the wait: a blank pair now, the icon put in
    // by the icon timer once the panel shows the rows.
    int ReserveIconPair(const std::string& file, int index);
    void ExtractNextPendingIcon();
    // The pair at `image` is given up (its file gave no icon): its rows show none, and the
    // last pair moves into its place, so the lists hold no pair that nothing shows.
    void DropIconPair(int image);
    // The image index a row shows; I_IMAGENONE for none.
    int RowImageIndex(int row) const;
    // Every row and entry that shows pair `from` shows `to` instead (-1: none).
    void RepointRows(int from, int to);
    // Repaints the rows on screen that show pair `image`.
    void RedrawRowsShowing(int image);
    // ShowAll at start-up, on a list that has never been painted: its layout is worked out
    // unseen, and the first paint draws its scroll bars once.
    void ShowAllBeforeFirstPaint();
    void OnClear();
    void OnSearchChanged();
    // Ctrl+F goes to the search box; Esc there empties it. True when the key was taken.
    bool PreTranslateSearchKey(const MSG* msg);
    void TrackMenu(int position);
    void SetViewMode(DWORD view);
    void OnAbout();
    void OnHelp();
    bool PaintMinimized();
    void OnAdd();
    void OnBuiltIn();
    void OnDelete();
    void OnProperties();
    // Repaints a row after its entry's texts changed; the list asks for them anew.
    void SetRowTexts(int row, const HotKeyEntry& entry);
    // A new row showing an entry's name, image and check box; `entry` is the element of
    // the entry list the row stands for from now on.
    void InsertRow(int row, EntryList::iterator entry, int image);
    // Points a row at an image pair; -1 shows none.
    void SetRowImage(int row, int image);
    int FindRowOf(const HotKeyEntry& entry) const;
    // The entry a row shows; end() for no row. Two rows of equal texts each have their own.
    EntryList::iterator EntryOfRow(int row);
    EntryList::const_iterator EntryOfRow(int row) const;
    // The shown rows anew from the entry list and the search box, the selection kept on
    // the entry it was on while that is still shown.
    void RefillRows(bool keepPlace);
    // The list asks what a row shows: its texts, picture and check box.
    void OnGetRowInfo(NMLVDISPINFOW* info) const;
    // Typing in the list goes to the next row whose name begins with what was typed.
    int FindRowByName(const NMLVFINDITEMW* find) const;
    // A click or double click on a row's box; Space on the selected rows.
    void OnBoxClicked(const NMITEMACTIVATE* click);
    void OnBoxKey();
    // Switches the entry at `entry` to what its box asked for, if it is still listed.
    void ApplyWantedBox(const HotKeyEntry* entry);

    // The rows the list shows, in order: the entries the search box matches, and those
    // added since it last changed. The list holds no rows of its own (LVS_OWNERDATA):
    // it asks for each row's contents when it draws it.
    struct ShownRow {
        EntryList::iterator entry;
        int image; // the image pair, -1 for none
    };
    std::vector<ShownRow> m_rows;
    // A box clicked that its entry does not follow yet: the state it is to take.
    std::map<const HotKeyEntry*, bool> m_wantedBoxes;
    // The row box the mouse button was last pressed on, and whether that press has turned
    // it yet: one press turns it once, whatever notices it brings.
    const HotKeyEntry* m_pressedBox = nullptr;
    bool m_bPressedBoxTurned = false;
    // Space: the rows it was pressed on and what their boxes showed, to turn each once
    // even where the list turns the focused one itself.
    std::vector<std::pair<const HotKeyEntry*, bool>> m_keyedBoxes;

    // The image pair each entry shows, in entry order; -1 for none.
    std::vector<int> m_entryImages;
    // The row the state tip was last set for; -2 when it must be worked out anew.
    int m_nTipRow = -2;
    // The pair of each icon already in the image lists; lives and dies with the lists.
    std::map<std::pair<std::string, int>, int> m_iconPairs;
    // The reserved pairs still to be extracted, in the order the list named them.
    std::deque<std::pair<std::string, int>> m_pendingIcons;
    // Tells the panel when the session is unlocked: a combination held by a program of
    // the locked session's other user, or by the lock screen, may be free again.
    SessionEvents m_sessionEvents;
};
