#pragma once
// The image cache of a test process. The texture manager remembers its
// textures, and the pictures they were made from, for the whole process, so
// the cache owning those pictures must outlive every test that loads one: it
// lives until exit, where a leak checker still sees it owned.
#include "resources/images/image_cache.h"

inline ImageCache& processImageCache()
{
    static ImageCache cache;
    return cache;
}
