#pragma once
// Small scenes built in code, as the file reader would build them.
#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "scene/mesh.h"
#include "scene/scene.h"
#include "tests/support/gl_test.h"

// A square of side 2 * half in the XY plane around the origin, facing +z
// (counter-clockwise seen from +z), its four corners with set-1 coordinates.
inline Mesh* makeSquare(int32_t id, const std::string& name, int32_t materialId, float half = 1.0f,
                        int32_t smoothing = 1)
{
    auto* mesh = new Mesh(id, name);
    std::vector<MeshVertex> vertices(4);
    vertices[0].position = Vec3(-half, -half, 0.0f);
    vertices[1].position = Vec3(half, -half, 0.0f);
    vertices[2].position = Vec3(half, half, 0.0f);
    vertices[3].position = Vec3(-half, half, 0.0f);
    std::vector<TexCoord> coords = {{0, 0}, {1, 0}, {1, -1}, {0, -1}};
    std::vector<Face> faces(2);
    const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int f = 0; f < 2; ++f) {
        for (int c = 0; c < 3; ++c) {
            faces[static_cast<size_t>(f)].corners[static_cast<size_t>(c)].vertex = corners[f][c];
            faces[static_cast<size_t>(f)].corners[static_cast<size_t>(c)].coord1 = corners[f][c];
        }
        faces[static_cast<size_t>(f)].materialId = materialId;
        faces[static_cast<size_t>(f)].smoothing = smoothing;
    }
    mesh->setGeometry(std::move(vertices), std::move(coords), {}, std::move(faces));
    return mesh;
}

// A material in plain colour (mode 0).
inline Material* makeColourMaterial(int32_t id, float r, float g, float b)
{
    auto* m = new Material(id, "colour" + std::to_string(id));
    m->setDiffuse(Color4{r, g, b, 1.0f});
    m->setAmbient(Color4{0.0f, 0.0f, 0.0f, 1.0f});
    m->setMode(0);
    return m;
}

// A camera at (0, 0, distance) looking at a target node at the origin.
inline void addCameraLookingAtOrigin(Scene& scene, float distance, int32_t targetId,
                                     const std::string& name = "Camera01", int32_t id = 500)
{
    auto* camera = new Camera(id, name);
    camera->setPosition(0.0f, 0.0f, distance);
    camera->setTargetId(targetId);
    scene.addCamera(camera);
}

// A white point light without attenuation.
inline Light* addWhiteLight(Scene& scene, int32_t id, const Vec3& where, const std::string& name = "Omni01")
{
    auto* light = new Light(id, name);
    light->setPosition(where);
    light->setColour(Color4{1.0f, 1.0f, 1.0f, 1.0f});
    light->setAmbient(Color4{0.0f, 0.0f, 0.0f, 1.0f});
    scene.addLight(light);
    return light;
}

inline void clearFrame(float grey = 0.0f)
{
    glViewport(0, 0, 640, 480);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

inline Rgba centrePixel() { return readPixelFromTop(320, 240); }

// An uncompressed 24-bit TGA picture of one colour, as bytes.
inline std::string solidTga(int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;  // true colour, uncompressed
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 24;
    for (int i = 0; i < width * height; ++i) {
        bytes += static_cast<char>(b);
        bytes += static_cast<char>(g);
        bytes += static_cast<char>(r);
    }
    return bytes;
}
