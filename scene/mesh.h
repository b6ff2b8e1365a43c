#pragma once
// The scene node that carries triangles: smoothed normals from smoothing
// groups, a tangent frame per vertex, flat draw arrays (three entries per
// face) and drawing with the mesh's material in all its modes.
#include <array>
#include <cstdint>
#include <vector>

#include "scene/color4.h"
#include "scene/scene_node.h"

class Scene;
class Material;

struct MeshVertex {
    Vec3 position;
    Color4 colour;
    Vec3 normal;
    Vec3 eyeNormal;  // per-frame work value for generated coordinates
    Vec3 tangent;
    Vec3 binormal;
    Vec3 lightVector;  // per-frame work value for bump mapping
};

struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

struct FaceCorner {
    int32_t vertex = 0;
    int32_t coord1 = 0;  // index into set 1 (meaningless when the set is empty)
    int32_t coord2 = 0;
    Vec3 normal;
};

struct Face {
    std::array<FaceCorner, 3> corners;
    Vec3 normal;
    int32_t materialId = 0;
    Material* material = nullptr;
    int materialMode = 0;
    int32_t smoothing = 0;
};

class Mesh : public SceneNode {
public:
    using SceneNode::SceneNode;
    SceneNode* clone() const override;

    // Geometry as read from a file. Texture coordinates are kept as given
    // (the reader has negated v). The caller guarantees that every face
    // index lies inside its array (an empty coordinate set is not indexed).
    void setGeometry(std::vector<MeshVertex> vertices, std::vector<TexCoord> coords1, std::vector<TexCoord> coords2,
                     std::vector<Face> faces);
    const std::vector<MeshVertex>& vertices() const { return vertices_; }
    const std::vector<Face>& faces() const { return faces_; }
    const std::vector<TexCoord>& coords1() const { return coords1_; }

    void draw() override;
    void drawDepth() override;
    // Normals, tangent frames and corner normals; then forwarded.
    void prepare() override;
    // Resolves every face's material by id (an unknown id ends the program
    // with "face material not found: %d\n"), takes the first face's
    // material, builds the arrays; then forwarded.
    void bindScene(Scene& scene) override;
    void setShadowReceiver(bool on) override;
    // Every face (and so the mesh) draws with m from now on; forwarded.
    void assignMaterial(Material* m) override;
    Material* material() override;
    // Mode of the mesh material and of every face's material; forwarded.
    void setMaterialMode(int mode) override;
    // The flat arrays: entry 3i + c is corner c of face i.
    void buildArrays();

    bool shadowReceiver() const { return shadowReceiver_; }
    const std::vector<float>& positionArray() const { return positions_; }
    const std::vector<float>& normalArray() const { return normals_; }

private:
    void computeGeneratedCoordinates();
    void computeBumpVectors();
    void drawArrays(bool withBump);
    void drawOutline();
    void drawShadowPass();
    // Draws the scene into the material's cube map, at most once a scene
    // frame and never inside another cube map (which keeps using the
    // shared cube texture as it is).
    void updateCubeMap();
    void renderCubeMap();

    std::vector<MeshVertex> vertices_;
    std::vector<TexCoord> coords1_;
    std::vector<TexCoord> coords2_;
    std::vector<Face> faces_;
    Material* material_ = nullptr;
    Scene* scene_ = nullptr;
    SceneNode* bumpLight_ = nullptr;
    bool shadowReceiver_ = false;
    bool drawingCubeMap_ = false;
    // The scene frame whose cube map this mesh last drew (frames count
    // from 1, so 0 is none yet).
    uint32_t cubeMapFrame_ = 0;

    std::vector<uint32_t> indices_;
    std::vector<float> positions_;
    std::vector<float> normals_;
    std::vector<float> texCoords1_;
    std::vector<float> texCoords2_;
    std::vector<float> generated_;
    std::vector<float> bump_;
};
