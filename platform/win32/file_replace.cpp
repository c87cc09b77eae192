#include "platform/file_replace.h"

#include <windows.h>

#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::FILE* CreateNewFile(const std::string& path) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

bool CommitFile(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool IsWritableTarget(const std::string& target) {
    if (target.empty()) return false;
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true; // a new file; whether its folder exists shows on creation
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The attributes a saved file keeps; the others describe the content or the folder.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The folder part of a path and the name after it; a trail byte of the code page may look
// like a backslash, so the scan steps over double-byte characters whole.
size_t NameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(c) && i + 1 < path.size())
            ++i;
        else if (c == '\\' || c == '/' || c == ':')
            start = i + 1;
    }
    return start;
}

// True while another program holds the file open without letting it be deleted: replacing
// it must fail then, and some implementations of the replace leave a stray file behind when
// it does.
bool DeleteRefused(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    // The call that names a file's final path exists from Windows Vista on.
    typedef DWORD(WINAPI * FinalPathName)(HANDLE, LPSTR, DWORD, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, "GetFinalPathNameByHandleA") : nullptr;
    if (!proc) return path;
    FinalPathName finalPathName = reinterpret_cast<FinalPathName>(reinterpret_cast<void*>(proc));

    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path;
    HANDLE h = CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return path;
    std::string resolved(MAX_PATH * 4, '\0');
    DWORD length = finalPathName(h, &resolved[0], static_cast<DWORD>(resolved.size()), 0);
    CloseHandle(h);
    if (length == 0 || length >= resolved.size()) return path;
    resolved.resize(length);
    // The answer carries the long-path prefix; a path that fits without it goes without,
    // as every other file call of the program passes plain paths.
    if (resolved.compare(0, 8, "\\\\?\\UNC\\") == 0)
        resolved = "\\\\" + resolved.substr(8);
    else if (resolved.compare(0, 4, "\\\\?\\") == 0 && length - 4 < MAX_PATH)
        resolved = resolved.substr(4);
    return resolved;
}

namespace {

// A scanner or a sync client that opened the fresh file lets go within moments; a few tries
// over half a second outlast it without keeping the user waiting long.
const int kReplaceTries = 5;
const DWORD kReplacePause = 100; // milliseconds

bool MoveInto(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

// Not every implementation of the replace keeps the attributes; set them again.
void KeepAttributes(const std::string& target, DWORD attributes) {
    const DWORD now = GetFileAttributesA(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kKeptAttributes) != (attributes & kKeptAttributes))
        SetFileAttributesA(target.c_str(), attributes & kKeptAttributes);
}

} // namespace

bool ReplaceFileWith(const std::string& tempPath, const std::string& target,
                     const std::string& backupPath) {
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return MoveInto(tempPath, target);
    if (DeleteRefused(target)) return false;
    const char* backup = backupPath.empty() ? nullptr : backupPath.c_str();
    for (int tried = 1;; ++tried) {
        // The replace call carries the old file's security and attributes over to the new
        // one.
        if (ReplaceFileA(target.c_str(), tempPath.c_str(), backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            break;
        // A replace that could not move the new file in may leave the old one under the
        // backup name only (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), or, without a backup name,
        // nowhere (ERROR_UNABLE_TO_MOVE_REPLACEMENT): the old file goes back, or if it
        // cannot, the new one takes the empty place, which makes the save done.
        if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (!(backup && MoveInto(backupPath, target)) && MoveInto(tempPath, target)) {
                KeepAttributes(target, attributes);
                return true;
            }
        } else if (backup) {
            DeleteFileA(backup); // a copy at most, with the old file in its place
        }
        if (tried == kReplaceTries) return false;
        Sleep(kReplacePause);
    }
    KeepAttributes(target, attributes);
    // A scanner that holds the old file keeps it a while; a later save clears it away.
    if (backup) DeleteFileA(backup);
    return true;
}

bool OverwriteFileWith(const std::string& tempPath, const std::string& target) {
    HANDLE from = CreateFileA(tempPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (from == INVALID_HANDLE_VALUE) return false;
    // Whoever holds the file open lets others read and write it; so do we.
    HANDLE to = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size, oldSize;
    bool ok =
        to != INVALID_HANDLE_VALUE && GetFileSizeEx(from, &size) && GetFileSizeEx(to, &oldSize);
    if (ok && size.QuadPart > oldSize.QuadPart) {
        // Room for every new byte before the first old one goes.
        if (!SetFilePointerEx(to, size, nullptr, FILE_BEGIN) || !SetEndOfFile(to)) {
            SetFilePointerEx(to, oldSize, nullptr, FILE_BEGIN);
            SetEndOfFile(to);
            ok = false;
        }
    }
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    ok = ok && SetFilePointerEx(to, zero, nullptr, FILE_BEGIN);
    char buffer[64 * 1024];
    for (LONGLONG left = size.QuadPart; ok && left > 0;) {
        DWORD got = 0, put = 0;
        ok = ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0 &&
             WriteFile(to, buffer, got, &put, nullptr) && put == got;
        left -= got;
    }
    ok = ok && SetFilePointerEx(to, size, nullptr, FILE_BEGIN) && SetEndOfFile(to) &&
         FlushFileBuffers(to);
    if (to != INVALID_HANDLE_VALUE) CloseHandle(to);
    CloseHandle(from);
    return ok;
}

std::vector<std::string> NameTailsAfter(const std::string& prefix) {
    std::vector<std::string> tails;
    const size_t nameStart = NameStart(prefix);
    const std::string folder = prefix.substr(0, nameStart);
    const std::string name = prefix.substr(nameStart);
    if (name.empty()) return tails;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return tails;
    do {
        const std::string entry = found.cFileName;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        // The pattern also matches short names; only the long name counts.
        if (entry.size() <= name.size() ||
            CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, entry.c_str(),
                           static_cast<int>(name.size()), name.c_str(),
                           static_cast<int>(name.size())) != CSTR_EQUAL)
            continue;
        tails.push_back(entry.substr(name.size()));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return tails;
}

long long SecondsSinceWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
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
    return DeleteFileA(path.c_str()) != 0;
}
