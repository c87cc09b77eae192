#include "platform/file_replace.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Below this length every file call takes a path as it is; the margin is the one folder
// calls keep for a short name. From there on only the long form works.
const size_t kPlainPathLimit = MAX_PATH - 12;

// The path as the W functions take it. The long form "\\?\C:\..." ("\\?\UNC\server\...")
// goes to the file system as it stands, so it is made from the full path, in which the
// system has already settled the current folder, "." and ".." and forward slashes: the
// same file as the plain path names.
std::wstring SystemPath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (wide.compare(0, 4, L"\\\\?\\") == 0 || wide.compare(0, 4, L"\\\\.\\") == 0) return wide;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size < kPlainPathLimit) return wide; // also a path the system cannot resolve
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace

bool PathExists(const std::string& path) {
    return GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

std::FILE* StreamOf(HANDLE h, int flags, const char* mode) {
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (!file) _close(fd);
    return file;
}

} // namespace

// Unlike the C library's open, which refuses to share deletion, the reader lets a save of
// another copy of the program rename its new file over this one meanwhile: the save need
// not fall back to writing in place, which a reader could catch halfway.
std::FILE* OpenForReading(const std::string& path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    return StreamOf(CreateFileW(SystemPath(path).c_str(), GENERIC_READ, share, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr),
                    _O_RDONLY, "rb");
}

std::FILE* CreateNewFile(const std::string& path) {
    return StreamOf(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr),
                    _O_WRONLY, "wb");
}

