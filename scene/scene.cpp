#include "scene/scene.h"

#include "shell/error_report.h"
#include "shell/extensions.h"

namespace {

template <typename NodeClass>
void append(NodeClass*& head, NodeClass* node)
{
    if (head == nullptr) {
        head = node;
        return;
    }
    SceneNode* last = head;
    while (last->next() != nullptr)
        last = last->next();
    last->linkAfter(node);
}

template <typename NodeClass>
NodeClass* nextOf(const NodeClass* node)
{
    return static_cast<NodeClass*>(node->next());
}

// Exact name match within one list only (not the children).
template <typename NodeClass>
NodeClass* findInList(NodeClass* head, const std::string& name)
{
    for (NodeClass* node = head; node != nullptr; node = nextOf(node))
        if (node->name() == name)
            return node;
    return nullptr;
}

}  // namespace

Scene::Scene() { depthTextureSupport_ = Extensions::has("WGL_NV_render_depth_texture"); }

Scene::~Scene()
{
    deleteNodeChain(objects_);
    deleteNodeChain(particles_);
    deleteNodeChain(cameras_);
    deleteNodeChain(lights_);
}

void Scene::addObject(SceneNode* node) { append(objects_, node); }

void Scene::addParticleNode(ParticleNode* node) { append(particles_, node); }

void Scene::addCamera(Camera* camera)
{
    append(cameras_, camera);
    if (currentCamera_ == nullptr)
        currentCamera_ = camera;
}

void Scene::addLight(Light* light)
{
    append(lights_, light);
    light->setLightNumber(lightCount_);
    light->sendColours();
    light->setEnabled(light->enabled());
    ++lightCount_;
}

void Scene::addMaterial(Material* material) { materials_.emplace_back(material); }

Material* Scene::findMaterial(int32_t id) const
{
    for (const auto& m : materials_)
        if (m->id() == id)
            return m.get();
    return nullptr;
}

SceneNode* Scene::findById(int32_t id) const
{
    if (id == 0)
        return objects_;
    for (SceneNode* head : {objects_, static_cast<SceneNode*>(lights_), static_cast<SceneNode*>(cameras_),
                            static_cast<SceneNode*>(particles_)})
        if (head != nullptr)
            if (SceneNode* found = head->findById(id))
                return found;
    return nullptr;
}

SceneNode* Scene::findByName(const std::string& name) const
{
    for (SceneNode* head : {objects_, static_cast<SceneNode*>(lights_), static_cast<SceneNode*>(cameras_),
                            static_cast<SceneNode*>(particles_)})
        if (head != nullptr)
            if (SceneNode* found = head->findByName(name))
                return found;
    return nullptr;
}

ParticleNode* Scene::findParticleNode(const std::string& name) const { return findInList(particles_, name); }
Camera* Scene::findCamera(const std::string& name) const { return findInList(cameras_, name); }
Light* Scene::findLight(const std::string& name) const { return findInList(lights_, name); }

void Scene::selectObject(const std::string& name)
{
    currentObject_ = name.empty() ? objects_ : (objects_ != nullptr ? objects_->findByName(name) : nullptr);
}

SceneNode* Scene::currentObject() const { return currentObject_ != nullptr ? currentObject_ : objects_; }

void Scene::selectLight(const std::string& name) { currentLight_ = name.empty() ? lights_ : findLight(name); }

Light* Scene::currentLight() const { return currentLight_ != nullptr ? currentLight_ : lights_; }

void Scene::selectCamera(const std::string& name)
{
    if (name.empty()) {
        currentCamera_ = cameras_;
        return;
    }
    if (Camera* found = findCamera(name))
        currentCamera_ = found;
}

void Scene::nextCamera()
{
    if (currentCamera_ == nullptr)
        return;
    Camera* following = nextOf(currentCamera_);
    currentCamera_ = following != nullptr ? following : cameras_;
}

void Scene::setNearAll(float distance)
{
    for (Camera* c = cameras_; c != nullptr; c = nextOf(c))
        c->setNear(distance);
}

void Scene::setFarAll(float distance)
{
    for (Camera* c = cameras_; c != nullptr; c = nextOf(c))
        c->setFar(distance);
}

void Scene::setAllVisible(bool visible)
{
    if (objects_ != nullptr)
        objects_->setVisible(visible, true);
}

void Scene::setWireframeAll(bool on)
{
    if (objects_ != nullptr)
        objects_->setWireframe(on);
}

void Scene::prepareObjects()
{
    if (objects_ != nullptr)
        objects_->prepare();
}

void Scene::moveToEnd(SceneNode* node)
{
    if (node->next() == nullptr)
        return;
    if (objects_ == node)
        objects_ = node->next();
    node->unlink();
    append(objects_, node);
}

