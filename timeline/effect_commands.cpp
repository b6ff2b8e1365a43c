// The command table every effect shares: clock control, colour, opacity and
// viewport, set at once or moved along a curve.
#include "timeline/effect.h"

#include <initializer_list>

namespace {

using Params = std::initializer_list<AnimParam*>;

// Start time, duration and the optional curve and tangents of a transition
// whose arguments begin at `at`: start, duration, curve, tangent0, tangent1.
void scheduleTransition(Params params, const Command& c, int at, Params curveParams)
{
    for (AnimParam* p : params) {
        p->setStartTime(c.args[at] + c.timeOffset);
        p->setDuration(static_cast<float>(c.args[at + 1]));
    }
    if (c.argCount >= at + 3) {
        for (AnimParam* p : curveParams)
            p->setCurve(c.args[at + 2]);
    }
    if (c.argCount >= at + 5) {
        for (AnimParam* p : curveParams)
            p->setTangents(static_cast<float>(c.args[at + 3]) / 100.0f, static_cast<float>(c.args[at + 4]) / 100.0f);
    }
}

float colour(int32_t value) { return static_cast<float>(value) / 255.0f; }
float percent(int32_t value) { return static_cast<float>(value) / 100.0f; }

}  // namespace

void Effect::command(Command c)
{
    const int32_t* a = c.args;
    switch (c.code) {
    case 10: duration_ = c.first(); break;
    case 12:
        if (a[0] != 0)
            pause(a[1] + c.timeOffset);
        else
            resume(a[1] + c.timeOffset);
        break;
    case 13: shiftStart(c.first()); break;
    case 118: colorA.set(colour(c.first())); break;
    case 124:
        colorA.moveTo(colour(a[0]));
        scheduleTransition({&colorA}, c, 1, {&colorA});
        break;
    case 201:
        colorA.set(colour(a[3]));
        [[fallthrough]];
    case 200:
        colorR.set(colour(a[0]));
        colorG.set(colour(a[1]));
        colorB.set(colour(a[2]));
        break;
    case 202:
        viewX.set(percent(a[0]));
        viewY.set(percent(a[1]));
        viewW.set(percent(a[2]));
        viewH.set(percent(a[3]));
        break;
    case 203:
        viewX.moveTo(percent(a[0]));
        viewY.moveTo(percent(a[1]));
        viewW.moveTo(percent(a[2]));
        viewH.moveTo(percent(a[3]));
        scheduleTransition({&viewX, &viewY, &viewW, &viewH}, c, 4, {&viewX, &viewY, &viewW, &viewH});
        break;
    case 205:
        colorR.moveTo(colour(a[0]));
        colorG.moveTo(colour(a[1]));
        colorB.moveTo(colour(a[2]));
        scheduleTransition({&colorR, &colorG, &colorB}, c, 3, {&colorR, &colorG, &colorB, &colorA});
        break;
    case 206:
        colorR.moveTo(colour(a[0]));
        colorG.moveTo(colour(a[1]));
        colorB.moveTo(colour(a[2]));
        colorA.moveTo(colour(a[3]));
        scheduleTransition({&colorR, &colorG, &colorB, &colorA}, c, 4, {&colorR, &colorG, &colorB, &colorA});
        break;
    default: break;
    }
}
