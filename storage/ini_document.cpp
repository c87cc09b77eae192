#include "storage/ini_document.h"

#include "platform/file_replace.h"
#include "storage/file_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

const std::string CIniDocument::kNotFound(1, '\x02');
const std::string CIniDocument::kNoDocument(1, '\x01');

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// A document holds its file's bytes once; its lines are views into them by offset, so
// the whole document costs about the file plus a dozen bytes a line, and offsets stay
// good when later values grow the text.
// The largest file a document reads or writes: a 32-bit process holds it, its lines and
// a copy for saving with room to spare, and a hundred thousand entries take about a
// quarter of it. Whatever a document writes it reads back.
constexpr size_t kMaxFile = size_t(64) << 20;
// Its text also keeps the old bytes of replaced values; every offset and length still
// fits the fields of a line.
constexpr size_t kMaxText = 2 * kMaxFile;

enum Kind : uint32_t { kValueLine = 0, kHeaderLine = 1, kCommentLine = 2, kOtherLine = 3 };

// One line of the file, in file order. Comment: the whole line as the value. Section
// header: the whole line, brackets and all, as the key. Key-value: the text before the
// first "=" as the key, the value right behind that "=". The document ends after its
// last node. A header's third field links it to the next header of the same text.
struct IniNode {
    uint32_t offset;
    uint32_t keyAndKind; // key length; kind in the top two bits, below them kRepeated
    uint32_t valueOrLink;

    Kind kind() const { return static_cast<Kind>(keyAndKind >> 30); }
    uint32_t keyLength() const { return keyAndKind & 0x1FFFFFFFu; }
    // A header whose text an earlier header already had.
    bool repeated() const { return (keyAndKind & kRepeated) != 0; }
    static constexpr uint32_t kRepeated = 1u << 29;
};

// Header text to its first and last line, in one flat array at most half full: a lookup
// touches one or two neighbouring slots instead of chasing list nodes around the heap,
// which keeps a list file of a hundred thousand sections as fast per line as one of a
// thousand.
struct HeaderSlot {
    uint32_t hash;
    uint32_t first; // kNone: free
    uint32_t last;
};

// Keys of one section mostly differ in length or first byte; that settles it without a
// call to compare the bytes.
inline bool SameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || (a[0] == b[0] && a == b));
}

uint32_t HashOf(std::string_view text) {
    return static_cast<uint32_t>(std::hash<std::string_view>()(text));
}

// The text and the lines of a document, and what a line reads as.
struct LineStore {
    std::string text;
    std::vector<IniNode> list;

    size_t size() const { return list.size(); }
    std::string_view Key(const IniNode& node) const {
        return std::string_view(text.data() + node.offset, node.keyLength());
    }
    std::string_view Value(const IniNode& node) const {
        switch (node.kind()) {
        case kValueLine:
            return std::string_view(text.data() + node.offset + node.keyLength() + 1,
                                    node.valueOrLink);
        case kCommentLine: return std::string_view(text.data() + node.offset, node.valueOrLink);
        default: return std::string_view();
        }
    }
    // The line as the file holds it, without its line end; false for a line that has none.
    bool AppendLine(std::string& out, size_t i) const {
        const IniNode& node = list[i];
        switch (node.kind()) {
        case kValueLine:
            out.append(text, node.offset, node.keyLength() + 1 + node.valueOrLink);
            return true;
        case kHeaderLine: out += Key(node); return true;
        case kCommentLine: out += Value(node); return true;
        default: return false;
        }
    }
};

// A section of a few keys is walked: its lines lie side by side and are already in the
// cache. A longer one gets its own table on first use, so no lookup costs more than a few
// steps.
constexpr size_t kWalkedLines = 16;

// Large enough that a file of many thousand lines costs few system calls.
constexpr size_t kIoChunk = 64 * 1024;

} // namespace

struct CIniDocument::Impl {
    LineStore nodes;
    std::vector<HeaderSlot> headers; // a power of two in size, or empty
    size_t usedHeaders = 0;
    // Key tables of long sections, by their first header line; rebuilt after any change
    // that could add a line to a section.
    mutable std::unordered_map<uint32_t, std::unordered_map<std::string_view, uint32_t>> byKey;
    mutable std::string lastName;       // section name Find was last asked for ...
    mutable uint32_t lastFound = kNone; // ... and its first header line
    size_t fileSize = 0;                // the bytes Save writes, line ends included
    bool incomplete = false;            // an Append was refused: Save must not write

