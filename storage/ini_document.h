#pragma once
// The program's reader and writer for its INI-style text files. Holds one file as its
// lines in order, answers lookups of a key in a section, replaces existing values and
// writes the lines back. Outcomes are return codes and two marker texts; it shows and
// throws nothing. Texts and paths are UTF-8, compared exactly; the file holds them in its own
// encoding (storage/file_text.h), decoded on reading and encoded on writing.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CIniDocument {
public:
    // GetValue's answer when the key is absent: one character with code 2.
    static const std::string kNotFound;
    // GetValue's answer when no document is held, or when the memory ran out for the
    // answer: the caller cannot use the file. One character with code 1.
    static const std::string kNoDocument;

    CIniDocument();
    ~CIniDocument();
    CIniDocument(const CIniDocument&) = delete;
    CIniDocument& operator=(const CIniDocument&) = delete;

    // 1 read; -1 cannot open, larger than a document holds (64 MiB, refused from its size
    // before reading) or too much for the memory left (path kept, no document); -2 a
    // document is already held. Reads the file whole, then as LoadText.
    int Load(std::string path);
    // The same from bytes already in memory, as if they were the file at path: 1 read;
    // -1 too large or too much for the memory left; -2 a document is already held.
    int LoadText(std::string path, std::string_view text);
    // 1 new empty document for path (file untouched until Save); -1 a document is held.
    int Create(std::string path);
    // kind 'n' comment, 'd' section header (key = "[NAME]"), 'o' key-value.
    // 1 appended at the end; -1 no document, or the file would grow beyond what a
    // document holds, or no memory: then the document is never saved.
    int Append(char kind, std::string key, std::string value);
    // Value of the first key-value line with this key in a section headed "[section]".
    std::string GetValue(std::string section, std::string key) const;
    // True when the last GetValue answered kNoDocument for want of a document or memory,
    // not because a line holds that character as its value.
    bool LookupFailed() const { return m_bLookupFailed; }
    // 1 replaced the first match; -2 no such key (nothing added); -1 no document, or the
    // new value does not fit or the memory ran out (the old one stays).
    int SetValue(std::string section, std::string key, std::string value);
    // 1 written; -1 cannot be written, an Append was refused, the file would be larger
    // than a document reads back, or the memory ran out (the previous file stays as it
    // was); -2 no document.
    // The lines go to a new temporary beside the file, "<file>.~tw<n>" (n from 1 to 999),
    // which is put on the disk and then renamed over the file by ReplaceFileWith
    // (platform/file_replace.h). Where the file may be written but not replaced, the old
    // content waits under a backup name of the same form while OverwriteFileWith copies
    // the new content in place, and is written back should that stop halfway. Through a
    // link, the linked file is the one replaced.
    int Save();
    // The bytes Save would write; empty without a document.
    std::string Text() const;
    // Always 1: forgets the path and the document.
    int Close();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl; // null when no document is held
    mutable bool m_bLookupFailed = false;
    std::string m_strFileName;
};

// The files that saves of target left beside it and that nothing has cleared away yet: a
// temporary that could not take target's place, the old content kept while a save wrote
// over it in place, or the old file a replace of an earlier version of the program moved
// aside. Newest first.
std::vector<std::string> SaveLeftovers(const std::string& target);

// Reads a number stored as text the way the C library's atoi does: leading white space, an
// optional sign, then digits up to the first other character; no digits give 0, and a
// number beyond the range of int gives the nearest end of the range.
int ParseDecimal(const std::string& text);

// A value as text, with an absent key read as the empty text rather than the not-found
// marker, which would otherwise travel on into entries and into files written later.
inline std::string TextOrEmpty(std::string value) {
    if (value == CIniDocument::kNotFound) value.clear();
    return value;
}
