// The driver of a fuzz target in builds without libFuzzer: runs the target once on
// each file named and on each file in each folder named, so that the seed corpus
// runs as an ordinary test. A target that finds a fault aborts, failing the test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char *argv[])
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        if (fs::is_directory(named)) {
            for (const fs::directory_entry &entry : fs::directory_iterator(named)) {
                if (entry.is_regular_file()) {
                    inputs.push_back(entry.path());
                }
            }
        } else {
            inputs.push_back(named);
        }
    }
    // A corpus that went missing must not pass as a corpus without faults.
    if (inputs.empty()) {
        std::cerr << "no inputs: name files or folders of inputs\n";
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path &input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::cerr << input.string() << ": cannot be read\n";
            return 2;
        }
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        std::cout << input.filename().string() << std::endl;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::cout << inputs.size() << " inputs checked\n";
    return 0;
}
