// Reads any bytes as a hotkey list file without crashing, and checks that whatever was
// read survives a write and a second read unchanged, notes with their line breaks and
// double-byte characters included.
#include "storage/list_file.h"

#include <cstdint>
#include <cstdlib>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace {


std::vector<HotKeyEntry> Read(std::string_view text, ListReadResult& result) {
    std::vector<HotKeyEntry> entries;
    result = LoadEntriesFromListText(text, [&entries](const HotKeyEntry& e) { entries.push_back(e); });
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ListReadResult first;
    std::vector<HotKeyEntry> entries =
        Read(std::string_view(reinterpret_cast<const char*>(data), size), first);
    if (first == ListReadResult::CannotOpen) std::abort();

    std::list<HotKeyEntry> list(entries.begin(), entries.end());
    const std::string copy = ListFileText(list);
    ListReadResult second;
    std::vector<HotKeyEntry> again = Read(copy, second);
    if (second != ListReadResult::Ok || again.size() != entries.size()) std::abort();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (again[i] != entries[i] || again[i].builtin != entries[i].builtin ||
            again[i].enabled != entries[i].enabled)
            std::abort();
    }
    return 0;
}
