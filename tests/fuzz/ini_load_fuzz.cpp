// Loads any bytes as a document and checks that saving is stable (what one save writes,
// a load and a second save write again byte for byte) and that every lookup answers what
// a walk over the lines from the top would answer.
#include "storage/ini_document.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Scratch {
    std::string dir, path;
    Scratch() {
        char pattern[] = "/tmp/tw-ini-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        dir = pattern;
        path = dir + "/doc.ini";
    }
    ~Scratch() {
        std::remove(path.c_str());
        rmdir(dir.c_str());
    }
};

const Scratch& Files() {
    static Scratch scratch;
    return scratch;
}

void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) std::abort();
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, got);
    std::fclose(f);
    return bytes;
}

// A saved file holds only kept lines, each ended by CR LF and free of LF, so it can be
// walked plainly: for each key-value line under a header "[name]", the first line with the
// same header text and key must be what the document answers.
void CheckLookupsAgainstWalk(const std::string& saved, const CIniDocument& doc) {
    struct Line {
        std::string header, key, value;
    };
    std::vector<Line> lines;
    std::string header;
    bool inSection = false;
    size_t start = 0;
    while (start < saved.size()) {
        size_t lf = saved.find('\n', start);
        if (lf == std::string::npos || lf == start || saved[lf - 1] != '\r')
            std::abort(); // every saved line ends in CR LF
        std::string line = saved.substr(start, lf - 1 - start);
        start = lf + 1;
        if (line[0] == '#') continue;
        if (line[0] == '[') {
            header = line;
            inSection = true;
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) std::abort(); // such a line is never kept
        if (inSection) lines.push_back({header, line.substr(0, eq), line.substr(eq + 1)});
    }
    for (size_t i = 0; i < lines.size() && i < 64; ++i) {
        const Line& probe = lines[i];
        if (probe.header.size() < 2 || probe.header.back() != ']')
            continue; // a header no section name can reach
        std::string section = probe.header.substr(1, probe.header.size() - 2);
        std::string expected;
        for (const Line& l : lines) {
            if (l.header == probe.header && l.key == probe.key) {
                expected = l.value;
                break;
            }
        }
        if (doc.GetValue(section, probe.key) != expected) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Scratch& files = Files();
    WriteBytes(files.path, data, size);

    // Load, change a value when there is one to change, save (in place, through a
    // temporary file beside it).
    CIniDocument doc;
    if (doc.Load(files.path) != 1) std::abort();
    std::string count = doc.GetValue("MAIN", "count");
    int set = doc.SetValue("SET", "showtray", "yes");
    if (set == 1 ? doc.GetValue("SET", "showtray") != "yes" : set != -2) std::abort();
    if (doc.Save() != 1 || doc.Close() != 1) std::abort();
    std::string first = ReadBytes(files.path);

    // What was saved loads into the same answers and saves into the same bytes.
    if (doc.Load(files.path) != 1 || doc.GetValue("MAIN", "count") != count) std::abort();
    CheckLookupsAgainstWalk(first, doc);
    if (doc.Save() != 1 || doc.Close() != 1) std::abort();
    if (ReadBytes(files.path) != first) std::abort();
    if (doc.GetValue("MAIN", "count") != CIniDocument::kNoDocument) std::abort();
    return 0;
}
