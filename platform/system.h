#pragma once
// The one door from the portable code to the operating system. The Windows build
// implements it with the real calls (platform/win32/win32_system.h); tests use a
// recording fake. Nothing here includes <windows.h>: the constants below carry the
// Win32 values under names that cannot collide with its macros (each with the Win32
// name beside it, so a search for that name finds it here), and the member
// functions avoid the names that <windows.h> turns into macros (MessageBox,
// GetCurrentDirectory, ...).

#include "platform/window_show.h"

#include <string>
#include <vector>

namespace tw {

// An HWND, or null.
using WindowRef = void*;
// A process this program started and holds on to, so that its id cannot pass to another
// process meanwhile; null for none.
using ProcessRef = void*;
// A process token HANDLE, or null.
using TokenRef = void*;

// Message box styles and answers.
constexpr unsigned kMbOk = 0x00;              // MB_OK
constexpr unsigned kMbYesNo = 0x04;           // MB_YESNO
constexpr unsigned kMbIconError = 0x10;       // MB_ICONERROR
constexpr unsigned kMbIconQuestion = 0x20;    // MB_ICONQUESTION
constexpr unsigned kMbIconWarning = 0x30;     // MB_ICONWARNING
constexpr unsigned kMbIconInformation = 0x40; // MB_ICONINFORMATION
constexpr int kIdOk = 1;                      // IDOK
constexpr int kIdYes = 6;                     // IDYES
constexpr int kIdNo = 7;                      // IDNO

// Modifiers of a hotkey registration.
constexpr unsigned kModAlt = 0x1;     // MOD_ALT
constexpr unsigned kModControl = 0x2; // MOD_CONTROL
constexpr unsigned kModShift = 0x4;   // MOD_SHIFT
constexpr unsigned kModWin = 0x8;     // MOD_WIN

// Modifier flags of a hotkey control; a hotkey code carries them in its second byte.
constexpr int kHotKeyfShift = 0x1;   // HOTKEYF_SHIFT
constexpr int kHotKeyfControl = 0x2; // HOTKEYF_CONTROL
constexpr int kHotKeyfAlt = 0x4;     // HOTKEYF_ALT
constexpr int kHotKeyfExt = 0x8;     // HOTKEYF_EXT

// Virtual keys the program names itself.
constexpr unsigned kVkShift = 0x10;   // VK_SHIFT
constexpr unsigned kVkControl = 0x11; // VK_CONTROL
constexpr unsigned kVkMenu = 0x12;    // VK_MENU (Alt)
constexpr unsigned kVkEnd = 0x23;     // VK_END
constexpr unsigned kVkHome = 0x24;    // VK_HOME

// Window messages the portable code looks at.
constexpr unsigned kWmHotKey = 0x0312; // WM_HOTKEY

// What the system answers a launch: 0 when it started, otherwise a system error code. The
// ones the program explains in words of its own:
constexpr unsigned long kLaunchOk = 0;               // ERROR_SUCCESS
constexpr unsigned long kErrFileNotFound = 2;        // ERROR_FILE_NOT_FOUND
constexpr unsigned long kErrPathNotFound = 3;        // ERROR_PATH_NOT_FOUND
constexpr unsigned long kErrAccessDenied = 5;        // ERROR_ACCESS_DENIED
constexpr unsigned long kErrNotEnoughMemory = 8;     // ERROR_NOT_ENOUGH_MEMORY
constexpr unsigned long kErrBadFormat = 11;          // ERROR_BAD_FORMAT
constexpr unsigned long kErrSharingViolation = 32;   // ERROR_SHARING_VIOLATION
constexpr unsigned long kErrBadNetPath = 53;         // ERROR_BAD_NETPATH
constexpr unsigned long kErrInvalidName = 123;       // ERROR_INVALID_NAME
constexpr unsigned long kErrElevationRequired = 740; // ERROR_ELEVATION_REQUIRED
constexpr unsigned long kErrNoAssociation = 1155;    // ERROR_NO_ASSOCIATION
constexpr unsigned long kErrDdeFail = 1156;          // ERROR_DDE_FAIL
// ERROR_CANCELLED: the user declined the elevation prompt.
constexpr unsigned long kErrCancelled = 1223;

// One start through the shell. The texts go to the shell as they stand: expanding
// environment variables is the caller's business.
struct ShellLaunchRequest {
    std::string file;
    std::string parameters; // empty: none
    std::string directory;  // empty: the shell's default
    bool runAs = false;     // ask for elevation ("runas") instead of the default verb
    WindowShow show = WindowShow::Normal;
    // Started with the desktop user's normal rights though this process is elevated: the
    // desktop's shell starts it, and reports neither a failure nor the process. Where
    // there is no desktop shell, or the file or folder named with its folder does not
    // exist, the start goes on as without it.
    bool asDesktopUser = false;
    // When set, receives the process the launch started, which the caller releases with
    // ReleaseProcess; null when the shell started none (the file went to a running one).
    ProcessRef* started = nullptr;
};

// A program found running: whether it runs, and its windows a person can bring back
// (visible, top-level, owned by no other), front-most first.
struct RunningProgram {
    bool running = false;
    std::vector<WindowRef> windows;
};

enum class RegRoot { LocalMachine, CurrentUser };
enum class RegWriteResult { Ok, CannotCreateKey, CannotSetValue };

class ISystem {
public:
    virtual ~ISystem() = default;

