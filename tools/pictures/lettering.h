#pragma once
// Block capitals of a small 5 x 7 font of our own, drawn large and smooth.
#include <initializer_list>

#include "tools/pictures/canvas.h"

// A 256 x 256 transparent picture with the lines centred one under another,
// pale aqua letters whose alpha is their coverage. Only the letters of
// "STILL WATER" exist; others leave a gap.
Canvas lettering(std::initializer_list<const char*> lines);
