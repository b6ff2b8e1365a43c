#include "scene/scene_node.h"

#include <GL/gl.h>

#include <algorithm>

#include "scene/material.h"

SceneNode::~SceneNode() { deleteNodeChain(firstChild_); }

void deleteNodeChain(SceneNode* head)
{
    // Iterative over the chain so that long lists do not nest destructors.
    while (head != nullptr) {
        SceneNode* following = head->next();
        head->unlink();
        delete head;
        head = following;
    }
}

void SceneNode::copyFieldsTo(SceneNode& copy) const
{
    copy.rotation_ = rotation_;
    copy.rotationDegrees_ = rotationDegrees_;
    copy.position_ = position_;
    copy.scale_ = scale_;
    copy.visible_ = visible_;
    copy.controller_ = controller_;
    copy.positionKeys_ = positionKeys_;
    copy.rotationKeys_ = rotationKeys_;
    copy.samplePositions_ = samplePositions_;
    copy.sampleRotations_ = sampleRotations_;
    copy.sampleInterval_ = sampleInterval_;
}

void SceneNode::cloneChildrenTo(SceneNode& copy) const
{
    for (const SceneNode* child = firstChild_; child != nullptr; child = child->next_)
        copy.addChild(child->clone());
}

SceneNode* SceneNode::clone() const
{
    auto* copy = new SceneNode(id_, name_);
    copyFieldsTo(*copy);
    cloneChildrenTo(*copy);
    return copy;
}

SceneNode* Dummy::clone() const
{
    auto* copy = new Dummy(id(), name());
    copyFieldsTo(*copy);
    cloneChildrenTo(*copy);
    return copy;
}

SceneNode* TargetNode::clone() const
{
    auto* copy = new TargetNode(id(), name());
    copyFieldsTo(*copy);
    cloneChildrenTo(*copy);
    return copy;
}

void SceneNode::setWireframe(bool on)
{
    if (Material* m = material())
        m->setWireframe(on);
    forward([on](SceneNode& n) { n.setWireframe(on); });
}

void SceneNode::unlink()
{
    if (previous_ != nullptr)
        previous_->next_ = next_;
    if (next_ != nullptr)
        next_->previous_ = previous_;
    previous_ = nullptr;
    next_ = nullptr;
}

void SceneNode::linkAfter(SceneNode* node)
{
    node->next_ = next_;
    node->previous_ = this;
    if (next_ != nullptr)
        next_->previous_ = node;
    next_ = node;
}

void SceneNode::linkBefore(SceneNode* node)
{
    node->previous_ = previous_;
    node->next_ = this;
    if (previous_ != nullptr)
        previous_->next_ = node;
    previous_ = node;
}

void SceneNode::addChild(SceneNode* child)
{
    if (firstChild_ == nullptr) {
        firstChild_ = child;
        return;
    }
    SceneNode* last = firstChild_;
    while (last->next_ != nullptr)
        last = last->next_;
    last->linkAfter(child);
}

SceneNode* SceneNode::findById(int32_t id)
{
    for (SceneNode* node = this; node != nullptr; node = node->next_) {
        if (node->id_ == id)
            return node;
        if (node->firstChild_ != nullptr)
            if (SceneNode* found = node->firstChild_->findById(id))
                return found;
    }
    return nullptr;
}

SceneNode* SceneNode::findByName(const std::string& name)
{
    for (SceneNode* node = this; node != nullptr; node = node->next_) {
        if (node->name_ == name)
            return node;
        if (node->firstChild_ != nullptr)
            if (SceneNode* found = node->firstChild_->findByName(name))
                return found;
    }
    return nullptr;
}

void SceneNode::setVisible(bool visible, bool recursive)
{
    visible_ = visible;
    if (recursive)
        forward([visible](SceneNode& n) { n.setVisible(visible, true); });
}

void SceneNode::setRotationDegrees(float x, float y, float z)
{
    rotationDegrees_.set(x, y, z);
    rotation_.eulerMatrix(degreesToRadians(x), degreesToRadians(y), degreesToRadians(z));
}

void SceneNode::renderTree() { traverse(&SceneNode::draw); }

void SceneNode::renderDepthTree() { traverse(&SceneNode::drawDepth); }

void SceneNode::traverse(void (SceneNode::*drawing)())
{
    for (SceneNode* node = this; node != nullptr; node = node->next_) {
        glPushMatrix();
        glTranslatef(node->position_.x, node->position_.y, node->position_.z);
        glMultMatrixf(node->rotation_.m);
        glScalef(node->scale_.x, node->scale_.y, node->scale_.z);
        if (node->visible_)
            (node->*drawing)();
        if (node->firstChild_ != nullptr)
            node->firstChild_->traverse(drawing);
        glPopMatrix();
    }
}

void SceneNode::setPositionKeys(std::vector<PositionKey> keys)
{
    positionKeys_ = std::move(keys);
    controller_ = Controller::keys;
}

void SceneNode::setRotationKeys(std::vector<RotationKey> keys)
{
    rotationKeys_ = std::move(keys);
    controller_ = Controller::keys;
}

void SceneNode::setSamplePositions(std::vector<Vec3> positions)
{
    samplePositions_ = std::move(positions);
    controller_ = Controller::samples;
}

void SceneNode::setSampleRotations(std::vector<Quaternion> rotations)
{
    sampleRotations_ = std::move(rotations);
    controller_ = Controller::samples;
}

int32_t SceneNode::sampleCount() const
{
    return static_cast<int32_t>(std::min(samplePositions_.size(), sampleRotations_.size()));
}

void SceneNode::applyOwnSample(int32_t index, float fraction)
{
    const int32_t count = sampleCount();
    // A sampled node without samples has no pose to take.
    if (controller_ != Controller::samples || count == 0)
        return;
    const int32_t i = std::clamp(index, 0, count - 1);
    const size_t at = static_cast<size_t>(i);
    if (i == count - 1) {
        position_ = samplePositions_[at];
        rotation_ = sampleRotations_[at].toMatrix();
        return;
    }
    rotation_ = Quaternion::slerp(sampleRotations_[at], sampleRotations_[at + 1], fraction, 0).toMatrix();
    position_.lerp(samplePositions_[at], samplePositions_[at + 1], fraction);
}

void SceneNode::applySample(int32_t index, float fraction)
{
    applyOwnSample(index, fraction);
    forward([index, fraction](SceneNode& n) { n.applySample(index, fraction); });
}
