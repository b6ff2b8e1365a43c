#include "timeline/effect_table.h"

#include "effects/ansi_glow_filters.h"
#include "effects/bars_ring.h"
#include "effects/beat_effects.h"
#include "effects/blur_warp_filters.h"
#include "effects/image_layers.h"
#include "effects/interference_clouds.h"
#include "effects/ribbons_trails.h"
#include "effects/screen_basics.h"
#include "resources/images/image_cache.h"
#include "scene/scene_effects.h"
#include "scene/scene_file_reader.h"
#include "scene/welder_scene.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "timeline/registry.h"

namespace {

// Effects are placed once and never removed: the registry only refers to
// them, so they are made here and left to the end of the process.
template <typename EffectClass, typename... Arguments>
void place(EffectRegistry& registry, int number, Arguments&&... arguments)
{
    registry.set(number, new EffectClass(std::forward<Arguments>(arguments)...));
}

void showProgress(LoadingBar& bar, int percent, GLWindow* window)
{
    bar.render(percent);
    if (window != nullptr)
        window->swapBuffers();
}

struct NamedNumber {
    int number;
    const char* name;
};

// Keep beside buildEffects: one entry per number it places.
constexpr NamedNumber effectNames[] = {
    {0, "clear"},     {1, "beat"},      {2, "layer"},     {5, "interference"}, {6, "clouds"},
    {7, "trails"},    {8, "warp"},      {21, "gang"},     {23, "welder"},      {24, "tree"},
    {25, "cranium"},  {27, "gallery"},  {40, "ansi"},     {41, "radial"},      {42, "motion"},
    {43, "glow"},     {44, "radial44"}, {46, "bars"},     {47, "bars47"},      {48, "ribbons"},
    {49, "ring"},     {54, "group"},    {55, "layer55"},  {56, "layer56"},     {57, "noise"},
    {61, "invert"},   {62, "fade"},     {63, "flash"},
};

void setPrefix(ImageCache* imageCache, const char* prefix)
{
    if (imageCache != nullptr)
        imageCache->setPathPrefix(prefix);
}

}  // namespace

void buildEffects(EffectRegistry& registry, ImageCache* imageCache, GLWindow* window)
{
    SceneFileReader::setUseStoredTexturePaths(false);
    setPrefix(imageCache, "");
    place<ClearEffect>(registry, 0);

    LoadingBar bar;
    showProgress(bar, 0, window);
    if (soundInitialised())
        place<BeatDetector>(registry, 1, musicSpectrum(), registry);

    place<ImageLayer>(registry, 2);
    place<InterferenceEffect>(registry, 5);
    place<CloudsEffect>(registry, 6);
    place<TrailsEffect>(registry, 7);
    place<WarpFilter>(registry, 8);

    setPrefix(imageCache, "");
    setPrefix(imageCache, "data/textures/");
    place<GangScene>(registry, 21, "data/gang.scn");
    showProgress(bar, 24, window);
    place<WelderScene>(registry, 23, "data/welderscene4.scn");
    showProgress(bar, 54, window);
    place<TreeScene>(registry, 24, "data/tree.scn");
    showProgress(bar, 62, window);
    place<CraniumScene>(registry, 25, "data/cranium.scn");
    showProgress(bar, 73, window);
    place<GalleryScene>(registry, 27, "data/gallery.scn");
    showProgress(bar, 80, window);

    setPrefix(imageCache, "data/images/");
    place<AnsiFilter>(registry, 40);
    place<RadialBlur>(registry, 41);
    place<MotionBlur>(registry, 42);
    place<GlowFilter>(registry, 43);
    place<RadialBlur>(registry, 44);
    place<BarsEffect>(registry, 46, 46u);
    place<BarsEffect>(registry, 47, 47u);
    place<RibbonsEffect>(registry, 48);
    place<SpriteRing>(registry, 49);
    place<LayerGroup>(registry, 54);
    place<ImageLayer>(registry, 55);
    place<ImageLayer>(registry, 56);
    place<NoiseEffect>(registry, 57);
    place<InvertEffect>(registry, 61);
    place<FadeEffect>(registry, 62);
    place<FlashEffect>(registry, 63);
    setPrefix(imageCache, "");
}

const char* effectName(int number)
{
    for (const NamedNumber& entry : effectNames) {
        if (entry.number == number)
            return entry.name;
    }
    return "";
}