    // What a line of the file adds to it; a line for nothing adds nothing.
    static size_t FileBytes(Kind kind, size_t keyLength, size_t valueLength) {
        switch (kind) {
        case kValueLine: return keyLength + 1 + valueLength + 2;
        case kHeaderLine: return keyLength + 2;
        case kCommentLine: return valueLength + 2;
        default: return 0;
        }
    }

    // Reads every line of the text now held. A line ends at LF, a CR just before it goes
    // with it, the last line needs no LF. Nothing is reserved from the count of line ends:
    // blank lines are dropped, and a file of nothing else would ask for a record each.
    void ParseText() {
        const char* base = nodes.text.data();
        const char* p = base;
        const char* end = base + nodes.text.size();
        while (p < end) {
            if (*p == '\n') { // a blank line, dropped at once
                ++p;
                continue;
            }
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* stop = lf ? lf : end;
            size_t length = stop - p;
            if (lf && length > 0 && p[length - 1] == '\r') --length;
            AddLine(static_cast<uint32_t>(p - base), std::string_view(p, length));
            p = lf ? lf + 1 : end;
        }
    }

    // Sorts a line by its first byte; drops what is none of the three.
    void AddLine(uint32_t offset, std::string_view line) {
        if (line.empty()) return;
        if (line[0] == '#') {
            AddNode(kCommentLine, offset, 0, static_cast<uint32_t>(line.size()));
        } else if (line[0] == '[') {
            AddNode(kHeaderLine, offset, static_cast<uint32_t>(line.size()), kNone);
        } else {
            // The text is UTF-8, where no byte of a longer character is "=": a byte
            // search never stops inside one.
            const void* eq = std::memchr(line.data(), '=', line.size());
            if (!eq) return;
            const uint32_t key = static_cast<uint32_t>(static_cast<const char*>(eq) - line.data());
            AddNode(kValueLine, offset, key, static_cast<uint32_t>(line.size()) - key - 1);
        }
    }

    void AddNode(Kind kind, uint32_t offset, uint32_t keyLength, uint32_t valueOrLink) {
        const uint32_t id = static_cast<uint32_t>(nodes.list.size());
        nodes.list.push_back(IniNode{offset, keyLength | (uint32_t(kind) << 30), valueOrLink});
        fileSize += FileBytes(kind, keyLength, kind == kHeaderLine ? 0 : valueOrLink);
        if (kind != kHeaderLine) return;
        std::string_view header = nodes.Key(nodes.list.back());
        const uint32_t hash = HashOf(header);
        if (HeaderSlot* slot = FindSlot(header, hash)) {
            nodes.list[id].keyAndKind |= IniNode::kRepeated;
            nodes.list[slot->last].valueOrLink = id;
            slot->last = id;
            return;
        }
        if ((usedHeaders + 1) * 2 > headers.size()) GrowHeaders();
        Place(HeaderSlot{hash, id, id});
        ++usedHeaders;
    }

