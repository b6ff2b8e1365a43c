#pragma once
// The one place that decides which effect class sits at which number.

class EffectRegistry;
class GLWindow;
class ImageCache;

// Constructs every effect once, in a fixed order, into the registry, showing
// the loading bar at 0, 24, 54, 62, 73 and 80 percent between the groups
// (with a buffer swap after each when a window is given). Needs a current GL
// context. The effects live to the end of the process.
void buildEffects(EffectRegistry& registry, ImageCache* imageCache, GLWindow* window);

// A short lower-case name for the class at effect number n ("glow",
// "warp", ...) for reports; "" for an empty number.
const char* effectName(int number);
