// A fuzz target without the fuzzer: runs every file named on the command
// line, and every file in the folders named there, through the target once.
// Built with any compiler, it lets the test suite replay the corpora and the
// inputs that once broke a loader.
//
// Every input is read before the first runs: a target may change the
// working folder, which would turn the relative names still to be read into
// names of other files (or of none). An input that cannot be read fails the
// replay, naming it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The files given and the files under the folders given, sorted; false
// (after saying which) when a name is neither.
bool listInputs(int argc, char** argv, std::vector<std::filesystem::path>& inputs)
{
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        const std::filesystem::path given = std::filesystem::absolute(argv[i], error);
        if (!error && std::filesystem::is_directory(given)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(given, error))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else if (!error && std::filesystem::is_regular_file(given)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "replay: no input at %s\n", argv[i]);
            return false;
        }
        if (error) {
            std::fprintf(stderr, "replay: cannot list %s: %s\n", argv[i], error.message().c_str());
            return false;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return true;
}

bool readWhole(const std::filesystem::path& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> paths;
    if (!listInputs(argc, argv, paths))
        return 1;
    std::vector<std::vector<uint8_t>> inputs(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!readWhole(paths[i], inputs[i])) {
            std::fprintf(stderr, "replay: cannot read %s\n", paths[i].string().c_str());
            return 1;
        }
    }
    for (const std::vector<uint8_t>& bytes : inputs)
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
