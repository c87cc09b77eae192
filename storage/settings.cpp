#include "storage/settings.h"

#include "storage/ini_document.h"

#include <new>
#include <stdexcept>
#include <utility>

const char kSettingsFileName[] = "tarnwick.ini";

namespace {

const char* const kSettingsSection = "SET";

// Memory that runs out while the file is read makes it a file that cannot be read, as it
// does for the list file: a lookup the document reports as failed is such a failure, and
// the guards below catch it with every other.
std::string Lookup(const CIniDocument& doc, const std::string& section, const char* key) {
    std::string value = doc.GetValue(section, key);
    if (value == CIniDocument::kNoDocument && doc.LookupFailed()) throw std::bad_alloc();
    return value;
}

} // namespace

SettingsLoad LoadSettings(const std::string& path, Settings& out) try {
    CIniDocument doc;
    if (doc.Load(path) == -1) return SettingsLoad::NoFile;
    return LoadSettings(doc, out);
} catch (const std::bad_alloc&) {
    return SettingsLoad::NoFile;
}

// out changes only when the whole file could be read.
SettingsLoad LoadSettings(const CIniDocument& doc, Settings& out) try {
    Settings read;
    read.showTray = Lookup(doc, kSettingsSection, "showtray") == "yes";
    read.autoRun = Lookup(doc, kSettingsSection, "autorun") == "yes";
    read.listFile = Lookup(doc, kSettingsSection, "mapfile");
    read.language = Lookup(doc, kSettingsSection, "language");
    if (read.language == CIniDocument::kNotFound) read.language.clear();
    const bool hasListFile = read.listFile != CIniDocument::kNotFound;
    if (!hasListFile) read.listFile = out.listFile;
    std::swap(out, read);
    return hasListFile ? SettingsLoad::Ok : SettingsLoad::NoMapFile;
} catch (const std::bad_alloc&) {
    return SettingsLoad::NoFile;
} catch (const std::length_error&) {
    return SettingsLoad::NoFile;
}

void WriteSetting(const std::string& path, const std::string& key, const std::string& value) try {
    CIniDocument doc;
    if (doc.Load(path) != 1) return;
    // A file caught halfway through an editor's save, or damaged, may lack what start-up
    // needs; written back as it was read, it would stop every later start.
    if (Lookup(doc, kSettingsSection, "mapfile") == CIniDocument::kNotFound) return;
    // A value that could not be set leaves nothing new to write.
    if (doc.SetValue(kSettingsSection, key, value) == -1) return;
    doc.Save();
    doc.Close();
} catch (const std::bad_alloc&) {
} catch (const std::length_error&) {
}

// No actions at all when the memory runs out: a list cut short would offer less than
// the file holds without saying so.
std::vector<CatalogueAction> ReadCatalogue(const CIniDocument& doc) try {
    std::vector<CatalogueAction> actions;
    const int count = ParseDecimal(Lookup(doc, "ACT", "count"));
    for (int i = 0; i < count; ++i) {
        const std::string section = "act" + std::to_string(i);
        CatalogueAction action;
        action.name = Lookup(doc, section, "name");
        if (action.name == CIniDocument::kNotFound) break;
        action.icon = TextOrEmpty(Lookup(doc, section, "icon"));
        action.iconint = ParseDecimal(Lookup(doc, section, "iconint"));
        action.path = TextOrEmpty(Lookup(doc, section, "path"));
        actions.push_back(std::move(action));
    }
    return actions;
} catch (const std::bad_alloc&) {
    return std::vector<CatalogueAction>();
} catch (const std::length_error&) {
    return std::vector<CatalogueAction>();
}

std::vector<CatalogueAction> ReadCatalogue(const std::string& path) try {
    CIniDocument doc;
    if (doc.Load(path) != 1) return std::vector<CatalogueAction>();
    return ReadCatalogue(doc);
} catch (const std::bad_alloc&) {
    return std::vector<CatalogueAction>();
}

// The program path is quoted: without quotes, a folder with a space in its name lets
// Windows try the text before the space as a program first. The argument stays bare,
// because start-up takes the whole command line as the folder.
std::string BuildRunCommand(const std::string& currentDir, bool on) {
    if (!on) return std::string();
    return "\"" + currentDir + "\\Tarnwick.exe\" " + currentDir;
}
