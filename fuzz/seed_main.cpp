// Runs a fuzz target once on each seed: every file named, and every file in each folder named.
// The normal builds run it as a test; a broken promise traps and fails it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> seeds;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        if (fs::is_directory(given)) {
            for (const auto& entry : fs::directory_iterator(given)) {
                if (entry.is_regular_file()) {
                    seeds.push_back(entry.path());
                }
            }
        } else {
            seeds.push_back(given);
        }
    }
    std::sort(seeds.begin(), seeds.end());
    if (seeds.empty()) {
        std::fprintf(stderr, "usage: %s SEED-FILE-OR-FOLDER... (no seed found)\n", argv[0]);
        return 2;
    }
    for (const fs::path& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot be opened\n", seed.c_str());
            return 2;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        std::fprintf(stderr, "%s (%zu bytes)\n", seed.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu seeds ran\n", seeds.size());
    return 0;
}
