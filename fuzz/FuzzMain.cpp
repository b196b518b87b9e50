// The fuzz targets' driver where there is no libFuzzer (the g++ test build):
// runs every file of the folders (or the files) named on the command line
// once through the target, in name order, so that an input that once
// crashed or broke an invariant stays caught by the test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code error;
        if (fs::is_directory(arg, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(arg, error)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else if (fs::is_regular_file(arg, error)) {
            inputs.push_back(arg);
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s <corpus folder or file>...: no inputs found\n", argv[0]);
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        if (!file.eof() && file.fail()) {
            std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
            return 1;
        }
        // A copy of exactly its size, so that a sanitizer sees any read past the end.
        const std::vector<uint8_t> input(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu inputs ran\n", inputs.size());
    return 0;
}
