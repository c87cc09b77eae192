#include "storage/ini_document.h"

#include "platform/file_replace.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

const std::string CIniDocument::kNotFound(1, '\x02');
const std::string CIniDocument::kNoDocument(1, '\x01');

namespace {

constexpr size_t kNoNode = static_cast<size_t>(-1);

// One line of the file, in file order. 'n' comment: the whole line in value. 'd' section
// header: the whole line, brackets and all, in key. 'o' key-value: the text before the
// first "=" in key, the rest in value. The document ends after its last node.
// Texts are views of copies the document keeps (see TextStore).
struct IniNode {
    char kind;
    std::string_view key;
    std::string_view value;
    size_t nextInSection; // next key-value line under the same header text, or kNoNode
};

// All key-value lines under one header text, in file order; sections that share a header
// share this record, so they are searched as one.
struct Section {
    std::string_view header;
    size_t first = kNoNode;
    size_t last = kNoNode;
    size_t count = 0;
    // The first line of each key, made only once the section is too long to walk.
    std::unique_ptr<std::unordered_map<std::string_view, size_t>> byKey;
};

// Header text to section record. Open addressing in one flat array, at most half full:
// a lookup touches one or two neighbouring slots instead of chasing list nodes around
// the heap, which keeps a list file of a hundred thousand sections as fast per line as
// one of a thousand.
class HeaderTable {
public:
    size_t Find(std::string_view header, const std::vector<Section>& sections) const {
        if (m_slots.empty()) return kNoNode;
        size_t hash = std::hash<std::string_view>()(header);
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (slot.section == kNoNode) return kNoNode;
            if (slot.hash == hash && sections[slot.section].header == header) return slot.section;
        }
    }

    // header must not be in the table yet.
    void Insert(std::string_view header, size_t section) {
        if ((m_used + 1) * 2 > m_slots.size()) Grow();
        Place(Slot{std::hash<std::string_view>()(header), section});
        ++m_used;
    }

private:
    struct Slot {
        size_t hash;
        size_t section; // kNoNode: free
    };

    void Place(const Slot& slot) {
        size_t i = slot.hash & m_mask;
        while (m_slots[i].section != kNoNode)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }

    void Grow() {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : 2 * old.size(), Slot{0, kNoNode});
        m_mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.section != kNoNode) Place(slot);
        }
    }

    std::vector<Slot> m_slots; // a power of two in size
    size_t m_mask = 0;
    size_t m_used = 0;
};

// A section of a few keys is walked: its lines lie side by side and are already in the
// cache. A longer one gets its own table, so no lookup costs more than a few steps.
constexpr size_t kWalkedKeys = 16;

// Copies of the texts of all lines, in blocks that never move once allocated, so
// views of them stay valid for the life of the document. A replaced value's old bytes are
// not reused: a document lives for one read or write of a file.
class TextStore {
public:
    std::string_view Keep(std::string_view text) {
        if (text.empty()) return std::string_view();
        if (text.size() > m_room) {
            size_t size = std::max(kBlockSize, text.size());
            m_blocks.emplace_back(new char[size]);
            m_free = m_blocks.back().get();
            m_room = size;
        }
        std::memcpy(m_free, text.data(), text.size());
        std::string_view kept(m_free, text.size());
        m_free += text.size();
        m_room -= text.size();
        return kept;
    }

private:
    static constexpr size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;
    size_t m_room = 0;
};

// The nodes in fixed blocks of a size the heap recycles: growing never moves a node or
// copies the ones before, and a big file never needs one huge allocation, which the C
// library would hand back to the system on every Close and fetch fresh, page by page,
// on the next Load.
class NodeList {
public:
    size_t size() const { return m_size; }
    IniNode& operator[](size_t i) { return m_blocks[i / kBlockNodes][i % kBlockNodes]; }
    const IniNode& operator[](size_t i) const { return m_blocks[i / kBlockNodes][i % kBlockNodes]; }
    void push_back(const IniNode& node) {
        if (m_size % kBlockNodes == 0) m_blocks.emplace_back(new IniNode[kBlockNodes]);
        (*this)[m_size++] = node;
    }

private:
    static constexpr size_t kBlockNodes = 1024;
    std::vector<std::unique_ptr<IniNode[]>> m_blocks;
    size_t m_size = 0;
};