    HeaderSlot* FindSlot(std::string_view header, uint32_t hash) {
        return const_cast<HeaderSlot*>(std::as_const(*this).FindSlot(header, hash));
    }
    const HeaderSlot* FindSlot(std::string_view header, uint32_t hash) const {
        if (headers.empty()) return nullptr;
        const size_t mask = headers.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const HeaderSlot& slot = headers[i];
            if (slot.first == kNone) return nullptr;
            if (slot.hash == hash && nodes.Key(nodes.list[slot.first]) == header) return &slot;
        }
    }

    void Place(const HeaderSlot& slot) {
        const size_t mask = headers.size() - 1;
        size_t i = slot.hash & mask;
        while (headers[i].first != kNone)
            i = (i + 1) & mask;
        headers[i] = slot;
    }

    // The old table stays whole when the new one cannot be had.
    void GrowHeaders() {
        std::vector<HeaderSlot> old(headers.empty() ? 16 : 2 * headers.size(),
                                    HeaderSlot{0, kNone, kNone});
        old.swap(headers);
        for (const HeaderSlot& slot : old) {
            if (slot.first != kNone) Place(slot);
        }
    }

    // Copies key and value behind the text. False when the document cannot grow further.
    bool Add(char kind, std::string_view key, std::string_view value) {
        const Kind line = kind == 'o'   ? kValueLine
                          : kind == 'd' ? kHeaderLine
                          : kind == 'n' ? kCommentLine
                                        : kOtherLine;
        if (fileSize + FileBytes(line, key.size(), value.size()) > kMaxFile ||
            nodes.text.size() + key.size() + value.size() + 1 > kMaxText)
            return false;
        byKey.clear();
        const uint32_t offset = static_cast<uint32_t>(nodes.text.size());
        switch (kind) {
        case 'o':
            nodes.text.append(key).append(1, '=').append(value);
            AddNode(kValueLine, offset, static_cast<uint32_t>(key.size()),
                    static_cast<uint32_t>(value.size()));
            break;
        case 'd':
            nodes.text.append(key);
            AddNode(kHeaderLine, offset, static_cast<uint32_t>(key.size()), kNone);
            break;
        case 'n':
            nodes.text.append(value);
            AddNode(kCommentLine, offset, 0, static_cast<uint32_t>(value.size()));
            break;
        default: AddNode(kOtherLine, offset, 0, 0); break;
        }
        return true;
    }

    // A fresh copy of the line with the new value; the old bytes stay unused, since a
    // document lives for one read or write of a file.
    bool Replace(uint32_t id, std::string_view value) {
        IniNode& node = nodes.list[id];
        const std::string key(nodes.Key(node));
        const size_t needed = nodes.text.size() + key.size() + value.size() + 1;
        const size_t newFileSize = fileSize - node.valueOrLink + value.size();
        if (needed > kMaxText || newFileSize > kMaxFile) return false;
        // The key tables hold views of the text: only a text that moves outdates them.
        if (needed > nodes.text.capacity()) byKey.clear();
        const uint32_t offset = static_cast<uint32_t>(nodes.text.size());
        nodes.text.append(key).append(1, '=').append(value);
        // Only now, so that a text that could not grow leaves the line as it was.
        node.offset = offset;
        node.valueOrLink = static_cast<uint32_t>(value.size());
        fileSize = newFileSize;
        return true;
    }

    uint32_t Find(const std::string& section, const std::string& key) const {
        // Callers read the keys of one section together; spare them the table.
        if (lastFound == kNone || lastName != section) {
            const std::string header = "[" + section + "]";
            // Readers mostly ask for the sections in file order: try the next one first.
            uint32_t found = NextHeader(lastFound);
            if (found == kNone || nodes.list[found].repeated() ||
                nodes.Key(nodes.list[found]) != header) {
                const HeaderSlot* slot = FindSlot(header, HashOf(header));
                if (!slot) return kNone;
                found = slot->first;
            }
            // Forgotten first: a name that could not be copied must not stand for the
            // section found before.
            lastFound = kNone;
            lastName = section;
            lastFound = found;
        }
        auto table = byKey.empty() ? byKey.end() : byKey.find(lastFound);
        if (table != byKey.end()) {
            auto hit = table->second.find(key);
            return hit == table->second.end() ? kNone : hit->second;
        }
        size_t walked = 0;
        uint32_t found = kNone;
        for (uint32_t h = lastFound; h != kNone && found == kNone; h = nodes.list[h].valueOrLink) {
            for (uint32_t i = h + 1; i < nodes.size(); ++i) {
                const IniNode& node = nodes.list[i];
                if (node.kind() == kHeaderLine) break;
                ++walked;
                if (node.kind() == kValueLine && SameKey(nodes.Key(node), key)) {
                    found = i;
                    break;
                }
            }
        }
        if (walked > kWalkedLines) IndexSection(lastFound);
        return found;
    }

    // The header line after the one given, when it follows within a few lines.
    uint32_t NextHeader(uint32_t header) const {
        if (header == kNone) return kNone;
        const size_t end = std::min(nodes.size(), size_t(header) + 1 + kWalkedLines);
        for (size_t i = header + 1; i < end; ++i) {
            if (nodes.list[i].kind() == kHeaderLine) return static_cast<uint32_t>(i);
        }
        return kNone;
    }

    // A table is kept whole or not at all: one cut short by the memory would miss keys.
    // Without it the section is walked again next time, which finds the same lines.
    void IndexSection(uint32_t first) const {
        try {
            std::unordered_map<std::string_view, uint32_t> table;
            for (uint32_t h = first; h != kNone; h = nodes.list[h].valueOrLink) {
                for (uint32_t i = h + 1; i < nodes.size(); ++i) {
                    const IniNode& node = nodes.list[i];
                    if (node.kind() == kHeaderLine) break;
                    if (node.kind() == kValueLine)
                        table.emplace(nodes.Key(node), i); // keeps an earlier line of a key
                }
            }
            byKey.emplace(first, std::move(table));
        } catch (const std::bad_alloc&) {
        }
    }
};

