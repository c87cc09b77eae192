#include "ui/file_dialog.h"

#include "platform/text_fit.h"
#include "ui/dialog.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const std::string& defaultExt,
                         const std::string& fileName, DWORD flags, const std::string& filter,
                         HWND parent)
    : m_bOpenFileDialog(openFileDialog),
      // The system would add its own dot in front of ours.
      m_strDefExt(!defaultExt.empty() && defaultExt[0] == '.' ? defaultExt.substr(1) : defaultExt),
      m_strFileName(fileName), m_dwFlags(flags), m_strFilter(filter), m_hParent(parent) {}

namespace {

// Code-page text as the system's wide text; `text` may hold zero bytes (a filter does).
std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], n);
    return wide;
}

// Wide text as code-page text, "?" for what the code page lacks.
std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = static_cast<int>(wide.size());
    const int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0], n, nullptr, nullptr);
    return text;
}

} // namespace

// The wide dialog: the narrow one hands back a name the code page cannot hold with "?"
// in it, and nothing can tell what the user chose any more.
INT_PTR CFileDialog::DoModal() {
    const std::wstring filter = Wide(FileDialogFilter(m_strFilter));
    const std::wstring defExt = Wide(m_strDefExt);
    wchar_t file[MAX_PATH] = {};
    // A longer initial name is cut between characters, never through one.
    const std::wstring initial = Wide(FitWholeChars(
        m_strFileName, MAX_PATH, [](unsigned char b) { return ::IsDBCSLeadByte(b); }));
    initial.copy(file, MAX_PATH - 1);

    HWND owner = m_hParent;
    if (owner == nullptr && CDialog::GetMainWnd() != nullptr)
        owner = ::GetLastActivePopup(CDialog::GetMainWnd()->m_hWnd);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_strFilter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;

    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen) return IDCANCEL;
    m_strPathNameW = file;
    m_strPathName = Narrow(m_strPathNameW);
    // The system counts characters; the names are taken apart by bytes.
    const size_t offset = ofn.nFileOffset <= m_strPathNameW.size() ? ofn.nFileOffset : 0;
    const size_t extension = ofn.nFileExtension <= m_strPathNameW.size() ? ofn.nFileExtension : 0;
    m_nFileOffset = static_cast<WORD>(Narrow(m_strPathNameW.substr(0, offset)).size());
    m_nFileExtension =
        extension == 0 ? 0 : static_cast<WORD>(Narrow(m_strPathNameW.substr(0, extension)).size());
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    if (m_nFileOffset > m_strPathName.size()) return std::string();
    return m_strPathName.substr(m_nFileOffset);
}

std::string CFileDialog::GetFileTitle() const {
    std::string name = GetFileName();
    // The system reports where the extension begins, after the last dot of the name.
    if (m_nFileExtension > m_nFileOffset && m_nFileExtension <= m_strPathName.size() &&
        m_strPathName[m_nFileExtension - 1] == '.')
        return name.substr(0, m_nFileExtension - 1u - m_nFileOffset);
    return name;
}

std::string FileDialogFilter(const std::string& barSeparated) {
    std::string filter = barSeparated;
    for (size_t i = 0; i < filter.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(filter[i])) && i + 1 < filter.size())
            ++i;
        else if (filter[i] == '|')
            filter[i] = '\0';
    }
    // c_str() adds the second terminating zero.
    filter.push_back('\0');
    return filter;
}
