// Parses any bytes as a document, in memory, and checks that saving is stable (what one
// save writes, a parse and a second save write again byte for byte) and that every lookup
// answers what a walk over the lines from the top would answer.
#include "storage/file_text.h"
#include "storage/ini_document.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// A saved text, decoded, holds only kept lines, each ended by CR LF and free of LF, so it
// can be walked plainly: for each key-value line under a header "[name]", the first line
// with the same header text and key must be what the document answers.
void CheckLookupsAgainstWalk(std::string_view saved, const CIniDocument& doc) {
    struct Line {
        std::string_view header, key, value;
    };
    std::array<Line, 32> lines;
    size_t count = 0;
    std::string_view header;
    bool inSection = false;
    // The first lines are enough to meet every kind of line and section; a first
    // occurrence among them is the first in the whole text.
    for (int walked = 0; !saved.empty() && walked < 32; ++walked) {
        size_t lf = saved.find('\n');
        if (lf == std::string_view::npos || lf == 0 || saved[lf - 1] != '\r')
            std::abort(); // every saved line ends in CR LF
        std::string_view line = saved.substr(0, lf - 1);
        saved.remove_prefix(lf + 1);
        if (line[0] == '#') continue;
        if (line[0] == '[') {
            header = line;
            inSection = true;
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) std::abort(); // such a line is never kept
        if (inSection) lines[count++] = {header, line.substr(0, eq), line.substr(eq + 1)};
    }
    for (size_t i = 0; i < count; ++i) {
        const Line& l = lines[i];
        bool earlier = false;
        for (size_t j = 0; j < i && !earlier; ++j)
            earlier = lines[j].header == l.header && lines[j].key == l.key;
        if (earlier) continue; // the first line with this header and key answers
        const std::string_view h = l.header;
        if (h.size() < 2 || h.back() != ']') continue; // a header no section name can reach
        const std::string section(h.substr(1, h.size() - 2));
        if (doc.GetValue(section, std::string(l.key)) != l.value) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Parse, change a value when there is one to change, and append a line, which lands
    // in the last section.
    CIniDocument doc;
    if (doc.LoadText("fuzz.ini", bytes) != 1) std::abort();
    std::string count = doc.GetValue("MAIN", "count");
    int set = doc.SetValue("SET", "showtray", "yes");
    if (set == 1 ? doc.GetValue("SET", "showtray") != "yes" : set != -2) std::abort();
    if (doc.Append('n', "", "# appended") != 1) std::abort();
    std::string first = doc.Text();
    if (doc.Close() != 1) std::abort();

    // What was saved parses into the same answers and saves into the same bytes.
    if (doc.LoadText("fuzz.ini", first) != 1 || doc.GetValue("MAIN", "count") != count)
        std::abort();
    CheckLookupsAgainstWalk(DecodeFileText(first), doc); // the lookups answer decoded text
    if (doc.Text() != first || doc.Close() != 1) std::abort();
    if (doc.GetValue("MAIN", "count") != CIniDocument::kNoDocument) std::abort();
    return 0;
}
