#pragma once
// The one place where GL textures are made: shared, named and counted, so
// that every holder of a name meets on one texture. Names of loaded and of
// created textures live in one process-wide table. Main thread only, with
// the GL context current.
#include <GL/gl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "resources/textures/texture.h"

class ImageCache;

class TextureManager {
public:
    // A known name (as passed, without the prefix): its stored texture,
    // whatever kind or prefix this call asks for, one more reference.
    // Otherwise the picture is loaded through the image library (prefix +
    // name); kind GL_TEXTURE_2D converts it in place to 32 bits, rescales
    // it to the texture size (powers of two, at least 64, the height at
    // least the width) and uploads it with mipmaps; other kinds upload
    // nothing. A picture that cannot be loaded gives null, and the null is
    // remembered under the name like a texture. Without an image library
    // the process ends with the fatal error "no imglib for texture".
    static Texture* loadTexture(const char* fileName, const char* pathPrefix, GLenum kind);

    // A known name: as loadTexture (size and kind ignored). Otherwise an
    // empty texture: GL_TEXTURE_2D rounds the size up to powers of two from
    // 8 (above 1024 prints "effect too large" and ends the process with
    // status 1) and fills it with zeros, with 0x7F over the requested area
    // when that is not already a power of two; GL_DEPTH_COMPONENT makes a
    // square 2D depth texture of the width; GL_TEXTURE_CUBE_MAP six zeroed
    // RGBA faces of the width. Any other kind gives null, remembered.
    static Texture* createTexture(const char* name, int width, int height, GLenum kind, GLenum internalFormat);

    // Drops one reference of the first name (in name order) holding this
    // texture (null matches a remembered failure); at zero the record and
    // the name go, and a later request makes a new texture. The GL texture
    // object itself stays. An unknown texture is ignored.
    static void releaseTexture(Texture* texture);

    // The image cache that loads the pictures; not owned.
    static void setImageLibrary(ImageCache* cache);
    static bool hasImageLibrary();

    // Maximum anisotropy for image textures made from now on; 0 (the
    // default) leaves anisotropic filtering off. The window hands over the
    // driver-capped value when the extension is present.
    static void setTextureAnisotropy(float value) { anisotropy_ = value; }
    static float textureAnisotropy() { return anisotropy_; }

    // When on (off by default), prints "added: ", "ret: ", "removing: "
    // and "deleting: " lines on standard output.
    static void setVerbose(bool on);

    // References held on a name; 0 when the name is not in the table.
    static int referenceCount(const char* name);

    // The pictures loadTexture could not load and still remembers as null,
    // each as prefix + name, in name order: what a show lacks.
    static std::vector<std::string> failedPictures();
    // Called with prefix + name each time loadTexture gives null for a
    // picture, the first time and every later time the name is asked for;
    // an empty function for none. Used to learn which effect lacks what.
    static void setFailureObserver(std::function<void(const std::string& path)> observer);
    // Textures held in the table now (remembered failures not counted).
    static size_t textureCount();

private:
    static inline float anisotropy_ = 0.0f;
};

// While it lives, every picture loadTexture fails to give is added to
// `into` (once each, in the order asked). Watches do not nest.
class FailedPictureWatch {
public:
    explicit FailedPictureWatch(std::vector<std::string>& into);
    ~FailedPictureWatch();
    FailedPictureWatch(const FailedPictureWatch&) = delete;
    FailedPictureWatch& operator=(const FailedPictureWatch&) = delete;
};
