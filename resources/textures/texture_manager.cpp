#include "resources/textures/texture_manager.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resources/images/image_cache.h"
#include "shell/error_report.h"

namespace {

struct TextureEntry {
    std::unique_ptr<Texture> texture;  // null for a remembered failure
    int count = 1;
    std::string failedPath;  // a picture that did not load: prefix + name
};

struct ManagerState {
    std::map<std::string, TextureEntry> table;
    ImageCache* imageLibrary = nullptr;
    bool verbose = false;
    std::function<void(const std::string&)> failureObserver;
};

ManagerState& state()
{
    static ManagerState manager;
    return manager;
}

void logLine(const char* format, const char* name, int count = 0)
{
    if (state().verbose)
        std::printf(format, name, count);
}

// The stored texture of a known name with one reference more, or false.
bool findShared(const char* name, Texture*& texture)
{
    const auto found = state().table.find(name);
    if (found == state().table.end())
        return false;
    ++found->second.count;
    logLine("ret: %s, refcount=%i\n", name, found->second.count);
    texture = found->second.texture.get();
    return true;
}

Texture* remember(const char* name, std::unique_ptr<Texture> texture)
{
    Texture* result = texture.get();
    state().table[name] = TextureEntry{std::move(texture), 1, {}};
    logLine("added: %s\n", name);
    return result;
}

int powerOfTwoFrom(int start, int atLeast)
{
    int size = start;
    while (size < atLeast && size < (1 << 30))
        size *= 2;
    return size;
}

}  // namespace

struct TextureBuilder {
    static std::unique_ptr<Texture> loadImageTexture(ImageCache& library, const char* fileName,
                                                     const char* pathPrefix, GLenum kind, float anisotropy);
    static void uploadImage(Texture& texture, Image* image, float anisotropy);
    static std::unique_ptr<Texture> makeRenderTexture(int width, int height, GLenum internalFormat);
    static std::unique_ptr<Texture> makeDepthTexture(int size, GLenum internalFormat);
    static std::unique_ptr<Texture> makeCubeMap(int size, GLenum internalFormat);
    // A 2D texture of one level from texels (null: contents undefined).
    static std::unique_ptr<Texture> makeFilled2D(GLenum kind, GLenum internalFormat, int width, int height,
                                                 GLenum format, const void* texels);
};

std::unique_ptr<Texture> TextureBuilder::loadImageTexture(ImageCache& library, const char* fileName,
                                                          const char* pathPrefix, GLenum kind, float anisotropy)
{
    auto texture = std::make_unique<Texture>(kind, GL_RGBA);
    texture->image_ = library.loadImage(fileName, pathPrefix);
    if (texture->image_ == nullptr)
        return nullptr;
    if (kind == GL_TEXTURE_2D)
        uploadImage(*texture, texture->image_, anisotropy);
    return texture;
}

void TextureBuilder::uploadImage(Texture& texture, Image* image, float anisotropy)
{
    if (image->bitsPerPixel != 32)
        imageTo32Bit(image);
    texture.imageWidth_ = image->width;
    texture.imageHeight_ = image->height;
    texture.width_ = powerOfTwoFrom(64, image->width);
    texture.height_ = powerOfTwoFrom(64, image->height);
    if (texture.height_ < texture.width_)
        texture.height_ = texture.width_;
    if (texture.width_ != image->width || texture.height_ != image->height)
        imageScale(static_cast<unsigned>(texture.width_), static_cast<unsigned>(texture.height_), image);

    glGenTextures(1, &texture.name_);
    glBindTexture(GL_TEXTURE_2D, texture.name_);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (anisotropy > 0.0f)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
    // A failed rescale leaves an empty record: nothing to hand to GL.
    if (image->pixels != nullptr && image->width == texture.width_ && image->height == texture.height_) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, texture.width_, texture.height_, GL_RGBA, GL_UNSIGNED_BYTE,
                          image->pixels);
    }
}

std::unique_ptr<Texture> TextureBuilder::makeRenderTexture(int width, int height, GLenum internalFormat)
{
    const int roundedWidth = powerOfTwoFrom(8, width);
    const int roundedHeight = powerOfTwoFrom(8, height);
    if (roundedWidth > 1024 || roundedHeight > 1024) {
        std::printf("effect too large\n");
        std::fflush(stdout);
        std::exit(1);
    }
    std::vector<uint8_t> texels(size_t(roundedWidth) * roundedHeight * 4, 0);
    // Areas that are not a power of two are marked mid-grey where the
    // effect will draw: the first rows in memory, the first texels of each.
    if (roundedWidth != width || roundedHeight != height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width * 4; ++x)
                texels[size_t(y) * roundedWidth * 4 + x] = 0x7F;
        }
    }
    return makeFilled2D(GL_TEXTURE_2D, internalFormat, roundedWidth, roundedHeight, GL_RGBA, texels.data());
}

