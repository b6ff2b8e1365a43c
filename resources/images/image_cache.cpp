#include "resources/images/image_cache.h"

#include <cstring>

#include "resources/images/loaders.h"

namespace {

using Loader = Image* (*)(const char*);

// The decoder for a name's extension, or null.
Loader loaderFor(const std::string& name)
{
    if (name.size() < 3)
        return nullptr;
    const std::string extension = name.substr(name.size() - 3);
    static const struct {
        const char* lower;
        const char* upper;
        Loader loader;
    } table[] = {
        {"tga", "TGA", loadTga}, {"jpg", "JPG", loadJpg}, {"gif", "GIF", loadGif},
        {"pcx", "PCX", loadPcx}, {"png", "PNG", loadPng},
    };
    for (const auto& row : table) {
        if (extension == row.lower || extension == row.upper)
            return row.loader;
    }
    return nullptr;
}

}  // namespace

ImageCache::~ImageCache()
{
    for (Entry& entry : entries_)
        imageFree(entry.image);
}

void ImageCache::setPathPrefix(const char* text) { pathPrefix_ = std::string(text != nullptr ? text : ""); }

Image* ImageCache::loadImage(const char* name, const char* prefix)
{
    if (name == nullptr)
        return nullptr;
    for (const Entry& entry : entries_) {
        if (entry.name == name) {
            imagePrint("\nfound image %s\n", name);
            return entry.image;
        }
    }
    std::string path;
    if (prefix != nullptr)
        path = prefix;
    else if (pathPrefix_)
        path = *pathPrefix_;
    path += name;
    imagePrint("\nloading %s from disk\n", path.c_str());
    const Loader loader = loaderFor(name);
    Image* image = loader != nullptr ? loader(path.c_str()) : nullptr;
    if (image == nullptr) {
        imagePrint("could not load image\n");
        return nullptr;
    }
    entries_.push_back(Entry{name, image});
    return image;
}

bool canLoadImage(const char* path)
{
    const Loader loader = path != nullptr ? loaderFor(path) : nullptr;
    const bool wasVerbose = imageVerbose;
    imageVerbose = false;
    Image* image = loader != nullptr ? loader(path) : nullptr;
    imageVerbose = wasVerbose;
    imageFree(image);
    return image != nullptr;
}
