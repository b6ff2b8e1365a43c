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
#include "scene/scene_file_parser.h"
#include "scene/scene_file_reader.h"
#include "scene/welder_scene.h"
#include "shell/glwindow.h"
#include "shell/music.h"
#include "resources/datafile.h"
#include "resources/textures/texture_manager.h"
#include "timeline/effect.h"
#include "timeline/missing_data.h"
#include "timeline/registry.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// What stands at a number whose effect could not be built from the data:
// an effect with nothing to draw, so that the rest of the show plays.
class EmptyEffect : public Effect {
public:
    void start(int32_t time) override { reset(time); }
};

// Places the effects. Without needs every effect is built as it is; with
// them an effect whose data are missing is built empty when the script
// never addresses it, with one warning, and its files are noted as missing
// when the script does.
class Placer {
public:
    Placer(EffectRegistry& registry, const EffectNeeds* needs) : registry_(registry), needs_(needs) {}

    // Effects are placed once and never removed: the registry only refers
    // to them, so they are made here and left to the end of the process.
    template <typename EffectClass, typename... Arguments>
    void place(int number, Arguments&&... arguments)
    {
        std::vector<std::string> failed;
        Effect* effect = nullptr;
        {
            FailedPictureWatch watch(failed);
            effect = new EffectClass(std::forward<Arguments>(arguments)...);
        }
        if (needs_ == nullptr || failed.empty()) {
            registry_.set(number, effect);
        } else if (needs_->addressed[static_cast<size_t>(number)]) {
            needs_->missing->add(failed);
            registry_.set(number, effect);
        } else {
            delete effect;
            placeEmpty(number, failed);
        }
    }

    // A scene effect reads its file and pictures as it is made, and one
    // that is not there would end the program at once: they are looked
    // for first, so that every one is named.
    template <typename SceneClass>
    void placeScene(int number, const char* scenePath)
    {
        const std::vector<std::string> lacking = needs_ != nullptr ? sceneFilesLacking(scenePath) : std::vector<std::string>();
        if (lacking.empty()) {
            place<SceneClass>(number, scenePath);
            return;
        }
        // Addressed, it stands empty only until the show ends with the list.
        if (needs_->addressed[static_cast<size_t>(number)]) {
            needs_->missing->add(lacking);
            registry_.set(number, new EmptyEffect);
            return;
        }
        placeEmpty(number, lacking);
    }

private:
    static bool dataFileExists(const std::string& path)
    {
        DataFile* file = dataOpen(path.c_str());
        dataClose(file);
        return file != nullptr;
    }

    // The scene file when it is missing, else the pictures its materials
    // name that are missing from the scenes' texture folder. A damaged
    // file is left to the scene reader, which names the damage.
    static std::vector<std::string> sceneFilesLacking(const char* scenePath)
    {
        DataFile* file = dataOpen(scenePath);
        if (file == nullptr)
            return {scenePath};
        const SceneDescription description = parseSceneFile(file->data, file->size);
        dataClose(file);
        std::vector<std::string> lacking;
        for (const SceneMaterial& material : description.materials) {
            for (const std::string& stored : material.maps) {
                // Named as the reader names them: the part after the last backslash.
                const std::string path = sceneTextureFolder + stored.substr(stored.find_last_of('\\') + 1);
                if (!stored.empty() && !dataFileExists(path) &&
                    std::find(lacking.begin(), lacking.end(), path) == lacking.end())
                    lacking.push_back(path);
            }
        }
        return lacking;
    }

    static constexpr const char* sceneTextureFolder = "data/textures/";

    void placeEmpty(int number, const std::vector<std::string>& lacking)
    {
        std::string faults;
        for (const std::string& path : lacking)
            faults += (faults.empty() ? "" : "; ") + MissingData::describe(path);
        std::fprintf(stderr, "effects: effect %d (%s) is left empty: %s\n", number, effectName(number), faults.c_str());
        registry_.set(number, new EmptyEffect);
    }

    EffectRegistry& registry_;
    const EffectNeeds* needs_;
};

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

void buildEffects(EffectRegistry& registry, ImageCache* imageCache, GLWindow* window, const EffectNeeds* needs)
{
    Placer placer(registry, needs);
    SceneFileReader::setUseStoredTexturePaths(false);
    setPrefix(imageCache, "");
    placer.place<ClearEffect>(0);

    LoadingBar bar;
    showProgress(bar, 0, window);
    if (soundInitialised())
        placer.place<BeatDetector>(1, musicSpectrum(), registry);

    placer.place<ImageLayer>(2);
    placer.place<InterferenceEffect>(5);
    placer.place<CloudsEffect>(6);
    placer.place<TrailsEffect>(7);
    placer.place<WarpFilter>(8);

    setPrefix(imageCache, "");
    setPrefix(imageCache, "data/textures/");  // the scenes' texture folder
    placer.placeScene<GangScene>(21, "data/gang.scn");
    showProgress(bar, 24, window);
    placer.placeScene<WelderScene>(23, "data/welderscene4.scn");
    showProgress(bar, 54, window);
    placer.placeScene<TreeScene>(24, "data/tree.scn");
    showProgress(bar, 62, window);
    placer.placeScene<CraniumScene>(25, "data/cranium.scn");
    showProgress(bar, 73, window);
    placer.placeScene<GalleryScene>(27, "data/gallery.scn");
    showProgress(bar, 80, window);

    setPrefix(imageCache, "data/images/");
    placer.place<AnsiFilter>(40);
    placer.place<RadialBlur>(41);
    placer.place<MotionBlur>(42);
    placer.place<GlowFilter>(43);
    placer.place<RadialBlur>(44);
    placer.place<BarsEffect>(46, 46u);
    placer.place<BarsEffect>(47, 47u);
    placer.place<RibbonsEffect>(48);
    placer.place<SpriteRing>(49);
    placer.place<LayerGroup>(54);
    placer.place<ImageLayer>(55);
    placer.place<ImageLayer>(56);
    placer.place<NoiseEffect>(57);
    placer.place<InvertEffect>(61);
    placer.place<FadeEffect>(62);
    placer.place<FlashEffect>(63);
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
