#include "shell/extensions.h"

#include "platform/native_window.h"

#include <cstring>

namespace ext {
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;

PFNGLBINDBUFFERARBPROC glBindBufferARB = nullptr;
PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB = nullptr;
PFNGLGENBUFFERSARBPROC glGenBuffersARB = nullptr;
PFNGLISBUFFERARBPROC glIsBufferARB = nullptr;
PFNGLBUFFERDATAARBPROC glBufferDataARB = nullptr;
PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB = nullptr;
PFNGLMAPBUFFERARBPROC glMapBufferARB = nullptr;
PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB = nullptr;
PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB = nullptr;
PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB = nullptr;

PFNGLGENQUERIESARBPROC glGenQueriesARB = nullptr;
PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB = nullptr;
PFNGLISQUERYARBPROC glIsQueryARB = nullptr;
PFNGLBEGINQUERYARBPROC glBeginQueryARB = nullptr;
PFNGLENDQUERYARBPROC glEndQueryARB = nullptr;
PFNGLGETQUERYIVARBPROC glGetQueryivARB = nullptr;
PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB = nullptr;
PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB = nullptr;
}  // namespace ext

namespace {

bool wholeNameIn(const std::string& list, const char* name)
{
    const size_t length = std::strlen(name);
    if (length == 0)
        return false;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find_first_of(" \n", start);
        if (end == std::string::npos)
            end = list.size();
        if (end - start == length && list.compare(start, length, name) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

struct ExtensionState {
    bool loaded = false;
    ExtensionLists lists;
    int textureUnits = 0;
};

ExtensionState& state()
{
    static ExtensionState extensions;
    return extensions;
}

template <typename Pointer>
void fetch(Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(platform::glProcAddress(name));
}

void fetchEntryPoints()
{
    fetch(ext::glActiveTextureARB, "glActiveTextureARB");
    fetch(ext::glClientActiveTextureARB, "glClientActiveTextureARB");
    fetch(ext::glMultiTexCoord1fARB, "glMultiTexCoord1fARB");
    fetch(ext::glMultiTexCoord1fvARB, "glMultiTexCoord1fvARB");
    fetch(ext::glMultiTexCoord2fARB, "glMultiTexCoord2fARB");
    fetch(ext::glMultiTexCoord2fvARB, "glMultiTexCoord2fvARB");
    fetch(ext::glMultiTexCoord3fvARB, "glMultiTexCoord3fvARB");
    fetch(ext::glMultiTexCoord3fARB, "glMultiTexCoord3fARB");
    fetch(ext::glMultiTexCoord4fvARB, "glMultiTexCoord4fvARB");
    fetch(ext::glMultiTexCoord4fARB, "glMultiTexCoord4fARB");

    fetch(ext::glBindBufferARB, "glBindBufferARB");
    fetch(ext::glDeleteBuffersARB, "glDeleteBuffersARB");
    fetch(ext::glGenBuffersARB, "glGenBuffersARB");
    fetch(ext::glIsBufferARB, "glIsBufferARB");
    fetch(ext::glBufferDataARB, "glBufferDataARB");
    fetch(ext::glBufferSubDataARB, "glBufferSubDataARB");
    fetch(ext::glMapBufferARB, "glMapBufferARB");
    fetch(ext::glUnmapBufferARB, "glUnmapBufferARB");
    fetch(ext::glGetBufferParameterivARB, "glGetBufferParameterivARB");
    fetch(ext::glGetBufferPointervARB, "glGetBufferPointervARB");

    fetch(ext::glGenQueriesARB, "glGenQueriesARB");
    fetch(ext::glDeleteQueriesARB, "glDeleteQueriesARB");
    fetch(ext::glIsQueryARB, "glIsQueryARB");
    fetch(ext::glBeginQueryARB, "glBeginQueryARB");
    fetch(ext::glEndQueryARB, "glEndQueryARB");
    fetch(ext::glGetQueryivARB, "glGetQueryivARB");
    fetch(ext::glGetQueryObjectivARB, "glGetQueryObjectivARB");
    fetch(ext::glGetQueryObjectuivARB, "glGetQueryObjectuivARB");
}

}  // namespace

bool ExtensionLists::has(const char* name) const
{
    return wholeNameIn(gl_, name) || wholeNameIn(platform_, name);
}

void Extensions::load()
{
    ExtensionState& extensions = state();
    if (extensions.loaded)
        return;
    const char* gl = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (gl == nullptr) {
        glGetError();
    } else {
        extensions.lists.setGL(gl);
        fetchEntryPoints();
        // The WGL extension string of the original design is this layer's
        // own list of the window-system capabilities it provides.
        extensions.lists.setPlatform(platform::platformExtensionList().c_str());
    }
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    extensions.textureUnits = units;
    extensions.loaded = true;
}

bool Extensions::loaded() { return state().loaded; }

bool Extensions::has(const char* name) { return state().lists.has(name); }

int Extensions::textureUnits() { return state().textureUnits; }
