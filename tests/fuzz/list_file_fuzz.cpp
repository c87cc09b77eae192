// Reads any bytes as a hotkey list file without crashing, and checks that whatever was
// read survives a write and a second read unchanged, notes with their line breaks and
// double-byte characters included.
#include "storage/list_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Scratch {
    std::string dir, input, copy;
    Scratch() {
        char pattern[] = "/tmp/tw-list-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        dir = pattern;
        input = dir + "/input.map";
        copy = dir + "/copy.map";
    }
    ~Scratch() {
        std::remove(input.c_str());
        std::remove(copy.c_str());
        rmdir(dir.c_str());
    }
};

const Scratch& Files() {
    static Scratch scratch;
    return scratch;
}

bool GbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

std::vector<HotKeyEntry> Read(const std::string& path, ListReadResult& result) {
    std::vector<HotKeyEntry> entries;
    result = LoadEntriesFromListFile(path, GbkLeadByte,
                                     [&entries](const HotKeyEntry& e) { entries.push_back(e); });
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Scratch& files = Files();
    std::FILE* f = std::fopen(files.input.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();

    ListReadResult first;
    std::vector<HotKeyEntry> entries = Read(files.input, first);
    if (first == ListReadResult::CannotOpen) std::abort();

    std::list<HotKeyEntry> list(entries.begin(), entries.end());
    if (SaveEntriesToListFile(files.copy, list) != 1) std::abort();
    ListReadResult second;
    std::vector<HotKeyEntry> again = Read(files.copy, second);
    if (second != ListReadResult::Ok || again.size() != entries.size()) std::abort();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (again[i] != entries[i] || again[i].builtin != entries[i].builtin) std::abort();
    }
    return 0;
}
