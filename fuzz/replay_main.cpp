// Replays fuzz inputs without libFuzzer: every file named on the command line,
// or found in a folder named there, is handed to the target once. The
// ordinary test suite runs the seed corpora and the inputs of earlier
// findings this way, so every build checks them, with any compiler.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(argument)) {
        for (const auto& entry : std::filesystem::directory_iterator(argument)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
    } else {
        inputs.push_back(argument);
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& input : InputsOf(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
                return 1;
            }
            std::string bytes(std::filesystem::file_size(input), '\0');
            file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            std::fprintf(stderr, "%s\n", input.string().c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
