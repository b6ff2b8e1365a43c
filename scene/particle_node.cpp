#include "scene/particle_node.h"

SceneNode* ParticleNode::clone() const
{
    auto* copy = new ParticleNode(id(), name());
    copyFieldsTo(*copy);
    copy->lastTime_ = lastTime_;
    copy->timeDivisor_ = timeDivisor_;
    cloneChildrenTo(*copy);
    return copy;
}
