#pragma once
// A fresh folder under the system's temp folder for one test, removed with everything in
// it (read-only files included), and whole-file byte helpers.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "tw-test-") {
        namespace fs = std::filesystem;
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int n = 0;; ++n) {
            m_dir = fs::temp_directory_path() /
                    (prefix + std::to_string(stamp) + "-" + std::to_string(n));
            if (fs::create_directory(m_dir)) break;
        }
    }
    ~ScratchDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (const auto& item : fs::recursive_directory_iterator(m_dir, ec))
            fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(m_dir))
            names.push_back(item.path().filename().string());
        return names;
    }

private:
    std::filesystem::path m_dir;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Dates the file's last write `age` back, as if it had lain there since.
inline void MakeOld(const std::string& path, std::chrono::minutes age = std::chrono::minutes(10)) {
    namespace fs = std::filesystem;
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
