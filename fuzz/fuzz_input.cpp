#include "fuzz/fuzz_input.h"

#include "platform/process.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// The files and folders this process made, taken away when it ends so that
// runs of the suite leave nothing behind in the temporary folder.
class OwnPaths {
public:
    ~OwnPaths()
    {
        std::error_code ignored;
        if (entered_)
            std::filesystem::current_path(platform::temporaryDirectory(), ignored);
        for (const auto& path : paths_)
            std::filesystem::remove_all(path, ignored);
    }
    std::string make(const std::string& name)
    {
        const std::string path = platform::temporaryDirectory() + "/sw_fuzz_" +
                                 std::to_string(static_cast<long>(getpid())) + "_" + name;
        if (std::find(paths_.begin(), paths_.end(), path) == paths_.end())
            paths_.push_back(path);
        return path;
    }
    void noteEntered() { entered_ = true; }

private:
    std::vector<std::string> paths_;
    bool entered_ = false;
};

OwnPaths& ownPaths()
{
    static OwnPaths paths;
    return paths;
}

}  // namespace

bool writeFuzzFile(const uint8_t* data, size_t size, const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& name)
{
    const std::string path = ownPaths().make(name);
    return writeFuzzFile(data, size, path) ? path : std::string();
}

void makeFuzzArgumentsAbsolute(int* argc, char*** argv)
{
    static const char* const pathFlags[] = {"-artifact_prefix=", "-exact_artifact_path=", "-dict=",
                                            "-features_dir=", "-merge_control_file="};
    static std::vector<std::string> texts;
    static std::vector<char*> arguments;
    const std::string here = std::filesystem::current_path().string() + "/";
    texts.reserve(static_cast<size_t>(*argc));
    for (int i = 0; i < *argc; ++i) {
        std::string argument = (*argv)[i];
        if (i > 0 && !argument.empty() && argument[0] != '-' && argument[0] != '/') {
            argument = here + argument;
        } else {
            for (const char* flag : pathFlags) {
                const size_t length = std::strlen(flag);
                if (argument.compare(0, length, flag) == 0 && argument.size() > length && argument[length] != '/')
                    argument.insert(length, here);
            }
        }
        texts.push_back(argument);
    }
    for (std::string& text : texts)
        arguments.push_back(text.data());
    arguments.push_back(nullptr);
    *argv = arguments.data();
}

bool enterFuzzFolder(const std::string& name)
{
    const std::filesystem::path folder = ownPaths().make(name);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return false;
    std::filesystem::current_path(folder, error);
    if (error)
        return false;
    ownPaths().noteEntered();
    return true;
}
