#pragma once
// The one place that decides which effect class sits at which number.

#include "timeline/missing_data.h"

#include <bitset>

class EffectRegistry;
class GLWindow;
class ImageCache;

// What the script asks of the effect table: the effect numbers it
// addresses, and where the files those effects lack are noted.
struct EffectNeeds {
    std::bitset<effectPlaces> addressed;
    MissingData* missing = nullptr;  // not owned; never null
};

// Constructs every effect once, in a fixed order, into the registry, showing
// the loading bar at 0, 24, 54, 62, 73 and 80 percent between the groups
// (with a buffer swap after each when a window is given). Needs a current GL
// context. The effects live to the end of the process.
// With needs, an effect whose pictures or scene file are missing or do not
// decode is built as an effect that draws nothing, with one "effects: "
// warning line on standard error naming what it lacks, when the script never
// addresses it; when the script does, the files are added to needs->missing
// (a scene effect without its file is then left empty too). Without needs
// every effect is built as its data allow.
void buildEffects(EffectRegistry& registry, ImageCache* imageCache, GLWindow* window,
                  const EffectNeeds* needs = nullptr);

// A short lower-case name for the class at effect number n ("glow",
// "warp", ...) for reports; "" for an empty number.
const char* effectName(int number);

// True when the class at effect number n acts on command code `code`: a
// code of its own `command`, of the classes it hands commands on to, or of
// those every effect shares. False for an empty number. An effect ignores
// the codes it does not act on, so a script that sends one has a mistake.
bool effectKnowsCommand(int number, int code);
