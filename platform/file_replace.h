#pragma once
// The file-system steps a save needs to never leave a half-written file behind, which the
// C library does not offer alike everywhere: create a file that must not exist yet, push a
// file's bytes to the disk, and put a finished file in place of the old one in one step.
// Paths are UTF-8, whatever characters they hold. On Windows a path may be as long as the
// file system allows (about 32,767 characters), not only MAX_PATH: it is handed to the
// system in its long form where it needs it.

#include <cstdio>
#include <string>
#include <vector>

// True when something (file, folder, anything) exists under path.
bool PathExists(const std::string& path);

// Opens path for binary reading; null when it cannot be opened.
std::FILE* OpenForReading(const std::string& path);

// Opens path for binary writing, creating it; null when it already exists or cannot be
// created. Never truncates or follows into an existing file, so the name is reserved for
// the caller alone, whoever else looks for a free one at the same moment.
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

// Puts the finished file tempPath in the place of target by one rename over it: the name
// holds the old content or the new, never a mix and never nothing. The new file first takes
// what the user gave the old one: its permissions, its attributes (hidden, system) and its
// security; being new content, it carries the archive flag. A refusal is tried again for a
// moment, as a virus scanner or a sync client lets go of a fresh file quickly. False, with
// target as it was and tempPath whole, when the system still refuses (as it does while
// another program holds target open without letting it be deleted), when the old security
// cannot be carried over, or when target has further names (hard links), which a rename
// would part from the new content: such a target is for OverwriteFileWith.
bool ReplaceFileWith(const std::string& tempPath, const std::string& target);

// Copies the finished file tempPath over the existing target in place, for a target that
// may be written but not replaced. The target first takes the new length, so a full disk
// or a refused cut shows before any old byte is overwritten and no old byte stays behind
// the new end; then every byte is written and put on the disk, and the file is marked
// changed (archive flag). Done only when all of that succeeded; Untouched when it failed
// before the target changed; Partly when it failed after. tempPath is left alone.
enum class Overwrite { Done, Untouched, Partly };
Overwrite OverwriteFileWith(const std::string& tempPath, const std::string& target);

// Gives the file from the name to, which must be free; false when it is taken or the
// system refuses.
bool RenameToFreeName(const std::string& from, const std::string& to);

// What follows prefix's last name in the names of the plain files beside it that begin
// with that name (compared as the file system compares names); no folders, no links.
std::vector<std::string> NameTailsAfter(const std::string& prefix);

// Seconds since path was last written (0 for a time still to come); -1 when unknown.
long long SecondsSinceWritten(const std::string& path);

// Deletes a plain file; false when it stays.
bool RemoveFile(const std::string& path);
