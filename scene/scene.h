#pragma once
// Everything one scene file describes: a forest of nodes, the lists of
// cameras, lights, particle nodes and materials, fog and shadow settings and
// the animation clock. Built by the scene file reader, owned by the scene
// effect that loaded it. Needs the GL context of the thread that draws.
#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/color4.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/particle_node.h"
#include "scene/scene_node.h"

class Scene {
public:
    // Empty; notes whether depth textures can be rendered directly.
    Scene();
    // Deletes every node of every list and every material.
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Append to their lists and take ownership. addCamera makes the first
    // camera current; addLight numbers the light (0, 1, 2, ... in order),
    // sends its colours and switches it as its flag says.
    void addObject(SceneNode* node);
    void addParticleNode(ParticleNode* node);
    void addCamera(Camera* camera);
    void addLight(Light* light);
    void addMaterial(Material* material);

    SceneNode* firstObject() const { return objects_; }
    Camera* firstCamera() const { return cameras_; }
    Light* firstLight() const { return lights_; }
    ParticleNode* firstParticleNode() const { return particles_; }
    const std::vector<std::unique_ptr<Material>>& materials() const { return materials_; }
    int lightCount() const { return lightCount_; }
    // The first material with that id, or null.
    Material* findMaterial(int32_t id) const;

    // Id 0 is the first top-level object; otherwise objects, lights,
    // cameras, then particle nodes. Null when absent.
    SceneNode* findById(int32_t id) const;
    // Objects, lights, cameras, then particle nodes.
    SceneNode* findByName(const std::string& name) const;
    ParticleNode* findParticleNode(const std::string& name) const;
    Camera* findCamera(const std::string& name) const;
    Light* findLight(const std::string& name) const;

    // An empty name selects the first object; an unknown name selects none.
    void selectObject(const std::string& name);
    // The selected object, or the first object when none is selected.
    SceneNode* currentObject() const;
    // An empty name selects the first light; an unknown one selects none.
    void selectLight(const std::string& name);
    Light* currentLight() const;
    // An empty name selects the first camera; an unknown name keeps the
    // current one.
    void selectCamera(const std::string& name);
    // The next camera of the list, after the last the first.
    void nextCamera();
    Camera* currentCamera() const { return currentCamera_; }

    void setNearAll(float distance);
    void setFarAll(float distance);
    void setCulling(bool on) { culling_ = on; }
    void setFog(bool on) { fog_ = on; }
    void setFogColour(float r, float g, float b, float a) { fogColour_ = Color4{r, g, b, a}; }
    void setFogDensity(float density) { fogDensity_ = density; }
    void setFogRange(float start, float end)
    {
        fogStart_ = start;
        fogEnd_ = end;
    }
    // GL_EXP, GL_EXP2 or GL_LINEAR.
    void setFogMode(GLenum mode) { fogMode_ = mode; }
    bool culling() const { return culling_; }
    bool fog() const { return fog_; }
    const Color4& fogColour() const { return fogColour_; }
    float fogDensity() const { return fogDensity_; }
    float fogStart() const { return fogStart_; }
    float fogEnd() const { return fogEnd_; }
    GLenum fogMode() const { return fogMode_; }

    // Visibility (recursive) and wireframe of every object.
    void setAllVisible(bool visible);
    void setWireframeAll(bool on);

    // After loading: prepare every object; then bind them to the scene,
    // move transparent top-level objects to the end and mode-10 ones to the
    // front, and resolve camera and light targets.
    void prepareObjects();
    void bindObjects();

    // Draws one frame from the current camera; clears nothing. Without
    // objects or without a camera the program ends with a fatal error.
    // Each call is a new frame for the dynamic cube maps.
    void render();
    // Counts the calls of render(); 0 before the first.
    uint32_t frameNumber() const { return frameNumber_; }

    // Dynamic cube maps. While one mesh draws the scene into its cube map
    // no other cube map may be drawn inside it: mirrors facing mirrors
    // would otherwise multiply the work with every mirror added.
    // beginCubeMap returns false while another cube map is being drawn;
    // after true, endCubeMap must follow.
    bool beginCubeMap();
    void endCubeMap();
    bool drawingCubeMap() const { return drawingCubeMap_; }
    // Cube maps drawn since the current frame began.
    int cubeMapsThisFrame() const { return cubeMapsThisFrame_; }
    // Positions only, from the current camera.
    void renderDepthOnly();

    // Animation: the sample count and interval of the scene's sampled
    // controllers, and the time (in scene units) every sampled node takes
    // its pose for. Without an interval nothing moves.
    void setAnimation(int32_t count, int32_t interval);
    void setTime(float time);
    int32_t sampleIndex() const { return sampleIndex_; }
    int32_t sampleCount() const { return sampleCount_; }
    int32_t sampleInterval() const { return sampleInterval_; }

    // Shadows from the shadow caster light. Needs 4 texture units: with
    // fewer nothing changes. Marks every object as shadow receiver.
    void enableShadows(bool on);
    bool shadowsEnabled() const { return shadows_; }
    bool depthTextureSupport() const { return depthTextureSupport_; }
    // The first light flagged as shadow caster, or null.
    Light* shadowCaster() const;

private:
    void moveToEnd(SceneNode* node);
    void moveToFront(SceneNode* node);
    void shadowPass();
    void shadowCoordinatesOn();
    void shadowCoordinatesOff();

    SceneNode* objects_ = nullptr;
    SceneNode* currentObject_ = nullptr;
    ParticleNode* particles_ = nullptr;
    Camera* cameras_ = nullptr;
    Camera* currentCamera_ = nullptr;
    Light* lights_ = nullptr;
    Light* currentLight_ = nullptr;
    int lightCount_ = 0;
    std::vector<std::unique_ptr<Material>> materials_;

    int32_t sampleCount_ = 0;
    int32_t sampleIndex_ = 0;
    int32_t sampleInterval_ = 0;

    bool culling_ = true;
    bool fog_ = false;
    Color4 fogColour_{0.5f, 0.5f, 0.5f, 1.0f};
    float fogDensity_ = 1.0f;
    float fogStart_ = 0.0f;
    float fogEnd_ = 1.0f;
    GLenum fogMode_ = GL_EXP;

    uint32_t frameNumber_ = 0;
    int cubeMapsThisFrame_ = 0;
    bool drawingCubeMap_ = false;

    bool shadows_ = false;
    bool depthTextureSupport_ = false;
    float eyePlanes_[4][4] = {};
};
