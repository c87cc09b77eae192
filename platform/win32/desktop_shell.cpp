#include "platform/win32/desktop_shell.h"

#include "platform/win32/system_library.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

// Releases a COM interface when it goes out of scope.
template <class T> struct ComRef {
    T* p = nullptr;
    ~ComRef() {
        if (p != nullptr) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// oleaut32's strings, loaded from the system folder when they are needed.
struct BStrings {
    using AllocFn = BSTR(WINAPI*)(const OLECHAR*);
    using FreeFn = void(WINAPI*)(BSTR);
    HMODULE module = LoadSystemLibrary(L"oleaut32.dll");
    AllocFn alloc = module ? reinterpret_cast<AllocFn>(reinterpret_cast<void*>(
                                 ::GetProcAddress(module, "SysAllocString")))
                           : nullptr;
    FreeFn free = module ? reinterpret_cast<FreeFn>(reinterpret_cast<void*>(
                               ::GetProcAddress(module, "SysFreeString")))
                         : nullptr;
    ~BStrings() {
        if (module != nullptr) ::FreeLibrary(module);
    }
};

// The desktop's shell view and, behind it, its shell object: the documented way to
// reach the shell that runs the desktop.
bool DesktopShell(IShellDispatch2** shell) {
    ComRef<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                  IID_IShellWindows, reinterpret_cast<void**>(&windows))))
        return false;
    VARIANT location = {};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT empty = {};
    long hwnd = 0;
    ComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                              &desktop) != S_OK ||
        desktop.p == nullptr)
        return false;
    ComRef<IServiceProvider> services;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))))
        return false;
    ComRef<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                      reinterpret_cast<void**>(&browser))))
        return false;
    ComRef<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(&view))) return false;
    ComRef<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                   reinterpret_cast<void**>(&background))))
        return false;
    ComRef<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(IID_IShellFolderViewDual,
                                          reinterpret_cast<void**>(&folderView))))
        return false;
    ComRef<IDispatch> application;
    if (FAILED(folderView->get_Application(&application))) return false;
    return SUCCEEDED(application->QueryInterface(IID_IShellDispatch2,
                                                 reinterpret_cast<void**>(shell)));
}

} // namespace

namespace {

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

// 1 elevated, 0 not, -1 when it cannot be told.
int Elevation(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return -1;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const BOOL ok =
        ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    ::CloseHandle(token);
    return ok ? (elevation.TokenIsElevated != 0 ? 1 : 0) : -1;
}

} // namespace

bool ElevatedAboveDesktopShell() {
    if (Elevation(::GetCurrentProcess()) != 1) return false;
    HWND shellWindow = ::GetShellWindow();
    DWORD shellId = 0;
    if (shellWindow == nullptr || ::GetWindowThreadProcessId(shellWindow, &shellId) == 0)
        return false;
    HANDLE shell = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellId);
    if (shell == nullptr) return false;
    const int shellElevation = Elevation(shell);
    ::CloseHandle(shell);
    return shellElevation == 0;
}

bool LaunchThroughDesktopShell(const std::wstring& file, const std::wstring& parameters,
                               const std::wstring& directory, int showCommand) {
    BStrings strings;
    if (strings.alloc == nullptr || strings.free == nullptr) return false;
    const HRESULT init = ::CoInitialize(nullptr);
    bool taken = false;
    {
        ComRef<IShellDispatch2> shell;
        if (DesktopShell(&shell)) {
            BSTR fileText = strings.alloc(file.c_str());
            BSTR argsText = strings.alloc(parameters.c_str());
            BSTR dirText = strings.alloc(directory.c_str());
            VARIANT args = {}, dir = {}, verb = {}, show = {};
            args.vt = VT_BSTR;
            args.bstrVal = argsText;
            dir.vt = VT_BSTR;
            dir.bstrVal = dirText;
            show.vt = VT_I4;
            show.lVal = showCommand;
            taken = fileText != nullptr && SUCCEEDED(shell->ShellExecute(fileText, args, dir, verb, show));
            strings.free(fileText);
            strings.free(argsText);
            strings.free(dirText);
        }
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return taken;
}
