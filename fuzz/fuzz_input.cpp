#include "fuzz/fuzz_input.h"

#include "platform/process.h"

#include <unistd.h>

#include <cstdio>

std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& name)
{
    const std::string path =
        platform::temporaryDirectory() + "/sw_fuzz_" + std::to_string(static_cast<long>(getpid())) + "_" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return {};
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? path : std::string();
}
