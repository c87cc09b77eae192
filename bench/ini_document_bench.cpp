// Loading and saving must stay linear in the number of entries: a list file of n entry
// sections is loaded and every key looked up, or built node by node and saved.
#include "storage/ini_document.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const kKeys[] = {"name", "path",   "hotkey",  "iconint",
                             "icon", "keydes", "workdir", "info"};

std::string SectionName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "run%d", n);
    return name;
}

std::string ValueFor(int n, const char* key) {
    return std::string(key) + " of entry " + std::to_string(n) + " C:\\Program Files\\x.exe";
}

std::string ScratchFile(int sections) {
    return (std::filesystem::temp_directory_path() /
            ("tw-bench-" + std::to_string(sections) + ".map"))
        .string();
}

void BuildList(CIniDocument& doc, int sections) {
    doc.Append('d', "[MAIN]", "");
    doc.Append('o', "count", std::to_string(sections));
    for (int n = 1; n <= sections; ++n) {
        doc.Append('d', "[" + SectionName(n) + "]", "");
        for (const char* key : kKeys)
            doc.Append('o', key, ValueFor(n, key));
    }
}

void LoadAndLookUpEveryKey(benchmark::State& state) {
    const int sections = static_cast<int>(state.range(0));
    const std::string path = ScratchFile(sections);
    {
        CIniDocument doc;
        doc.Create(path);
        BuildList(doc, sections);
        if (doc.Save() != 1) state.SkipWithError("cannot write the list file");
    }
    for (auto _ : state) {
        CIniDocument doc;
        doc.Load(path);
        for (int n = 1; n <= sections; ++n) {
            const std::string section = SectionName(n);
            for (const char* key : kKeys)
                benchmark::DoNotOptimize(doc.GetValue(section, key));
        }
        doc.Close();
    }
    std::remove(path.c_str());
    state.SetComplexityN(sections);
}

void BuildAndSave(benchmark::State& state) {
    const int sections = static_cast<int>(state.range(0));
    const std::string path = ScratchFile(sections);
    for (auto _ : state) {
        CIniDocument doc;
        doc.Create(path);
        BuildList(doc, sections);
        if (doc.Save() != 1) state.SkipWithError("cannot write the list file");
        doc.Close();
    }
    std::remove(path.c_str());
    state.SetComplexityN(sections);
}

} // namespace

BENCHMARK(LoadAndLookUpEveryKey)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BuildAndSave)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