std::unique_ptr<Texture> TextureBuilder::makeDepthTexture(int size, GLenum internalFormat)
{
    // The contents of a new depth texture are left to the driver.
    return makeFilled2D(GL_DEPTH_COMPONENT, internalFormat, size, size, GL_DEPTH_COMPONENT, nullptr);
}

std::unique_ptr<Texture> TextureBuilder::makeFilled2D(GLenum kind, GLenum internalFormat, int width, int height,
                                                      GLenum format, const void* texels)
{
    auto texture = std::make_unique<Texture>(kind, internalFormat);
    texture->width_ = width;
    texture->height_ = height;
    glGenTextures(1, &texture->name_);
    glBindTexture(GL_TEXTURE_2D, texture->name_);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, format, GL_UNSIGNED_BYTE,
                 texels);
    // Upload errors are dropped: the caller copes with whatever GL made.
    glGetError();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

std::unique_ptr<Texture> TextureBuilder::makeCubeMap(int size, GLenum internalFormat)
{
    auto texture = std::make_unique<Texture>(GL_TEXTURE_CUBE_MAP, internalFormat);
    texture->width_ = size;
    texture->height_ = size;
    // Sizes the driver refuses get no buffer: their uploads fail anyway.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE, &largest);
    const std::vector<uint8_t> zeros(size > 0 && size <= largest ? size_t(size) * size * 4 : 0, 0);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glGenTextures(1, &texture->name_);
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture->name_);
    for (GLenum face = 0; face < 6; ++face) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     zeros.empty() ? nullptr : zeros.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glDisable(GL_TEXTURE_CUBE_MAP);
    return texture;
}

Texture* TextureManager::loadTexture(const char* fileName, const char* pathPrefix, GLenum kind)
{
    if (fileName == nullptr)
        return nullptr;
    Texture* texture = nullptr;
    if (!findShared(fileName, texture)) {
        if (state().imageLibrary == nullptr)
            reportError("no imglib for texture", -1, true);
        texture = remember(fileName, TextureBuilder::loadImageTexture(*state().imageLibrary, fileName, pathPrefix,
                                                                      kind, anisotropy_));
        if (texture == nullptr)
            state().table[fileName].failedPath = std::string(pathPrefix != nullptr ? pathPrefix : "") + fileName;
    }
    // A remembered failure is told again: a second effect lacks it too.
    const std::string& failedPath = state().table[fileName].failedPath;
    if (texture == nullptr && !failedPath.empty() && state().failureObserver)
        state().failureObserver(failedPath);
    return texture;
}

Texture* TextureManager::createTexture(const char* name, int width, int height, GLenum kind, GLenum internalFormat)
{
    if (name == nullptr)
        return nullptr;
    Texture* shared = nullptr;
    if (findShared(name, shared))
        return shared;
    std::unique_ptr<Texture> texture;
    switch (kind) {
    case GL_TEXTURE_2D: texture = TextureBuilder::makeRenderTexture(width, height, internalFormat); break;
    case GL_DEPTH_COMPONENT: texture = TextureBuilder::makeDepthTexture(width, internalFormat); break;
    case GL_TEXTURE_CUBE_MAP: texture = TextureBuilder::makeCubeMap(width, internalFormat); break;
    default: break;
    }
    return remember(name, std::move(texture));
}

void TextureManager::releaseTexture(Texture* texture)
{
    auto& table = state().table;
    for (auto entry = table.begin(); entry != table.end(); ++entry) {
        if (entry->second.texture.get() != texture)
            continue;
        logLine("removing: %s, refcount=%i\n", entry->first.c_str(), entry->second.count);
        if (--entry->second.count == 0) {
            logLine("deleting: %s\n", entry->first.c_str());
            table.erase(entry);
        }
        return;
    }
}

void TextureManager::setImageLibrary(ImageCache* cache) { state().imageLibrary = cache; }

bool TextureManager::hasImageLibrary() { return state().imageLibrary != nullptr; }

void TextureManager::setVerbose(bool on) { state().verbose = on; }

int TextureManager::referenceCount(const char* name)
{
    const auto found = state().table.find(name != nullptr ? name : "");
    return found == state().table.end() ? 0 : found->second.count;
}

void TextureManager::setFailureObserver(std::function<void(const std::string& path)> observer)
{
    state().failureObserver = std::move(observer);
}

FailedPictureWatch::FailedPictureWatch(std::vector<std::string>& into)
{
    TextureManager::setFailureObserver([&into](const std::string& path) {
        if (std::find(into.begin(), into.end(), path) == into.end())
            into.push_back(path);
    });
}

FailedPictureWatch::~FailedPictureWatch() { TextureManager::setFailureObserver({}); }

std::vector<std::string> TextureManager::failedPictures()
{
    std::vector<std::string> paths;
    for (const auto& [name, entry] : state().table) {
        if (!entry.failedPath.empty())
            paths.push_back(entry.failedPath);
    }
    return paths;
}

size_t TextureManager::textureCount()
{
    size_t count = 0;
    for (const auto& [name, entry] : state().table)
        count += entry.texture != nullptr ? 1 : 0;
    return count;
}