bool CommitFile(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool IsWritableTarget(const std::string& target) {
    if (target.empty()) return false;
    DWORD attributes = GetFileAttributesW(SystemPath(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true; // a new file; whether its folder exists shows on creation
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

namespace {

// The attributes a saved file keeps; the others describe the content or the folder. The
// archive flag is not kept but set: the content is new.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

size_t NameStart(const std::string& path) {
    const size_t last = path.find_last_of("\\/:");
    return last == std::string::npos ? 0 : last + 1;
}

// True while another program holds the file open without letting it be deleted: a rename
// over it must fail then, and it would only after every try.
bool DeleteRefused(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

// How many names the file has; 1 when that cannot be told, and the rename then shows what
// the system allows.
DWORD LinkCount(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return known ? info.nNumberOfLinks : 1;
}

// The old file's owner, group and access list onto the new one; the owner only where the
// system lets us give the file away. False when the access list cannot be carried over:
// the new file would have the folder's, which may let in whom the user kept out.
bool CarrySecurity(const std::wstring& from, const std::wstring& to) {
    const SECURITY_INFORMATION all =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    GetFileSecurityW(from.c_str(), all, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::vector<BYTE> descriptor(needed);
    if (!GetFileSecurityW(from.c_str(), all, descriptor.data(), needed, &needed)) return false;
    return SetFileSecurityW(to.c_str(), all, descriptor.data()) ||
           SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

void MarkChanged(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_ARCHIVE))
        SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_ARCHIVE);
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    // The call that names a file's final path exists from Windows Vista on.
    typedef DWORD(WINAPI * FinalPathName)(HANDLE, LPWSTR, DWORD, DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, "GetFinalPathNameByHandleW") : nullptr;
    if (!proc) return path;
    FinalPathName finalPathName = reinterpret_cast<FinalPathName>(reinterpret_cast<void*>(proc));

    const std::wstring wide = SystemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path;
    HANDLE h = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return path;
    const DWORD size = finalPathName(h, nullptr, 0, 0);
    std::wstring resolved(size, L'\0');
    const DWORD length = size ? finalPathName(h, &resolved[0], size, 0) : 0;
    CloseHandle(h);
    if (length == 0 || length >= size) return path;
    resolved.resize(length);
    // The answer comes in the long form; a path that fits without it goes without.
    if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0 && length - 6 < kPlainPathLimit)
        resolved = L"\\\\" + resolved.substr(8);
    else if (resolved.compare(0, 4, L"\\\\?\\") == 0 && length - 4 < kPlainPathLimit)
        resolved = resolved.substr(4);
    return Narrow(resolved);
}

namespace {

// A scanner or a sync client that opened the fresh file lets go within moments; a few tries
// over half a second outlast it without keeping the user waiting long.
const int kReplaceTries = 5;
const DWORD kReplacePause = 100; // milliseconds

} // namespace

bool ReplaceFileWith(const std::string& tempPath, const std::string& target) {
    const std::wstring from = SystemPath(tempPath);
    const std::wstring to = SystemPath(target);
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (LinkCount(to) > 1 || DeleteRefused(to) || !CarrySecurity(to, from)) return false;
    SetFileAttributesW(from.c_str(), (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
    for (int tried = 1;; ++tried) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (tried == kReplaceTries) return false;
        Sleep(kReplacePause);
    }
}

namespace {

bool SetLength(HANDLE h, LARGE_INTEGER length) {
    return SetFilePointerEx(h, length, nullptr, FILE_BEGIN) && SetEndOfFile(h);
}

} // namespace

Overwrite OverwriteFileWith(const std::string& tempPath, const std::string& target) {
    const std::wstring to = SystemPath(target);
    // Whoever holds the file open lets others read and write it; so do we.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE from = CreateFileW(SystemPath(tempPath).c_str(), GENERIC_READ, share, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (from == INVALID_HANDLE_VALUE) return Overwrite::Untouched;
    HANDLE dest = CreateFileW(to.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size, oldSize;
    Overwrite result =
        dest != INVALID_HANDLE_VALUE && GetFileSizeEx(from, &size) && GetFileSizeEx(dest, &oldSize)
            ? Overwrite::Partly
            : Overwrite::Untouched;
    bool ok = result == Overwrite::Partly;
    // A longer file gets room for every new byte, a shorter one loses its tail, before the
    // first old byte goes: the old lines can neither be cut halfway by a full disk nor stay
    // behind the new end when the cut is refused.
    if (ok && size.QuadPart != oldSize.QuadPart && !SetLength(dest, size)) {
        if (SetLength(dest, oldSize)) result = Overwrite::Untouched;
        ok = false;
    }
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    ok = ok && SetFilePointerEx(dest, zero, nullptr, FILE_BEGIN);
    char buffer[64 * 1024];
    for (LONGLONG left = size.QuadPart; ok && left > 0;) {
        DWORD got = 0, put = 0;
        ok = ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0 &&
             WriteFile(dest, buffer, got, &put, nullptr) && put == got;
        left -= got;
    }
    ok = ok && FlushFileBuffers(dest);
    if (dest != INVALID_HANDLE_VALUE) CloseHandle(dest);
    CloseHandle(from);
    if (!ok) return result;
    MarkChanged(to);
    return Overwrite::Done;
}

bool RenameToFreeName(const std::string& from, const std::string& to) {
    return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_WRITE_THROUGH) !=
           0;
}

std::vector<std::string> NameTailsAfter(const std::string& prefix) {
    std::vector<std::string> tails;
    const std::wstring name = Widen(prefix.substr(NameStart(prefix)));
    if (name.empty()) return tails;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(SystemPath(prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return tails;
    do {
        const std::wstring entry = found.cFileName;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        // The pattern also matches short names; only the long name counts.
        const int length = static_cast<int>(name.size());
        if (entry.size() <= name.size() ||
            CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, entry.c_str(), length,
                           name.c_str(), length) != CSTR_EQUAL)
            continue;
        tails.push_back(Narrow(entry.substr(name.size())));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return tails;
}

long long SecondsSinceWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER written, current;
    written.LowPart = data.ftLastWriteTime.dwLowDateTime;
    written.HighPart = data.ftLastWriteTime.dwHighDateTime;
    current.LowPart = now.dwLowDateTime;
    current.HighPart = now.dwHighDateTime;
    if (current.QuadPart <= written.QuadPart) return 0;
    return static_cast<long long>((current.QuadPart - written.QuadPart) / 10000000u);
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(SystemPath(path).c_str()) != 0;
}
