// Reads any bytes as the settings file with its catalogue of built-in actions, and checks
// what the panel and the built-in action dialog rely on: the switches read as "yes" and
// nothing else, the catalogue lists named actions only, no more than its count, and a
// changed setting written back reads back as written while the catalogue stays the same.
#include "storage/ini_document.h"
#include "storage/settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool Same(const std::vector<CatalogueAction>& a, const std::vector<CatalogueAction>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].icon != b[i].icon || a[i].iconint != b[i].iconint ||
            a[i].path != b[i].path)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CIniDocument doc;
    if (doc.LoadText("tarnwick.ini", std::string_view(reinterpret_cast<const char*>(data), size)) !=
        1)
        std::abort();
    Settings settings;
    const SettingsLoad loaded = LoadSettings(doc, settings);
    if (loaded == SettingsLoad::NoFile) std::abort();
    if (settings.showTray != (doc.GetValue("SET", "showtray") == "yes")) std::abort();
    if (loaded == SettingsLoad::Ok && settings.listFile == CIniDocument::kNotFound) std::abort();

    const std::vector<CatalogueAction> actions = ReadCatalogue(doc);
    const int count = ParseDecimal(doc.GetValue("ACT", "count"));
    if (actions.size() > static_cast<size_t>(count < 0 ? 0 : count)) std::abort();
    for (const CatalogueAction& action : actions) {
        if (action.name == CIniDocument::kNotFound || action.icon == CIniDocument::kNotFound ||
            action.path == CIniDocument::kNotFound)
            std::abort();
    }

    // The check box's write-back, as the file would see it after a save and a new start.
    const int set = doc.SetValue("SET", "showtray", "yes");
    const std::string saved = doc.Text();
    doc.Close();
    CIniDocument again;
    if (again.LoadText("tarnwick.ini", saved) != 1) std::abort();
    Settings reread;
    if ((LoadSettings(again, reread) == SettingsLoad::Ok) != (loaded == SettingsLoad::Ok))
        std::abort();
    if (set == 1 && !reread.showTray) std::abort();
    if (reread.autoRun != settings.autoRun || reread.listFile != settings.listFile) std::abort();
    if (!Same(ReadCatalogue(again), actions)) std::abort();
    return 0;
}
