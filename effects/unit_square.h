#pragma once
// The common 2D set-up of the effects: an orthographic unit square, with y
// pointing down (left 0, right 1, bottom 1, top 0) or up.

enum class Axis { yDown, yUp };

// Projection := the unit square, modelview := identity; modelview mode.
void loadUnitSquare(Axis axis = Axis::yDown);

// The same, after saving both matrices; popUnitSquare restores them and
// leaves modelview mode.
void pushUnitSquare(Axis axis = Axis::yDown);
void popUnitSquare();
