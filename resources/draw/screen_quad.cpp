#include "resources/draw/screen_quad.h"

#include <GL/gl.h>

ScreenQuad::ScreenQuad(float x, float y, float w, float h)
{
    const float texture[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        vertices_[i].u = texture[i][0];
        vertices_[i].v = texture[i][1];
    }
    setRect(x, y, w, h);
}

void ScreenQuad::setRect(float x, float y, float w, float h)
{
    const float corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (int i = 0; i < 4; ++i) {
        vertices_[i].x = corners[i][0];
        vertices_[i].y = corners[i][1];
    }
}

void ScreenQuad::draw()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(SpriteVertex), &vertices_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &vertices_[0].u);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices_);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
