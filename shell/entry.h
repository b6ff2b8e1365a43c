#pragma once
// The player's start-up, message-and-frame loop and shutdown.

class Demo;
class EffectRegistry;
class GLWindow;
class ImageCache;
class MissingData;
class Script;
struct PlayerOptions;

// Runs the whole show with a window asking for `samples` multisamples, as
// the options say. Returns 0 after an orderly end; fatal errors end the
// process with status 1.
int runPlayer(int samples, const PlayerOptions& options);

// The start-up checks of the graphics card: fatal without multitexturing, a
// warning for fewer than 4 texture units and one warning for any missing
// optional extension. Needs loaded extensions.
void checkGraphicsCard();

// Sets the show up from its start and plays on, as at start-up and after
// every Control + Shift: unpaused, the script read anew and its setup
// delivered, the music from the start time, no key held, the timer from
// now. Needs an open music stream.
void startShow(GLWindow& window, Demo& demo, EffectRegistry& registry);

// Builds the effects by what the script addresses (buildEffects with
// needs): an effect it never addresses that
// lacks its data is left empty with a warning; the files that the addressed
// ones lack are added to missing. The loading bar is shown when a window is
// given.
void buildShowEffects(const Script& script, EffectRegistry& registry, ImageCache& imageCache, GLWindow* window,
                      MissingData& missing);