    // Global hotkeys, owned by `window`.
    virtual bool RegisterHotKey(WindowRef window, int id, unsigned modifiers, unsigned vk) = 0;
    virtual bool UnregisterHotKey(WindowRef window, int id) = 0;

    // The keyboard layout's name of a virtual key, of any length; empty when it has none.
    virtual std::string KeyName(unsigned vk, bool extended) = 0;

    virtual void ShowWindow(WindowRef window, bool show) = 0;
    virtual void EnableWindow(WindowRef window, bool enable) = 0;

    // Modal message box; `owner` may be null. Returns the button pressed (kIdOk, ...).
    virtual int ShowMessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                               unsigned flags) = 0;

    // Opens `file` through the shell with the default verb, shown normally, in `directory`
    // (empty passes an empty directory). Failures are not reported.
    virtual void ShellOpen(const std::string& file, const std::string& directory) = 0;

    // Starts request.file shown normally, never with the shell's own error boxes, and
    // answers kLaunchOk or the error the shell reports.
    virtual unsigned long ShellLaunch(const ShellLaunchRequest& request) = 0;

    // `text` with every %NAME% of a defined environment variable replaced by its value;
    // undefined names stay as they are.
    virtual std::string ExpandEnvironment(const std::string& text) = 0;
    // Takes the user's and the system's variables as a new log-on would see them; silent.
    virtual void RefreshEnvironment() = 0;

    // Lets whatever this process starts next take the foreground, which a hotkey press
    // gave to this process; without it a started program opens behind the user's window.
    virtual void AllowLaunchedForeground() = 0;

    // A multimedia command string without a reply buffer; the result is ignored.
    virtual void SendMciCommand(const std::string& command) = 0;

    // The shutdown steps. OpenProcessToken returns null when the token cannot be opened;
    // EnableShutdownPrivilege is false when the system reports any error right after
    // adjusting (always for a null token); CloseToken accepts null.
    virtual TokenRef OpenProcessToken() = 0;
    virtual bool EnableShutdownPrivilege(TokenRef token) = 0;
    virtual void CloseToken(TokenRef token) = 0;
    virtual bool RequestPowerOff() = 0;

    virtual std::string GetCurrentDir() = 0;
    virtual bool SetCurrentDir(const std::string& directory) = 0;

    // Creates `subkey` under `root` when missing and writes `data` as a REG_SZ value.
    virtual RegWriteResult WriteRegString(RegRoot root, const std::string& subkey,
                                          const std::string& name, const std::string& data) = 0;
    // False when the value does not exist or cannot be read; `data` is its text otherwise.
    virtual bool ReadRegString(RegRoot root, const std::string& subkey, const std::string& name,
                               std::string& data) = 0;

    // True when the file `path` names lies inside Program Files or the Windows folder,
    // which ordinary users cannot write to: only such a program may be started at every
    // user's log-on. Relative paths, "..", short names and case are resolved as the system
    // resolves them; a path that cannot be resolved is not inside.
    virtual bool IsInSystemFolder(const std::string& path) = 0;

    // Milliseconds since the system started; wraps around after 2^32.
    virtual unsigned long TickCountMs() = 0;

    // Programs already running, for a binding that brings its program back (in
    // win32_system_programs.cpp). A started process as it is now; the processes whose
    // executable is the file `path` (a full path, matched without regard to case);
    // windows brought to the front (restored first when minimised) or minimised.
    virtual RunningProgram StartedProcess(ProcessRef process) = 0;
    virtual void ReleaseProcess(ProcessRef process) = 0;
    virtual RunningProgram ProgramByPath(const std::string& path) = 0;
    virtual WindowRef ForegroundWindow() = 0;
    // True when this process runs with administrator rights the desktop user's programs
    // (those the desktop's shell starts) do not have.
    virtual bool IsElevated() = 0;
    virtual bool IsMinimized(WindowRef window) = 0;
    virtual void BringToFront(WindowRef window) = 0;
    virtual void Minimize(WindowRef window) = 0;
};

} // namespace tw
