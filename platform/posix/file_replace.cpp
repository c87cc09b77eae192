#include "platform/file_replace.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool PathExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::FILE* OpenForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

std::FILE* CreateNewFile(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

bool CommitFile(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool IsWritableTarget(const std::string& target) {
    if (target.empty()) return false;
    struct stat st;
    if (stat(target.c_str(), &st) != 0)
        return errno == ENOENT; // a new file; whether its folder exists shows on creation
    if (!S_ISREG(st.st_mode)) return false;
    // The mode bits, not access(): as root access() grants writing to every file, and a
    // file its owner made read-only must stay untouched whoever runs the program.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

static std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    // As many hops as the system itself follows before it calls a chain a loop.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t got = readlink(current.c_str(), &link[0], link.size());
        if (got <= 0 || static_cast<size_t>(got) >= link.size()) return path;
        link.resize(static_cast<size_t>(got));
        // A relative link is relative to the folder the link lies in.
        if (link[0] != '/' && current.find('/') != std::string::npos)
            link = current.substr(0, current.rfind('/') + 1) + link;
        current = link;
    }
    return path;
}

bool ReplaceFileWith(const std::string& tempPath, const std::string& target) {
    // The new file keeps the owner and the permissions the user gave the old one (the
    // owner only where the system lets us; the owner before the mode, as a change of owner
    // may clear set-id bits).
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        if (st.st_nlink > 1) return false; // the other names would keep the old content
        if (chown(tempPath.c_str(), st.st_uid, st.st_gid) != 0) {
            // Not ours to give away: the file stays the saver's, with the old mode.
        }
        chmod(tempPath.c_str(), st.st_mode & 07777);
    }
    const std::string folder = FolderOf(target); // nothing left to fail once it is done
    if (rename(tempPath.c_str(), target.c_str()) != 0) return false;
    // Make the new directory entry itself survive a power cut; the data already does.
    int dir = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

namespace {

bool WriteAllAt(int fd, const char* data, size_t size, off_t offset) {
    while (size > 0) {
        ssize_t done = pwrite(fd, data, size, offset);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        size -= static_cast<size_t>(done);
        offset += done;
    }
    return true;
}

bool CopyInto(int from, int to, off_t size) {
    char buffer[64 * 1024];
    off_t offset = 0;
    while (offset < size) {
        ssize_t got = pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        if (!WriteAllAt(to, buffer, static_cast<size_t>(got), offset)) return false;
        offset += got;
    }
    return true;
}

} // namespace

Overwrite OverwriteFileWith(const std::string& tempPath, const std::string& target) {
    int from = open(tempPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return Overwrite::Untouched;
    int to = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat source, old;
    bool ok = to >= 0 && fstat(from, &source) == 0 && fstat(to, &old) == 0 && S_ISREG(old.st_mode);
    Overwrite result = ok ? Overwrite::Partly : Overwrite::Untouched;
    if (ok && source.st_size > old.st_size) {
        // Room for every new byte before the first old one goes; file systems that cannot
        // reserve space say so, and then a short write shows the shortage instead.
        int reserved = posix_fallocate(to, 0, source.st_size);
        if (reserved != 0 && reserved != EINVAL && reserved != EOPNOTSUPP) {
            // The old bytes are untouched; only its length could have grown.
            if (ftruncate(to, old.st_size) == 0) result = Overwrite::Untouched;
            ok = false;
        }
    }
    // The length before the bytes: no old line stays behind the new end.
    if (ok && source.st_size != old.st_size && ftruncate(to, source.st_size) != 0) {
        result = Overwrite::Untouched;
        ok = false;
    }
    ok = ok && CopyInto(from, to, source.st_size) && fsync(to) == 0;
    if (to >= 0) close(to);
    close(from);
    return ok ? Overwrite::Done : result;
}

bool RenameToFreeName(const std::string& from, const std::string& to) {
    // A second name that must be new, then the first one goes: never over a file.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

std::vector<std::string> NameTailsAfter(const std::string& prefix) {
    std::vector<std::string> tails;
    const std::string::size_type slash = prefix.rfind('/');
    const std::string name = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    const std::string folder = FolderOf(prefix);
    if (name.empty()) return tails;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return tails;
    while (const dirent* item = readdir(dir)) {
        const std::string entry = item->d_name;
        if (entry.size() <= name.size() || entry.compare(0, name.size(), name) != 0) continue;
        struct stat st;
        if (lstat((folder + "/" + entry).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        tails.push_back(entry.substr(name.size()));
    }
    closedir(dir);
    return tails;
}

long long SecondsSinceWritten(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return -1;
    const long long age = static_cast<long long>(std::time(nullptr)) - st.st_mtime;
    return age > 0 ? age : 0;
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}
