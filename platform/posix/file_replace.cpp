#include "platform/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool PathExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
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

bool ReplaceFileWith(const std::string& tempPath, const std::string& target) {
    // The new file keeps the permissions the user gave the old one.
    struct stat st;
    if (stat(target.c_str(), &st) == 0) chmod(tempPath.c_str(), st.st_mode & 07777);
    if (rename(tempPath.c_str(), target.c_str()) != 0) return false;
    // Make the new directory entry itself survive a power cut; the data already does.
    int dir = open(FolderOf(target).c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}
