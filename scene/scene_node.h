#pragma once
// The nodes of a scene: a forest of sibling chains, each node owning its
// children. Operations on a node "forward" to its first child and then to its
// next sibling, so one call on a list head reaches the whole list and every
// descendant; one call on a node inside a list reaches its subtree and all
// the siblings after it.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/animation_keys.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"
#include "scene/vec3.h"

class Material;
class Scene;

class SceneNode {
public:
    enum class Controller { none = 0, keys = 1, samples = 2 };

    SceneNode(int32_t id, const std::string& name) : name_(name), id_(id) {}
    // Deletes the children (the whole child chain); siblings belong to
    // whoever holds the list.
    virtual ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Draws the node itself in its own frame (the traversal has applied
    // the transform). Nothing for grouping nodes.
    virtual void draw() {}
    // Draws positions only, for depth passes.
    virtual void drawDepth() {}
    // A new node of the same class with the same fields, children cloned
    // and attached; not linked to any sibling.
    virtual SceneNode* clone() const;
    // After loading: derived data (normals) of this subtree and the
    // following siblings.
    virtual void prepare() { forward([](SceneNode& n) { n.prepare(); }); }
    // After loading: resolves references into the scene (materials).
    virtual void bindScene(Scene& scene) { forward([&scene](SceneNode& n) { n.bindScene(scene); }); }
    virtual void setShadowReceiver(bool on) { forward([on](SceneNode& n) { n.setShadowReceiver(on); }); }
    virtual void setMark(bool on) { forward([on](SceneNode& n) { n.setMark(on); }); }
    virtual void assignMaterial(Material* m) { forward([m](SceneNode& n) { n.assignMaterial(m); }); }
    // The material that draws the node; null for nodes without one.
    virtual Material* material() { return nullptr; }
    // Wireframe flag on the node's material (if any), then forwarded.
    virtual void setWireframe(bool on);
    virtual void setMaterialMode(int mode) { forward([mode](SceneNode& n) { n.setMaterialMode(mode); }); }

    // Sibling chain and children. addChild appends at the end of the child
    // chain and takes ownership.
    void addChild(SceneNode* child);
    SceneNode* next() const { return next_; }
    SceneNode* previous() const { return previous_; }
    SceneNode* firstChild() const { return firstChild_; }

    // Depth first: this node, its subtree, then the following siblings
    // with theirs. Null when nothing matches.
    SceneNode* findById(int32_t id);
    SceneNode* findByName(const std::string& name);

    // Sets the flag; when recursive also on the subtree and every
    // following sibling with theirs.
    void setVisible(bool visible, bool recursive);
    bool visible() const { return visible_; }

    // For each node of the chain starting here: push, translate, rotate,
    // scale, draw when visible, children, pop.
    void renderTree();
    // The same with drawDepth.
    void renderDepthTree();

    void setPosition(float x, float y, float z) { position_.set(x, y, z); }
    void setPosition(const Vec3& p) { position_ = p; }
    void setScale(float x, float y, float z) { scale_.set(x, y, z); }
    void setRotationMatrix(const Matrix4& m) { rotation_ = m; }
    // Keeps the angles (degrees) and sets the matrix to their Euler
    // rotation.
    void setRotationDegrees(float x, float y, float z);
    const Vec3& position() const { return position_; }
    const Vec3& scale() const { return scale_; }
    const Matrix4& rotationMatrix() const { return rotation_; }
    const Vec3& rotationDegrees() const { return rotationDegrees_; }

    const std::string& name() const { return name_; }
    int32_t id() const { return id_; }

    // Animation. Keys are stored but not played; samples are played by
    // applySample. Storing keys or samples sets the controller kind.
    void setPositionKeys(std::vector<PositionKey> keys);
    void setRotationKeys(std::vector<RotationKey> keys);
    void setSamplePositions(std::vector<Vec3> positions);
    void setSampleRotations(std::vector<Quaternion> rotations);
    void setSampleInterval(int32_t interval) { sampleInterval_ = interval; }
    Controller controller() const { return controller_; }
    const std::vector<PositionKey>& positionKeys() const { return positionKeys_; }
    const std::vector<RotationKey>& rotationKeys() const { return rotationKeys_; }
    int32_t sampleCount() const;
    int32_t sampleInterval() const { return sampleInterval_; }
    // Sampled nodes of this subtree and the following siblings take the
    // pose between samples index and index + 1 (the last sample from
    // there on). Nodes without samples keep their transform.
    void applySample(int32_t index, float fraction);

    // List surgery for the owner of a chain: unlinks this node from its
    // neighbours (the caller fixes a head that pointed here), or links
    // the unlinked `node` after this one.
    void unlink();
    void linkAfter(SceneNode* node);
    // Links `node` before this one.
    void linkBefore(SceneNode* node);

protected:
    // Copies every field but the links and children.
    void copyFieldsTo(SceneNode& copy) const;
    // Clones every child of this node under copy.
    void cloneChildrenTo(SceneNode& copy) const;

    template <typename Operation>
    void forward(Operation operation)
    {
        if (firstChild_ != nullptr)
            operation(*firstChild_);
        if (next_ != nullptr)
            operation(*next_);
    }

private:
    // The drawing traversal with `drawing` as each visible node's part.
    void traverse(void (SceneNode::*drawing)());
    void applyOwnSample(int32_t index, float fraction);

    std::string name_;
    int32_t id_;
    SceneNode* next_ = nullptr;
    SceneNode* previous_ = nullptr;
    SceneNode* firstChild_ = nullptr;
    Matrix4 rotation_;
    Vec3 rotationDegrees_;
    Vec3 position_;
    Vec3 scale_{1.0f, 1.0f, 1.0f};
    bool visible_ = true;

    Controller controller_ = Controller::none;
    std::vector<PositionKey> positionKeys_;
    std::vector<RotationKey> rotationKeys_;
    std::vector<Vec3> samplePositions_;
    std::vector<Quaternion> sampleRotations_;
    int32_t sampleInterval_ = 0;
};

// A grouping node: no drawing, only a transform and animation.
class Dummy : public SceneNode {
public:
    using SceneNode::SceneNode;
    SceneNode* clone() const override;
};

// A look-at point for cameras and lights; also a temporary aiming node.
class TargetNode : public SceneNode {
public:
    using SceneNode::SceneNode;
    SceneNode* clone() const override;
};

// Deletes a whole sibling chain starting at head, with every descendant.
void deleteNodeChain(SceneNode* head);
