#include "effects/unit_square.h"

#include <GL/gl.h>

namespace {

void orthoUnitSquare(Axis axis)
{
    if (axis == Axis::yDown)
        glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    else
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
}

}  // namespace

void loadUnitSquare(Axis axis)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    orthoUnitSquare(axis);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void pushUnitSquare(Axis axis)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    orthoUnitSquare(axis);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void popUnitSquare()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
