#pragma once
// The file-system steps a save needs to never leave a half-written file behind, which the
// C library does not offer alike everywhere: create a file that must not exist yet, push a
// file's bytes to the disk, and put a finished file in place of the old one in one step.
// Paths are code-page bytes.

#include <cstdio>
#include <string>

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

// Puts the finished file tempPath in the place of target in one step, so a reader sees the
// old or the new content and never a mix. False when the system refuses; both files then
// stay as they were.
bool ReplaceFileWith(const std::string& tempPath, const std::string& target);