namespace {

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteNodes(std::FILE* file, const LineStore& nodes) {
    try {
        std::string out;
        out.reserve(2 * kIoChunk);
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (!nodes.AppendLine(out, i)) continue;
            out += "\r\n";
            if (out.size() >= kIoChunk) {
                if (!WriteAll(file, EncodeFileText(out))) return false;
                out.clear();
            }
        }
        return WriteAll(file, EncodeFileText(out));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// A save's temporary file, and the old content while the new one is written over it in
// place, are named after their target: the target's name, this, a number from 1 to 999.
const char kTempTail[] = ".~tw";
const int kTempNumbers = 1000;

// A fresh file beside target, so the final step is a rename within one folder. Creating it
// reserves the name: two saves at once never share one.
std::FILE* CreateTempBeside(const std::string& target, std::string& tempPath) {
    for (int n = 1; n < kTempNumbers; ++n) {
        tempPath = target + kTempTail + std::to_string(n);
        if (PathExists(tempPath)) continue;
        if (std::FILE* file = CreateNewFile(tempPath)) return file;
        if (!PathExists(tempPath)) // not taken meanwhile: the folder refuses new files
            break;
    }
    tempPath.clear();
    return nullptr;
}

// Another program may hold the file open so that it can be written but not replaced, or
// the file has further names that must all see the new content: then the new content is
// copied over the old in place. For that step only, the old content waits in a copy
// beside it, and is written back should the step fail. The temporary stays either way;
// the caller removes it once the step succeeded.
bool OverwriteInPlace(const std::string& tempPath, const std::string& target) {
    std::string copyPath;
    std::FILE* copy = CreateTempBeside(target, copyPath);
    if (!copy) return false;
    if (std::fclose(copy) != 0 || OverwriteFileWith(target, copyPath) != Overwrite::Done) {
        RemoveFile(copyPath);
        return false;
    }
    const Overwrite result = OverwriteFileWith(tempPath, target);
    if (result != Overwrite::Partly || OverwriteFileWith(copyPath, target) == Overwrite::Done)
        RemoveFile(copyPath);
    return result == Overwrite::Done;
}

// A file this young may belong to a save still under way, in this copy of the program or
// in another.
const long long kStaleSeconds = 5 * 60;

// Removes what earlier saves of target left behind (a crash halfway, an overwrite in
// place that failed, an old file a scanner held): files named exactly as the save names
// them, and no others. After a save that created target the newest of them stays: the
// list was missing, and it may be the one copy of what it held.
void RemoveStaleTemporaries(const std::string& target, bool keepNewest) {
    for (const std::string& leftover : SaveLeftovers(target)) {
        if (SecondsSinceWritten(leftover) < kStaleSeconds) continue;
        if (keepNewest)
            keepNewest = false;
        else
            RemoveFile(leftover);
    }
}

// Writes a new file beside the old one and puts it in the old one's place only when every
// byte is on the disk: a full disk, a refused rename or a crash halfway leaves the
// previous file whole.
int SaveTo(const std::string& target, const LineStore& nodes) {
    if (!IsWritableTarget(target)) return -1;
    const bool existed = PathExists(target);
    std::string tempPath;
    std::FILE* file = CreateTempBeside(target, tempPath);
    if (!file) return -1;
    bool complete = WriteNodes(file, nodes) && CommitFile(file);
    complete = (std::fclose(file) == 0) && complete;
    if (!complete) {
        RemoveFile(tempPath);
        return -1;
    }
    if (!ReplaceFileWith(tempPath, target)) {
        if (!existed) {
            RemoveFile(tempPath);
            return -1;
        }
        if (!PathExists(target) || !OverwriteInPlace(tempPath, target)) return -1;
        RemoveFile(tempPath);
    }
    // The file is saved; clearing up is for later saves when the memory runs short now.
    try {
        RemoveStaleTemporaries(target, !existed);
    } catch (const std::bad_alloc&) {
    }
    return 1;
}

} // namespace

CIniDocument::CIniDocument() = default;

CIniDocument::~CIniDocument() = default;

namespace {

// The whole file into text. False when it cannot be read (a folder shows so here) or is
// beyond what a document holds; a file known to be too large is not read at all.
bool ReadWhole(std::FILE* file, std::string& text) {
    const bool seekable = std::fseek(file, 0, SEEK_END) == 0;
    const long size = seekable ? std::ftell(file) : -1;
    std::rewind(file);
    // A size beyond what a long holds (several GiB on Windows) makes ftell answer -1.
    if (seekable && (size < 0 || static_cast<unsigned long>(size) > kMaxFile)) return false;
    if (size > 0) {
        text.resize(static_cast<size_t>(size));
        text.resize(std::fread(&text[0], 1, text.size(), file));
    }
    // Whatever the size did not tell: a file that grew meanwhile, or one that cannot seek.
    std::vector<char> chunk(kIoChunk);
    size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        if (text.size() + got > kMaxFile) return false;
        text.append(chunk.data(), got);
    }
    return !std::ferror(file);
}

} // namespace

