#pragma once
// The file-system steps a save needs to never leave a half-written file behind, which the
// C library does not offer alike everywhere: create a file that must not exist yet, push a
// file's bytes to the disk, and put a finished file in place of the old one in one step.
// Paths are code-page bytes.

#include <cstdio>
#include <string>
#include <vector>

// True when something (file, folder, anything) exists under path.
bool PathExists(const std::string& path);

// Opens path for binary writing, creating it; null when it already exists or cannot be
// created. Never truncates or follows into an existing file.
std::FILE* CreateNewFile(const std::string& path);

// Flushes the stream and asks the system to put its bytes on the disk; false on any error.
bool CommitFile(std::FILE* file);

// False when target may not be replaced: a folder, something that is not a plain file, or
// a file marked read-only. A target that does not exist yet may be created.
bool IsWritableTarget(const std::string& target);

// The file that path stands for: where a symbolic link (or a chain of them) finally points,
// so that saving through a link rewrites the linked file and keeps the link. path itself
// when it is no link or cannot be followed.
std::string ResolveLinks(const std::string& path);

// Puts the finished file tempPath in the place of target in one step, so a reader sees the
// old or the new content and never a mix. The new file keeps what the user gave the old
// one: its permissions, its attributes (hidden, system) and its security. Where the system
// moves the old file aside first, it goes to backupPath (a free name beside target, or
// empty for none) and is put back should the new one fail to follow; it is deleted once
// the new file is in place. A refusal is tried again for a moment, as a virus scanner or
// a sync client lets go of a fresh file quickly. False when the system still refuses, as
// it does while another program holds target open without letting it be deleted; target
// then holds the old content (unless the folder refuses every rename) and tempPath is
// whole.
bool ReplaceFileWith(const std::string& tempPath, const std::string& target,
                     const std::string& backupPath);

// Copies the finished file tempPath over the existing target in place, for a target that
// may be written but not replaced. The target is first grown to the new size, so a full
// disk shows before any old byte is overwritten. tempPath is left alone. False on any
// failure.
bool OverwriteFileWith(const std::string& tempPath, const std::string& target);

// What follows prefix's last name in the names of the plain files beside it that begin
// with that name (compared as the file system compares names); no folders, no links.
std::vector<std::string> NameTailsAfter(const std::string& prefix);

// Seconds since path was last written (0 for a time still to come); -1 when unknown.
long long SecondsSinceWritten(const std::string& path);

// Deletes a plain file; false when it stays.
bool RemoveFile(const std::string& path);
