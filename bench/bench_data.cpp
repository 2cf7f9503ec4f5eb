#include "bench_data.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace bladeway::bench {
namespace {

std::string Decimal(std::mt19937& random, int wholeLimit) {
    std::uniform_int_distribution<int> whole(0, wholeLimit);
    std::uniform_int_distribution<int> thousandths(0, 999);
    std::uniform_int_distribution<int> form(0, 3);
    const int w = whole(random);
    const int t = thousandths(random);
    switch (form(random)) {
        case 0:
            return std::to_string(w);
        case 1:
            return std::to_string(w) + "." + std::to_string(t % 10);
        case 2:
            return (w == 0 ? "" : std::to_string(w)) + "." + std::to_string(100 + t).substr(1);
        default:
            return std::to_string(w) + "." + std::to_string(1000 + t).substr(1) + "5";
    }
}

}  // namespace

std::string MakeKeyDataFile(int keyCount, int templateCount) {
    std::mt19937 random(20261205);
    static constexpr const char* kLetters[] = {"L", "H", "S", "A", "B", "C",
                                               "D", "E", "F", "G", "I"};
    std::string file;
    file.reserve(static_cast<std::size_t>(keyCount) * 220);
    for (int key = 1; key <= keyCount; ++key) {
        file += "[KEY]\r\n";
        file += "K " + std::to_string(key) + "\r\n";
        file +=
            "Building " + std::to_string(key / 100 + 1) + ", door " + std::to_string(key) + "\r\n";
        file += "TPL" + std::to_string(key % templateCount) + "\r\n";
        file += "P" + std::to_string(key) + "\r\n";
        file += std::to_string(key % 3) + "\r\n";
        file += "DOOR " + std::to_string(key) + " (LEVEL " + std::to_string(key % 7) + ")\r\n";
        file += "  [CUTS]\r\n";
        for (const char* letter : kLetters)
            file += std::string(letter) + "=" + Decimal(random, 40) + "\r\n";
        for (int v = 0; v < 4; ++v)
            file += "V" + std::to_string(v * 3) + "=" + Decimal(random, 9) + "\r\n";
        file += "!\r\n";
    }
    return file;
}

std::string MakeMasterTemplate(int bytes, int variant) {
    const std::string v = std::to_string(variant);
    std::string text = "G0X1" + v + ".5Y2.25Z-3.0T" + v + "\r\n";
    text += "G150(MASTER " + v + ") A1.5 B2 C3.25 D4 E5.5\r\n";
    text += "!F6 G7.125 I8\r\n";
    for (int r = 0; r < 12; ++r)
        text += "~R" + std::to_string(r) + "=" + std::to_string(r * 3 + variant) + "|DEPTH " +
                std::to_string(r) + "\r\n";
    for (int n = 10; static_cast<int>(text.size()) < bytes - 4; n += 10)
        text += "N" + std::to_string(n) + " G1 X" + std::to_string(n % 97) + ".25 Y-" +
                std::to_string(n % 13) + ".5 F" + std::to_string(200 + variant) + "\r\n";
    text += "M30";
    return text;
}

ScratchFolder::ScratchFolder() : ScratchFolder(std::filesystem::temp_directory_path()) {}

ScratchFolder::ScratchFolder(const std::filesystem::path& parent) {
    // A new folder of a random name, as mkdtemp makes one, on any system.
    std::random_device seed;
    std::uniform_int_distribution<unsigned> number(0, 0xFFFFFF);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "bladeway-bench-%06x", number(seed));
        if (std::filesystem::create_directory(parent / name)) {
            path_ = parent / name;
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder in " + parent.string());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path RunFolderParent() {
    if (const char* chosen = std::getenv("BLADEWAY_BENCH_DIR"); chosen && *chosen)
        return chosen;
#ifndef _WIN32
    std::error_code ignored;
    if (std::filesystem::is_directory("/var/tmp", ignored))
        return "/var/tmp";
#endif
    return std::filesystem::temp_directory_path();
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = (path_ / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace bladeway::bench