void Scene::moveToFront(SceneNode* node)
{
    if (objects_ == node)
        return;
    node->unlink();
    objects_->linkBefore(node);
    objects_ = node;
}

void Scene::bindObjects()
{
    if (objects_ != nullptr)
        objects_->bindScene(*this);

    // Transparent objects go last and mode-10 objects first, each group in
    // its original order.
    std::vector<SceneNode*> order;
    for (SceneNode* n = objects_; n != nullptr; n = n->next())
        order.push_back(n);
    for (SceneNode* n : order)
        if (Material* m = n->material(); m != nullptr && m->transparent())
            moveToEnd(n);
    std::vector<SceneNode*> mirrors;
    for (SceneNode* n = objects_; n != nullptr; n = n->next())
        if (Material* m = n->material(); m != nullptr && m->mode() == 10)
            mirrors.push_back(n);
    for (auto it = mirrors.rbegin(); it != mirrors.rend(); ++it)
        moveToFront(*it);

    for (Camera* c = cameras_; c != nullptr; c = nextOf(c))
        c->setTarget(findById(c->targetId()));
    currentCamera_ = cameras_;
    for (Light* l = lights_; l != nullptr; l = nextOf(l))
        if (l->targetId() != 0)
            l->setTarget(findById(l->targetId()));
    currentLight_ = lights_;
}

void Scene::render()
{
    if (objects_ == nullptr)
        reportError("no objects in scene", -1, true);
    if (currentCamera_ == nullptr)
        reportError("no current camera", -1, true);
    if (objects_ == nullptr || currentCamera_ == nullptr)
        return;
    ++frameNumber_;
    cubeMapsThisFrame_ = 0;

    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    for (int i = 0; i < Light::maxLights(); ++i)
        glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
    glEnable(GL_DEPTH_TEST);
    if (culling_) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
    if (fog_) {
        glEnable(GL_FOG);
        const GLfloat colour[4] = {fogColour_.r, fogColour_.g, fogColour_.b, fogColour_.a};
        glFogfv(GL_FOG_COLOR, colour);
        glFogi(GL_FOG_MODE, static_cast<GLint>(fogMode_));
        if (fogMode_ == GL_LINEAR) {
            glFogf(GL_FOG_START, fogStart_);
            glFogf(GL_FOG_END, fogEnd_);
        } else {
            glFogf(GL_FOG_DENSITY, fogDensity_);
        }
    }
    if (shadows_)
        shadowPass();

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    currentCamera_->apply();
    if (shadows_)
        shadowCoordinatesOn();
    if (lights_ != nullptr) {
        for (Light* l = lights_; l != nullptr; l = nextOf(l))
            l->setupFrame();
        lights_->renderTree();
    }
    objects_->renderTree();
    if (particles_ != nullptr)
        particles_->renderTree();
    if (shadows_)
        shadowCoordinatesOff();
    if (fog_)
        glDisable(GL_FOG);
}

bool Scene::beginCubeMap()
{
    if (drawingCubeMap_)
        return false;
    drawingCubeMap_ = true;
    ++cubeMapsThisFrame_;
    return true;
}

void Scene::endCubeMap() { drawingCubeMap_ = false; }

void Scene::renderDepthOnly()
{
    if (currentCamera_ == nullptr || objects_ == nullptr)
        return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    currentCamera_->apply();
    objects_->renderDepthTree();
}

void Scene::setAnimation(int32_t count, int32_t interval)
{
    sampleCount_ = count;
    sampleInterval_ = interval;
}

void Scene::setTime(float time)
{
    // Without sampled controllers (or with a damaged interval of 0) there is
    // no clock to follow and every node keeps its pose.
    if (sampleInterval_ <= 0)
        return;
    const float interval = static_cast<float>(sampleInterval_);
    const float steps = time / interval;
    // Far beyond any sample: hold the last pose rather than overflow.
    const int32_t index = !(steps > 0.0f) ? 0 : steps >= 2.0e9f ? 2000000000 : static_cast<int32_t>(steps);
    sampleIndex_ = index;
    const float fraction = (time - static_cast<float>(index) * interval) / interval;
    for (SceneNode* head : {objects_, static_cast<SceneNode*>(cameras_), static_cast<SceneNode*>(lights_),
                            static_cast<SceneNode*>(particles_)})
        if (head != nullptr)
            head->applySample(index, fraction);
}

Light* Scene::shadowCaster() const
{
    for (Light* l = lights_; l != nullptr; l = nextOf(l))
        if (l->shadowCaster())
            return l;
    return nullptr;
}