// Large enough that a file of many thousand lines costs few system calls.
constexpr size_t kIoChunk = 64 * 1024;

} // namespace

struct CIniDocument::Impl {
    TextStore store;
    NodeList nodes;
    std::vector<Section> sections; // in the order their headers first appear
    HeaderTable headers;
    size_t current = kNoNode;   // section of the last header line; none before the first
    std::string lastName;       // section name Find was last asked for ...
    size_t lastFound = kNoNode; // ... and its record

    // Keeps copies of key and value.
    void Add(char kind, std::string_view key, std::string_view value) {
        size_t id = nodes.size();
        nodes.push_back(IniNode{kind, store.Keep(key), store.Keep(value), kNoNode});
        key = nodes[id].key;
        if (kind == 'd') {
            current = headers.Find(key, sections);
            if (current == kNoNode) {
                current = sections.size();
                sections.push_back(Section());
                sections.back().header = key;
                headers.Insert(key, current);
            }
        } else if (kind == 'o' && current != kNoNode) {
            Link(sections[current], id);
        }
    }

    void Link(Section& section, size_t id) {
        if (section.last == kNoNode)
            section.first = id;
        else
            nodes[section.last].nextInSection = id;
        section.last = id;
        ++section.count;
        if (section.count == kWalkedKeys + 1) {
            section.byKey.reset(new std::unordered_map<std::string_view, size_t>);
            for (size_t i = section.first; i != kNoNode; i = nodes[i].nextInSection)
                section.byKey->emplace(nodes[i].key, i); // keeps an earlier line of a key
        } else if (section.count > kWalkedKeys) {
            section.byKey->emplace(nodes[id].key, id);
        }
    }

    // Sorts a line read from the file by its first byte; drops what is none of the three.
    void AddLine(std::string_view line) {
        if (line.empty()) return;
        if (line[0] == '#') {
            Add('n', std::string_view(), line);
        } else if (line[0] == '[') {
            Add('d', line, std::string_view());
        } else {
            // "=" lies below every trail byte of the code page, so a byte search never
            // stops inside a double-byte character.
            std::string_view::size_type eq = line.find('=');
            if (eq != std::string_view::npos) Add('o', line.substr(0, eq), line.substr(eq + 1));
        }
    }

    // A line ends at LF, a CR just before it goes with it, the last line needs no LF.
    // False on a read error, which is also how a folder given as the file shows here.
    bool ReadLines(std::FILE* file) {
        std::vector<char> buffer(kIoChunk);
        std::string pending; // a line that runs over the end of the buffer
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
            const char* p = buffer.data();
            const char* end = p + got;
            while (p < end) {
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
                if (!lf) {
                    pending.append(p, end);
                    break;
                }
                std::string_view line;
                if (pending.empty()) {
                    line = std::string_view(p, lf - p);
                } else {
                    pending.append(p, lf);
                    line = pending;
                }
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                AddLine(line);
                pending.clear();
                p = lf + 1;
            }
        }
        if (std::ferror(file)) return false;
        AddLine(pending);
        return true;
    }

    IniNode* Find(const std::string& section, const std::string& key) {
        // Callers read the keys of one section together; spare them the table.
        if (lastFound == kNoNode || lastName != section) {
            size_t found = headers.Find("[" + section + "]", sections);
            if (found == kNoNode) return nullptr;
            lastName = section;
            lastFound = found;
        }
        const Section& s = sections[lastFound];
        if (s.byKey) {
            auto hit = s.byKey->find(key);
            return hit == s.byKey->end() ? nullptr : &nodes[hit->second];
        }
        for (size_t i = s.first; i != kNoNode; i = nodes[i].nextInSection) {
            if (nodes[i].key == key) return &nodes[i];
        }
        return nullptr;
    }
};

