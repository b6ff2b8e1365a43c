#pragma once
// OpenGL extensions: the driver's GL list and this platform's list of WGL
// capabilities, read once, and the extension entry points the program calls.
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

// Two blank-separated lists of extension names. A name is present when it
// equals one entry of either list exactly (case-sensitive, whole name).
class ExtensionLists {
public:
    void setGL(const char* list) { gl_ = list != nullptr ? list : ""; }
    // A null list stands for a platform without a WGL extension string.
    void setPlatform(const char* list) { platform_ = list != nullptr ? list : ""; }
    bool has(const char* name) const;

private:
    std::string gl_;
    std::string platform_;
};

// The process-wide extension state. Needs a current GL context for load.
class Extensions {
public:
    // Reads both lists, the texture unit count and every entry point below,
    // once per process; later calls return at once. The lists of the first
    // context are kept for any context made afterwards.
    static void load();
    static bool loaded();
    // Whether name is in the GL list or else in the platform list.
    static bool has(const char* name);
    // GL_MAX_TEXTURE_UNITS_ARB as read by load (0 before).
    static int textureUnits();
};

// Entry points fetched by name; null when the driver does not give them.
namespace ext {
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
extern PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
extern PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;
extern PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB;
extern PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
extern PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB;
extern PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;

extern PFNGLBINDBUFFERARBPROC glBindBufferARB;
extern PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB;
extern PFNGLGENBUFFERSARBPROC glGenBuffersARB;
extern PFNGLISBUFFERARBPROC glIsBufferARB;
extern PFNGLBUFFERDATAARBPROC glBufferDataARB;
extern PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB;
extern PFNGLMAPBUFFERARBPROC glMapBufferARB;
extern PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB;
extern PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB;
extern PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB;

extern PFNGLGENQUERIESARBPROC glGenQueriesARB;
extern PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB;
extern PFNGLISQUERYARBPROC glIsQueryARB;
extern PFNGLBEGINQUERYARBPROC glBeginQueryARB;
extern PFNGLENDQUERYARBPROC glEndQueryARB;
extern PFNGLGETQUERYIVARBPROC glGetQueryivARB;
extern PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB;
extern PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB;
}  // namespace ext
