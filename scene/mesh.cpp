#include "scene/mesh.h"

#include "resources/targets/render_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "scene/material.h"
#include "scene/scene.h"
#include "shell/error_report.h"
#include "shell/extensions.h"
#include "shell/glwindow.h"

namespace {

void clientUnit(int unit)
{
    if (ext::glClientActiveTextureARB != nullptr)
        ext::glClientActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
}

void coordinateArray(int unit, int components, const std::vector<float>& values)
{
    clientUnit(unit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(components, GL_FLOAT, 0, values.data());
}

Vec3 minus(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }

Vec3 scaled(Vec3 v, float f)
{
    v.scale(f);
    return v;
}

// The face's smoothing groups as a bit set; no group at all means group 0.
uint32_t groupsOf(const Face& face)
{
    const auto mask = static_cast<uint32_t>(face.smoothing);
    return mask != 0 ? mask : 1u;
}

}  // namespace

SceneNode* Mesh::clone() const
{
    auto* copy = new Mesh(id(), name());
    copyFieldsTo(*copy);
    copy->vertices_ = vertices_;
    copy->coords1_ = coords1_;
    copy->coords2_ = coords2_;
    copy->faces_ = faces_;
    copy->material_ = material_;
    copy->scene_ = scene_;
    copy->bumpLight_ = bumpLight_;
    copy->shadowReceiver_ = shadowReceiver_;
    copy->buildArrays();
    cloneChildrenTo(*copy);
    return copy;
}

void Mesh::setGeometry(std::vector<MeshVertex> vertices, std::vector<TexCoord> coords1,
                       std::vector<TexCoord> coords2, std::vector<Face> faces)
{
    vertices_ = std::move(vertices);
    coords1_ = std::move(coords1);
    coords2_ = std::move(coords2);
    faces_ = std::move(faces);
}

void Mesh::prepare()
{
    struct GroupNormals {
        std::array<Vec3, 32> normals;
    };
    std::vector<GroupNormals> groups(vertices_.size());
    for (MeshVertex& v : vertices_) {
        v.normal = Vec3();
        v.tangent = Vec3();
        v.binormal = Vec3();
    }
    for (Face& face : faces_) {
        const MeshVertex& a = vertices_[static_cast<size_t>(face.corners[0].vertex)];
        const MeshVertex& b = vertices_[static_cast<size_t>(face.corners[1].vertex)];
        const MeshVertex& c = vertices_[static_cast<size_t>(face.corners[2].vertex)];
        const Vec3 e1 = minus(b.position, a.position);
        const Vec3 e2 = minus(c.position, a.position);
        face.normal.cross(e1, e2);
        face.normal.normalize();
        // Without set-1 coordinates there is nothing to orient a tangent
        // frame by: tangents and binormals stay zero.
        Vec3 tangent, binormal;
        if (!coords1_.empty()) {
            const TexCoord& t0 = coords1_[static_cast<size_t>(face.corners[0].coord1)];
            const TexCoord& t1 = coords1_[static_cast<size_t>(face.corners[1].coord1)];
            const TexCoord& t2 = coords1_[static_cast<size_t>(face.corners[2].coord1)];
            binormal = scaled(e1, t0.v - t1.v);
            binormal.add(scaled(e2, t2.v - t0.v));
            binormal.normalize();
            tangent = scaled(e1, t0.u - t1.u);
            tangent.add(scaled(e2, t2.u - t0.u));
            tangent.normalize();
            Vec3 side;
            side.cross(tangent, binormal);
            if (side.dot(face.normal) < 0.0f) {
                tangent.scale(-1.0f);
                binormal.scale(-1.0f);
            }
        }
        const uint32_t mask = groupsOf(face);
        for (const FaceCorner& corner : face.corners) {
            const auto at = static_cast<size_t>(corner.vertex);
            MeshVertex& v = vertices_[at];
            v.normal.add(face.normal);
            v.binormal.add(binormal);
            v.tangent.add(tangent);
            for (int g = 0; g < 32; ++g)
                if ((mask >> g) & 1u)
                    groups[at].normals[static_cast<size_t>(g)].add(face.normal);
        }
    }
    for (MeshVertex& v : vertices_) {
        v.normal.normalize();
        v.tangent.normalize();
        v.binormal.normalize();
    }
    for (GroupNormals& g : groups)
        for (Vec3& n : g.normals)
            n.normalize();
    // A face in several groups ends with the normal of its highest group.
    for (Face& face : faces_) {
        const uint32_t mask = groupsOf(face);
        int highest = 31;
        while (((mask >> highest) & 1u) == 0)
            --highest;
        for (FaceCorner& corner : face.corners)
            corner.normal = groups[static_cast<size_t>(corner.vertex)].normals[static_cast<size_t>(highest)];
    }
    SceneNode::prepare();
}

void Mesh::bindScene(Scene& scene)
{
    scene_ = &scene;
    bumpLight_ = scene.currentLight();
    for (Face& face : faces_) {
        face.material = scene.findMaterial(face.materialId);
        if (face.material == nullptr) {
            const std::string text = "face material not found: " + std::to_string(face.materialId) + "\n";
            reportError(text.c_str(), -1, true);
            return;
        }
        face.materialMode = face.material->mode();
    }
    material_ = faces_.empty() ? nullptr : faces_.front().material;
    buildArrays();
    SceneNode::bindScene(scene);
}

void Mesh::setShadowReceiver(bool on)
{
    SceneNode::setShadowReceiver(on);
    shadowReceiver_ = on;
}

void Mesh::assignMaterial(Material* m)
{
    SceneNode::assignMaterial(m);
    for (Face& face : faces_)
        face.material = m;
    if (!faces_.empty())
        material_ = m;
}

Material* Mesh::material()
{
    if (material_ != nullptr)
        return material_;
    return faces_.empty() ? nullptr : faces_.front().material;
}

void Mesh::setMaterialMode(int mode)
{
    SceneNode::setMaterialMode(mode);
    if (material_ != nullptr)
        material_->setMode(mode);
    for (Face& face : faces_) {
        if (face.material != nullptr && face.material != material_)
            face.material->setMode(mode);
        face.materialMode = mode;
    }
}

void Mesh::buildArrays()
{
    const size_t entries = faces_.size() * 3;
    indices_.resize(entries);
    positions_.resize(entries * 3);
    normals_.resize(entries * 3);
    texCoords1_.assign(coords1_.empty() ? 0 : entries * 2, 0.0f);
    texCoords2_.assign(coords2_.empty() ? 0 : entries * 2, 0.0f);
    for (size_t i = 0; i < faces_.size(); ++i) {
        for (size_t c = 0; c < 3; ++c) {
            const size_t e = i * 3 + c;
            const FaceCorner& corner = faces_[i].corners[c];
            indices_[e] = static_cast<uint32_t>(e);
            const Vec3& p = vertices_[static_cast<size_t>(corner.vertex)].position;
            positions_[e * 3] = p.x;
            positions_[e * 3 + 1] = p.y;
            positions_[e * 3 + 2] = p.z;
            normals_[e * 3] = corner.normal.x;
            normals_[e * 3 + 1] = corner.normal.y;
            normals_[e * 3 + 2] = corner.normal.z;
            if (!coords1_.empty()) {
                const TexCoord& t = coords1_[static_cast<size_t>(corner.coord1)];
                texCoords1_[e * 2] = t.u;
                texCoords1_[e * 2 + 1] = t.v;
            }
            if (!coords2_.empty()) {
                const TexCoord& t = coords2_[static_cast<size_t>(corner.coord2)];
                texCoords2_[e * 2] = t.u;
                texCoords2_[e * 2 + 1] = t.v;
            }
        }
    }
}

void Mesh::computeGeneratedCoordinates()
{
    Matrix4 m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
    for (MeshVertex& v : vertices_) {
        const Vec3& n = v.normal;
        v.eyeNormal.set((m.get(0, 0) * n.x + m.get(1, 0) * n.y + m.get(2, 0) * n.z) * 0.5f + 0.5f,
                        (m.get(0, 1) * n.x + m.get(1, 1) * n.y + m.get(2, 1) * n.z) * 0.5f + 0.5f,
                        (m.get(0, 2) * n.x + m.get(1, 2) * n.y + m.get(2, 2) * n.z) * 0.5f + 0.5f);
    }
    generated_.resize(faces_.size() * 6);
    for (size_t i = 0; i < faces_.size(); ++i)
        for (size_t c = 0; c < 3; ++c) {
            const Vec3& e = vertices_[static_cast<size_t>(faces_[i].corners[c].vertex)].eyeNormal;
            generated_[(i * 3 + c) * 2] = e.x;
            generated_[(i * 3 + c) * 2 + 1] = e.y;
        }
}

void Mesh::computeBumpVectors()
{
    const Vec3 light = bumpLight_ != nullptr ? bumpLight_->position() : Vec3(60.0f, 90.0f, 100.0f);
    Matrix4 m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
    // The transpose of the rotation part turns the light into object space.
    const Vec3 local(m.get(0, 0) * light.x + m.get(0, 1) * light.y + m.get(0, 2) * light.z,
                     m.get(1, 0) * light.x + m.get(1, 1) * light.y + m.get(1, 2) * light.z,
                     m.get(2, 0) * light.x + m.get(2, 1) * light.y + m.get(2, 2) * light.z);
    for (MeshVertex& v : vertices_) {
        const Vec3 d = minus(local, v.position);
        v.lightVector.set(d.dot(v.tangent), d.dot(v.binormal), d.dot(v.normal));
    }
    bump_.resize(faces_.size() * 9);
    for (size_t i = 0; i < faces_.size(); ++i)
        for (size_t c = 0; c < 3; ++c) {
            const Vec3& l = vertices_[static_cast<size_t>(faces_[i].corners[c].vertex)].lightVector;
            bump_[(i * 3 + c) * 3] = l.x;
            bump_[(i * 3 + c) * 3 + 1] = l.y;
            bump_[(i * 3 + c) * 3 + 2] = l.z;
        }
}

void Mesh::drawArrays(bool withBump)
{
    Material& m = *material_;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    if (m.lit()) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, normals_.data());
    }
    const bool reflection = m.mode() == 10 || m.mode() == 11;
    if (reflection) {
        for (GLenum c : {GL_S, GL_T, GL_R})
            glTexGeni(c, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glEnable(GL_TEXTURE_GEN_R);
    }
    const bool generated = m.generatedCoordinates() && !generated_.empty();
    bool anyCoordinates = false;
    if (withBump) {
        if (!texCoords1_.empty())
            coordinateArray(0, 2, texCoords1_);
        coordinateArray(1, 3, bump_);
        if (generated)
            coordinateArray(2, 2, generated_);
        else if (!texCoords1_.empty())
            coordinateArray(2, 2, texCoords1_);
        anyCoordinates = true;
    } else {
        if (!texCoords1_.empty()) {
            coordinateArray(0, 2, texCoords1_);
            anyCoordinates = true;
        }
        if (!texCoords2_.empty()) {
            coordinateArray(1, 2, texCoords2_);
            anyCoordinates = true;
        }
        if (generated) {
            coordinateArray(1, 2, generated_);
            anyCoordinates = true;
        }
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, indices_.data());
    if (anyCoordinates) {
        for (int unit = 2; unit >= 0; --unit) {
            clientUnit(unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    if (reflection) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Mesh::drawDepth()
{
    if (faces_.empty())
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, indices_.data());
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Mesh::draw()
{
    if (faces_.empty() || material_ == nullptr || drawingCubeMap_)
        return;
    Material& m = *material_;
    if (m.mode() == 10 || m.mode() == 11)
        updateCubeMap();
    if (m.generatedCoordinates())
        computeGeneratedCoordinates();
    const bool bump = m.hasBumpMap();
    if (bump)
        computeBumpVectors();
    if (shadowReceiver_) {
        selectTextureUnit(3);
        glEnable(GL_TEXTURE_2D);
        selectTextureUnit(0);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    m.apply();
    drawArrays(bump);
    m.reset();

    if (bump && Extensions::textureUnits() < 3) {
        // The diffuse layer that found no third unit, added in a second pass.
        const int mode = m.mode();
        m.setMode(1);
        m.apply();
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthFunc(GL_EQUAL);
        glDepthMask(GL_FALSE);
        drawArrays(false);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        glDepthFunc(GL_LEQUAL);
        m.reset();
        m.setMode(mode);
    }
    if (m.outline())
        drawOutline();
    if (shadowReceiver_)
        drawShadowPass();
}

void Mesh::drawOutline()
{
    glLineWidth(4.0f);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_BACK, GL_LINE);
    glCullFace(GL_FRONT);
    glDepthMask(GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(5.0f, 10.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    for (const Face& face : faces_) {
        glBegin(GL_TRIANGLES);
        for (const FaceCorner& corner : face.corners) {
            const Vec3& p = vertices_[static_cast<size_t>(corner.vertex)].position;
            glNormal3f(corner.normal.x, corner.normal.y, corner.normal.z);
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }
    glLineWidth(1.0f);
    glPolygonMode(GL_BACK, GL_FILL);
    glDepthMask(GL_TRUE);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void Mesh::drawShadowPass()
{
    Material& m = *material_;
    selectTextureUnit(3);
    glDisable(GL_TEXTURE_2D);
    selectTextureUnit(0);
    m.setOpacity(0.5f);
    m.apply();
    Light* spot = scene_ != nullptr ? scene_->findLight("Spot01") : nullptr;
    if (spot != nullptr)
        spot->setEnabled(false);
    drawArrays(false);
    m.reset();
    m.setOpacity(1.0f);
    if (spot != nullptr)
        spot->setEnabled(true);
}

namespace {

// The faces of the dynamic cube map are drawn off-screen, so the corner of
// the frame where they used to be drawn keeps what the scene drew there.
// One target serves every mirror; without framebuffer support the faces
// fall back to the corner of the back buffer.
RenderTarget& cubeFaceTarget(int size)
{
    static RenderTarget target;
    target.create(size, size, true);
    return target;
}

}  // namespace

void Mesh::updateCubeMap()
{
    if (scene_ == nullptr || cubeMapFrame_ == scene_->frameNumber() || !scene_->beginCubeMap())
        return;
    cubeMapFrame_ = scene_->frameNumber();
    drawingCubeMap_ = true;
    renderCubeMap();
    drawingCubeMap_ = false;
    scene_->endCubeMap();
}

void Mesh::renderCubeMap()
{
    Material& m = *material_;
    Camera* camera = scene_ != nullptr ? scene_->currentCamera() : nullptr;
    SceneNode* objects = scene_ != nullptr ? scene_->firstObject() : nullptr;
    if (camera == nullptr || objects == nullptr || m.dynamicCubeMap() == nullptr)
        return;
    const int size = m.dynamicCubeMapSize();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);

    const Vec3 savedPosition = camera->position();
    SceneNode* savedTarget = camera->target();
    TargetNode aim(999, "cubetarget");
    camera->setPosition(position());

    RenderTarget& target = cubeFaceTarget(size);
    const bool offscreen = target.isCreated() && target.width() == size;
    if (offscreen) {
        target.begin();
    } else {
        glViewport(0, 0, size, size);
        glScissor(0, 0, size, size);
        glEnable(GL_SCISSOR_TEST);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    static const float lookPoints[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0.01f, 1, 0}, {0.01f, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int face = 0; face < 6; ++face) {
        aim.setPosition(lookPoints[face][0], lookPoints[face][1], lookPoints[face][2]);
        camera->setTarget(&aim);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->apply();
        objects->renderTree();
        m.apply();
        copyFrameInto(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), 0, 0, 0, 0, size, size);
        m.reset();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (offscreen)
        target.end();
    glDisable(GL_SCISSOR_TEST);
    camera->setTarget(savedTarget);
    camera->setPosition(savedPosition);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->apply();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
