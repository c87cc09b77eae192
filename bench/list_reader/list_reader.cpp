// One whole-process read of a hotkey list file, for bench/list_reader.sh: the list-file
// reader, a reader built on libinih (where the library is present) and plain fread of
// the same file, each reading every key of every entry. Prints the milliseconds the read
// took and how much the process grew for it.
//
//   tw_list_reader write N FILE         a list file of N entries
//   tw_list_reader fread|tarnwick|inih FILE
#include "storage/list_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#ifdef TW_HAVE_INIH
#include <INIReader.h>
#endif

namespace {

const char* const kKeys[] = {"name", "path",   "hotkey",  "iconint",
                             "icon", "keydes", "workdir", "info"};

long ResidentKb() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakKb() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}


int Write(int count, const char* path) {
    std::list<HotKeyEntry> entries;
    for (int n = 0; n < count; ++n) {
        HotKeyEntry e;
        const std::string program = "prog" + std::to_string(n % 20);
        e.name = "\xBC\xC7\xCA\xC2\xB1\xBE " + std::to_string(n); // a GBK name
        e.path = "C:\\Program Files\\Vendor " + std::to_string(n % 97) + "\\" + program + ".exe";
        e.icon = "C:\\windows\\system32\\" + program + ".exe";
        e.iconint = n % 3;
        e.hotkey = n < 300 ? 0x600 + 0x30 + n % 40 : 0;
        e.keydes = n < 300 ? "Ctrl + Alt + " + std::to_string(n % 10) : "";
        e.workdir = "C:\\Program Files\\Vendor " + std::to_string(n % 97);
        e.info = n % 5 == 0 ? "first line\r\nsecond line" : "";
        entries.push_back(e);
    }
    return SaveEntriesToListFile(path, entries) == 1 ? 0 : 1;
}

size_t ReadWithFread(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::rewind(f);
    char* bytes = static_cast<char*>(std::malloc(size > 0 ? size : 1));
    size_t got = std::fread(bytes, 1, size, f);
    std::fclose(f);
    size_t sum = 0;
    for (size_t i = 0; i < got; i += 4096)
        sum += static_cast<unsigned char>(bytes[i]);
    std::free(bytes);
    return got + sum;
}

size_t ReadWithTarnwick(const char* path) {
    size_t total = 0;
    ListReadResult result = LoadEntriesFromListFile(path, [&](const HotKeyEntry& e) {
        total += e.name.size() + e.path.size() + e.icon.size() + e.keydes.size() +
                 e.workdir.size() + e.info.size() + e.hotkey + e.iconint;
    });
    return result == ListReadResult::Ok ? total : 0;
}

#ifdef TW_HAVE_INIH
size_t ReadWithInih(const char* path) {
    INIReader reader(path);
    if (reader.ParseError() != 0) return 0;
    size_t total = 0;
    const long count = reader.GetInteger("MAIN", "count", 0);
    for (long n = 1; n <= count; ++n) {
        const std::string section = "run" + std::to_string(n);
        for (const char* key : kKeys)
            total += reader.Get(section, key, "").size();
    }
    return total;
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) return Write(std::atoi(argv[2]), argv[3]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tw_list_reader write N FILE | fread|tarnwick|inih FILE\n");
        return 2;
    }
    const std::string mode = argv[1];
    const long before = ResidentKb();
    const auto start = std::chrono::steady_clock::now();
    size_t result = 0;
    if (mode == "fread") {
        result = ReadWithFread(argv[2]);
    } else if (mode == "tarnwick") {
        result = ReadWithTarnwick(argv[2]);
#ifdef TW_HAVE_INIH
    } else if (mode == "inih") {
        result = ReadWithInih(argv[2]);
#endif
    } else {
        std::fprintf(stderr, "tw_list_reader: no reader '%s'\n", mode.c_str());
        return 2;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (result == 0) {
        std::fprintf(stderr, "tw_list_reader: %s read nothing\n", mode.c_str());
        return 1;
    }
    std::printf("%.2f %ld\n", ms, PeakKb() - before);
    return 0;
}
