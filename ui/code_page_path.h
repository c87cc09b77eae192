#pragma once
// Paths the shell hands over in Unicode, as the code-page text the program keeps. A name
// with characters the system's code page cannot represent would otherwise come out with
// "?" in their place: a path that names nothing and never launches.

#include <string>

enum class CodePagePathResult {
    Exact,     // the path converts as it is
    ShortName, // the path does not, its short (8.3) form does; `path` holds that
    Refused,   // neither: the path cannot be kept
};

// `wide` as code-page text in `path`. When refused, `path` holds the closest the code page
// comes, with "?" for what it lacks, to name the file in a message.
CodePagePathResult CodePagePath(const std::wstring& wide, std::string& path);
