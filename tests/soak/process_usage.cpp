#include "tests/soak/process_usage.h"

#include "resources/textures/texture_manager.h"

#include <GL/gl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

uint64_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    uint64_t sizePages = 0;
    uint64_t residentPages = 0;
    statm >> sizePages >> residentPages;
    return residentPages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

size_t openDescriptors()
{
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator entry("/proc/self/fd", error), end; !error && entry != end;
         entry.increment(error))
        ++count;
    return count;
}

}  // namespace

size_t countLiveGlTextures()
{
    GLuint next = 0;
    glGenTextures(1, &next);
    glDeleteTextures(1, &next);
    size_t live = 0;
    for (GLuint name = 1; name < next; ++name)
        live += glIsTexture(name) == GL_TRUE ? 1 : 0;
    return live;
}

ProcessUsage measureUsage()
{
    ProcessUsage usage;
    usage.residentBytes = residentBytes();
    usage.openDescriptors = openDescriptors();
    usage.managedTextures = TextureManager::textureCount();
    usage.liveGlTextures = countLiveGlTextures();
    return usage;
}