// A damaged or hostile file may ask for more memory than a 32-bit process has; the
// caller hears of it as of any other file it cannot use.
int CIniDocument::Load(std::string path) {
    if (m_impl) return -2;
    m_strFileName = std::move(path);
    std::FILE* file = nullptr;
    try {
        file = OpenForReading(m_strFileName);
        if (!file) return -1;
        std::unique_ptr<Impl> doc(new Impl);
        bool read = ReadWhole(file, doc->nodes.text);
        std::fclose(file);
        file = nullptr;
        if (!read) return -1;
        doc->nodes.text = DecodeFileText(doc->nodes.text);
        doc->ParseText();
        m_impl = std::move(doc);
        return 1;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    if (file) std::fclose(file);
    return -1;
}

int CIniDocument::LoadText(std::string path, std::string_view text) {
    if (m_impl) return -2;
    m_strFileName = std::move(path);
    if (text.size() > kMaxFile) return -1;
    try {
        std::unique_ptr<Impl> doc(new Impl);
        doc->nodes.text = DecodeFileText(text);
        doc->ParseText();
        m_impl = std::move(doc);
        return 1;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return -1;
}

int CIniDocument::Create(std::string path) {
    if (m_impl) return -1;
    m_strFileName = std::move(path);
    m_impl.reset(new Impl);
    return 1;
}

// A document missing a line it was given is never saved: the file would lose its tail.
int CIniDocument::Append(char kind, std::string key, std::string value) {
    if (!m_impl) return -1;
    bool added = false;
    try {
        added = m_impl->Add(kind, key, value);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    if (!added) m_impl->incomplete = true;
    return added ? 1 : -1;
}

std::string CIniDocument::GetValue(std::string section, std::string key) const {
    m_bLookupFailed = true;
    if (!m_impl) return kNoDocument;
    try {
        const uint32_t id = m_impl->Find(section, key);
        std::string value =
            id == kNone ? kNotFound : std::string(m_impl->nodes.Value(m_impl->nodes.list[id]));
        m_bLookupFailed = false;
        return value;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return kNoDocument; // one byte: no memory needed
}

int CIniDocument::SetValue(std::string section, std::string key, std::string value) {
    if (!m_impl) return -1;
    try {
        const uint32_t id = m_impl->Find(section, key);
        if (id == kNone) return -2;
        return m_impl->Replace(id, value) ? 1 : -1;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return -1;
}

std::string CIniDocument::Text() const {
    std::string out;
    if (!m_impl) return out;
    for (size_t i = 0; i < m_impl->nodes.size(); ++i) {
        if (m_impl->nodes.AppendLine(out, i)) out += "\r\n";
    }
    return EncodeFileText(out);
}

int CIniDocument::Save() {
    if (!m_impl) return -2;
    // A file read with bare LF line ends grows when written with CR LF.
    if (m_impl->incomplete || m_impl->fileSize > kMaxFile) return -1;
    try {
        // Through a link the linked file is rewritten; the link stays a link.
        return SaveTo(ResolveLinks(m_strFileName), m_impl->nodes);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return -1;
}

std::vector<std::string> SaveLeftovers(const std::string& target) {
    const std::string prefix = target + kTempTail;
    std::vector<std::pair<long long, std::string>> found;
    for (const std::string& number : NameTailsAfter(prefix)) {
        if (number.empty() || number.size() > 3 || number[0] == '0' ||
            number.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long long age = SecondsSinceWritten(prefix + number);
        found.emplace_back(age < 0 ? LLONG_MAX : age, prefix + number);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> paths;
    for (auto& item : found)
        paths.push_back(std::move(item.second));
    return paths;
}

int CIniDocument::Close() {
    m_strFileName.clear();
    m_impl.reset();
    return 1;
}

int ParseDecimal(const std::string& text) {
    size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) return 0;
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
