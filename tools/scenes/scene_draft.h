#pragma once
// A scene being put together: nodes, materials, cameras, lights and baked
// animation, handed out ids, and written in an order a reader can follow
// (materials, then objects with every parent before its children, particle
// systems, cameras, lights, and last the controllers, whose owners must
// already be known when they are read).
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "tools/scenes/geometry.h"

namespace scenegen {

// Where a node is and how it is turned, in its parent's frame.
struct Pose {
    Float3 position;
    Rotation rotation;
};

// Texture names are stored as the modelling package kept them: a full
// Windows path, of which the player keeps only the file name.
std::string storedTexture(const std::string& file);

class SceneDraft {
public:
    // Every animated node is sampled `sampleCount` times, `interval` scene
    // time units apart (the whole scene shares one clock).
    SceneDraft(int32_t interval, int32_t sampleCount);

    // Each add returns the id it gave (materials count from 0, every other
    // kind shares one sequence of ids from 10 up).
    int32_t addMaterial(scenefile::Material material);
    // keepSecondSet: keep the set-2 coordinates (light-mapped meshes);
    // otherwise they are dropped and the faces' set-2 indices are 0.
    int32_t addMesh(scenefile::Mesh mesh, int32_t parentId, const Pose& pose, bool keepSecondSet = false);
    int32_t addDummy(const std::string& name, int32_t parentId, const Pose& pose);
    int32_t addTarget(const std::string& name, Float3 position);
    int32_t addParticleSystem(const std::string& name, Float3 position);
    int32_t addCamera(const std::string& name, Float3 position, float fov, int32_t targetId);
    int32_t addLight(scenefile::Light light);

    // Bakes the node's pose at every sample time (interval × k).
    void animate(int32_t id, const std::function<Pose(float time)>& pose);
    // Key tracks are stored in the file but not played back; a node that
    // also has samples gets its keys written before them.
    void addKeys(int32_t id, std::vector<scenefile::PositionKey> position, std::vector<scenefile::RotationKey> rotation);

    int32_t interval() const { return interval_; }
    int32_t sampleCount() const { return sampleCount_; }
    // Scene time of the last sample.
    float length() const { return static_cast<float>(interval_ * (sampleCount_ - 1)); }

    // The whole file; false with error set when a record does not fit the format.
    bool encode(std::vector<uint8_t>& out, std::string& error) const;

private:
    struct Track {
        int32_t owner;
        std::vector<scenefile::Sample> samples;
    };
    struct Keys {
        int32_t owner;
        std::vector<scenefile::PositionKey> position;
        std::vector<scenefile::RotationKey> rotation;
    };
    struct TargetObject {
        scenefile::Point point;
    };
    using Object = std::variant<scenefile::Mesh, scenefile::Dummy, TargetObject>;

    int32_t interval_;
    int32_t sampleCount_;
    int32_t nextId_ = 10;
    std::vector<scenefile::Material> materials_;
    std::vector<Object> objects_;
    std::vector<scenefile::Point> particles_;
    std::vector<scenefile::Camera> cameras_;
    std::vector<scenefile::Light> lights_;
    std::vector<Keys> keys_;
    std::vector<Track> tracks_;
};

}  // namespace scenegen
