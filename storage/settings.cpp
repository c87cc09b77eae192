#include "storage/settings.h"

#include "storage/ini_document.h"

namespace {

const char* const kSettingsSection = "SET";

} // namespace

SettingsLoad LoadSettings(const std::string& path, Settings& out) {
    CIniDocument doc;
    if (doc.Load(path) == -1) return SettingsLoad::NoFile;
    return LoadSettings(doc, out);
}

SettingsLoad LoadSettings(const CIniDocument& doc, Settings& out) {
    out.showTray = doc.GetValue(kSettingsSection, "showtray") == "yes";
    out.autoRun = doc.GetValue(kSettingsSection, "autorun") == "yes";
    std::string listFile = doc.GetValue(kSettingsSection, "mapfile");
    if (listFile == CIniDocument::kNotFound) return SettingsLoad::NoMapFile;
    out.listFile = listFile;
    return SettingsLoad::Ok;
}

void WriteSetting(const std::string& path, const std::string& key, const std::string& value) {
    CIniDocument doc;
    if (doc.Load(path) != 1) return;
    // A file caught halfway through an editor's save, or damaged, may lack what start-up
    // needs; written back as it was read, it would stop every later start.
    if (doc.GetValue(kSettingsSection, "mapfile") == CIniDocument::kNotFound) return;
    doc.SetValue(kSettingsSection, key, value);
    doc.Save();
    doc.Close();
}

std::vector<CatalogueAction> ReadCatalogue(const CIniDocument& doc) {
    std::vector<CatalogueAction> actions;
    const int count = ParseDecimal(doc.GetValue("ACT", "count"));
    for (int i = 0; i < count; ++i) {
        const std::string section = "act" + std::to_string(i);
        CatalogueAction action;
        action.name = doc.GetValue(section, "name");
        if (action.name == CIniDocument::kNotFound) break;
        action.icon = TextOrEmpty(doc.GetValue(section, "icon"));
        action.iconint = ParseDecimal(doc.GetValue(section, "iconint"));
        action.path = TextOrEmpty(doc.GetValue(section, "path"));
        actions.push_back(action);
    }
    return actions;
}

std::vector<CatalogueAction> ReadCatalogue(const std::string& path) {
    CIniDocument doc;
    if (doc.Load(path) != 1) return std::vector<CatalogueAction>();
    std::vector<CatalogueAction> actions = ReadCatalogue(doc);
    doc.Close();
    return actions;
}

// The program path is quoted: without quotes, a folder with a space in its name lets
// Windows try the text before the space as a program first. The argument stays bare,
// because start-up takes the whole command line as the folder.
std::string BuildRunCommand(const std::string& currentDir, bool on) {
    if (!on) return std::string();
    return "\"" + currentDir + "\\Tarnwick.exe\" " + currentDir;
}
