#pragma once
// The settings file: section "SET" with the three settings, and the catalogue of built-in
// actions in section "ACT" and the sections "act0", "act1", ... The program only reads
// it and changes single values in it; it never creates it.

#include <string>
#include <vector>

class CIniDocument;

struct Settings {
    bool showTray = false; // "showtray" is exactly "yes"
    bool autoRun = false;  // "autorun" is exactly "yes"
    std::string listFile;  // "mapfile", as written; may be empty
    std::string language;  // "language", as written, which a person adds; never written
};

// The settings file's name, without a folder: the current directory's.
extern const char kSettingsFileName[];

enum class SettingsLoad {
    Ok,
    NoFile,    // the file cannot be opened
    NoMapFile, // no "mapfile" in "SET"; the two switches were read all the same
};

SettingsLoad LoadSettings(const std::string& path, Settings& out);
// The same from a document already loaded; never NoFile.
SettingsLoad LoadSettings(const CIniDocument& doc, Settings& out);

// Replaces the value of key in "SET" and rewrites the file, through CIniDocument::Save
// (storage/ini_document.cpp): a temporary beside it, then ReplaceFileWith
// (platform/file_replace.h), so the old file stays whole when the write fails. The
// only place the program writes tarnwick.ini. A missing key is not added;
// a file that cannot be read or written, or that holds no "mapfile" in "SET", is left
// alone. Nothing is reported: the caller goes on with the new setting for this run in
// any case.
void WriteSetting(const std::string& path, const std::string& key, const std::string& value);

// One action the built-in action dialog offers.
struct CatalogueAction {
    std::string name;
    std::string icon; // file the icon is taken from
    int iconint = 0;  // index of the icon in that file
    std::string path; // the built-in action token entries store
};

// The actions in index order, act0 first, whatever the order of their sections. A count
// that is missing or not a number means none; the list ends before the first action
// without a name, so a count far beyond the sections present lists only those.
std::vector<CatalogueAction> ReadCatalogue(const CIniDocument& doc);
std::vector<CatalogueAction> ReadCatalogue(const std::string& path);

// The Run value that starts the program in currentDir with that folder as its command
// line, or the empty text when starting with Windows is off.
std::string BuildRunCommand(const std::string& currentDir, bool on);
