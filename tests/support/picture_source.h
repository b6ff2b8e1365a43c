#pragma once
// A test effect with a known picture, drawn in update as effects that can be
// filter sources do; it records the commands and starts it receives.
#include <GL/gl.h>

#include <string>
#include <vector>

#include "timeline/effect.h"

// A source with a known picture: a horizontal grey ramp from 0 to `top`, a
// white square in the middle, or the whole frame flat at grey `top`; it
// records the commands it receives.
class PictureSource : public Effect {
public:
    enum class Picture { ramp, square, flat };
    explicit PictureSource(Picture picture, float top = 0.3f) : picture_(picture), top_(top) {}

    void start(int32_t time) override
    {
        reset(time);
        starts.push_back(time);
    }
    void update(int32_t time, bool applyViewport) override
    {
        Effect::update(time, applyViewport);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 1, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glBegin(GL_QUADS);
        if (picture_ == Picture::ramp) {
            glColor3f(0, 0, 0);
            glVertex2f(0, 0);
            glColor3f(top_, top_, top_);
            glVertex2f(1, 0);
            glVertex2f(1, 1);
            glColor3f(0, 0, 0);
            glVertex2f(0, 1);
        } else if (picture_ == Picture::flat) {
            glColor3f(top_, top_, top_);
            glVertex2f(0, 0);
            glVertex2f(1, 0);
            glVertex2f(1, 1);
            glVertex2f(0, 1);
        } else {
            glColor3f(1, 1, 1);
            glVertex2f(0.4f, 0.4f);
            glVertex2f(0.6f, 0.4f);
            glVertex2f(0.6f, 0.6f);
            glVertex2f(0.4f, 0.6f);
        }
        glEnd();
        glColor3f(1, 1, 1);
        glEnable(GL_DEPTH_TEST);
    }
    void command(Command c) override
    {
        commands.push_back(std::to_string(c.code) + ":" + std::to_string(c.args[0]));
        Effect::command(c);
    }

    std::vector<std::string> commands;
    std::vector<int32_t> starts;

private:
    Picture picture_;
    float top_;
};