namespace {

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteNodes(std::FILE* file, const NodeList& nodes) {
    std::string out;
    out.reserve(2 * kIoChunk);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const IniNode& node = nodes[i];
        switch (node.kind) {
        case 'n': out += node.value; break;
        case 'd': out += node.key; break;
        case 'o':
            out += node.key;
            out += '=';
            out += node.value;
            break;
        default: continue; // no line of its own
        }
        out += "\r\n";
        if (out.size() >= kIoChunk) {
            if (!WriteAll(file, out)) return false;
            out.clear();
        }
    }
    return WriteAll(file, out);
}

// A save's temporary file is named after its target: the target's name, this, a number.
const char kTempTail[] = ".~tw";

// A fresh file beside target, so the final step is a rename within one folder.
std::FILE* CreateTempBeside(const std::string& target, std::string& tempPath) {
    for (int n = 1; n < 1000; ++n) {
        tempPath = target + kTempTail + std::to_string(n);
        if (PathExists(tempPath)) continue;
        if (std::FILE* file = CreateNewFile(tempPath)) return file;
        if (!PathExists(tempPath)) // not taken meanwhile: the folder refuses new files
            break;
    }
    tempPath.clear();
    return nullptr;
}

// Removes what earlier saves of target left behind (a crash halfway, or an overwrite in
// place that failed): files named as its temporaries are, and no others.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string prefix = target + kTempTail;
    for (const std::string& number : NameTailsAfter(prefix)) {
        if (number.empty() || number.size() > 3 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            continue;
        RemoveFile(prefix + number);
    }
}

} // namespace

CIniDocument::CIniDocument() = default;

CIniDocument::~CIniDocument() = default;

int CIniDocument::Load(std::string path) {
    if (m_impl) return -2;
    m_strFileName = std::move(path);
    std::FILE* file = std::fopen(m_strFileName.c_str(), "rb");
    if (!file) return -1;
    std::unique_ptr<Impl> doc(new Impl);
    bool read = doc->ReadLines(file);
    std::fclose(file);
    if (!read) return -1;
    m_impl = std::move(doc);
    return 1;
}

int CIniDocument::Create(std::string path) {
    if (m_impl) return -1;
    m_strFileName = std::move(path);
    m_impl.reset(new Impl);
    return 1;
}

int CIniDocument::Append(char kind, std::string key, std::string value) {
    if (!m_impl) return -1;
    m_impl->Add(kind, key, value);
    return 1;
}

std::string CIniDocument::GetValue(std::string section, std::string key) const {
    if (!m_impl) return kNoDocument;
    const IniNode* node = m_impl->Find(section, key);
    return node ? std::string(node->value) : kNotFound;
}

int CIniDocument::SetValue(std::string section, std::string key, std::string value) {
    if (!m_impl) return -1;
    IniNode* node = m_impl->Find(section, key);
    if (!node) return -2;
    node->value = m_impl->store.Keep(value);
    return 1;
}

// Writes a new file beside the old one and swaps it in only when every byte is on the
// disk: a full disk, a refused rename or a crash halfway leaves the previous file whole.
int CIniDocument::Save() {
    if (!m_impl) return -2;
    // Through a link the linked file is rewritten; the link stays a link.
    const std::string target = ResolveLinks(m_strFileName);
    if (!IsWritableTarget(target)) return -1;
    const bool existed = PathExists(target);
    std::string tempPath;
    std::FILE* file = CreateTempBeside(target, tempPath);
    if (!file) return -1;
    bool complete = WriteNodes(file, m_impl->nodes) && CommitFile(file);
    complete = (std::fclose(file) == 0) && complete;
    if (!complete) {
        std::remove(tempPath.c_str());
        return -1;
    }
    if (!ReplaceFileWith(tempPath, target)) {
        // Another program may hold the file open so that it can be written but not
        // replaced: then the new content is copied over the old in place. Until that has
        // succeeded the temporary stays, the one whole copy of the new content.
        if (!existed) {
            std::remove(tempPath.c_str());
            return -1;
        }
        if (!PathExists(target) || !OverwriteFileWith(tempPath, target)) return -1;
    }
    RemoveStaleTemporaries(target);
    return 1;
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
