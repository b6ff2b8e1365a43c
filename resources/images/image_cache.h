#pragma once
// Decodes each picture file once and hands the same Image to every later
// request for that name. The decoder is chosen by the name's extension.
#include <optional>
#include <string>
#include <vector>

#include "resources/images/image.h"

class ImageCache {
public:
    ImageCache() = default;
    // Frees every cached image; textures still pointing at them must not
    // be used afterwards.
    ~ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // The directory put before names loaded without a prefix of their own;
    // replaces the previous one (an empty text is a prefix too).
    void setPathPrefix(const char* text);

    // The cached image of that name (compared byte-wise, whatever prefix
    // it was loaded with), printing "\nfound image NAME\n". Otherwise
    // prints "\nloading PATH from disk\n" and decodes prefix + name (or the
    // cache's prefix + name, or the bare name) by the extension: the last
    // three characters, all upper or all lower case, one of tga, jpg, gif,
    // pcx, png. Anything else, a name shorter than three characters, or a
    // failed decode prints "could not load image\n", returns null and is
    // not remembered, so a later request tries again. The image stays
    // owned by the cache; callers may change it in place.
    Image* loadImage(const char* name, const char* prefix = nullptr);

private:
    struct Entry {
        std::string name;
        Image* image;
    };
    std::vector<Entry> entries_;
    std::optional<std::string> pathPrefix_;
};

// True when the file at path (a data file name, read as the decoders read
// it) decodes with the decoder loadImage would choose for its extension;
// false for an extension no decoder reads, a missing file or a failed
// decode. Keeps nothing, and the decoders' log lines are held back
// (imageVerbose is off while it decodes): for checks made before a show
// loads its pictures, whose output is their own.
bool canLoadImage(const char* path);
