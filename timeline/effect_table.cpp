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
#include <span>
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
    // The scene file when it is missing, else the pictures its materials
    // name that are missing from the scenes' texture folder or do not
    // decode there (the scene reader would stop at the first of them). A
    // damaged scene file is left to the scene reader, which names the damage.
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
                if (!stored.empty() && !canLoadImage(path.c_str()) &&
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

// The command codes a class acts on, by the classes that pass them down:
// every effect hands its commands to Effect (timeline/effect_commands.cpp),
// blending layers to BlendEffect, frame filters to FrameGrabEffect, scenes
// to SceneEffect. Keep beside those classes' `command` functions.
constexpr int effectCodes[] = {10, 12, 13, 118, 124, 200, 201, 202, 203, 205, 206};
constexpr int blendCodes[] = {100, 101, 102, 103, 204};
constexpr int frameGrabCodes[] = {70};
constexpr int sceneCodes[] = {20,  21,  230, 231, 232, 233, 234, 235, 236, 250, 251, 252, 253, 254, 255, 256, 257,
                              258, 259, 260, 261, 262, 280, 281, 282, 283, 284, 285, 286, 287, 300, 301, 302};
constexpr int imageLayerCodes[] = {30, 31, 90, 91, 110, 210, 211, 212};

// The shared code sets a class has besides Effect's.
enum Shared : unsigned {
    noneShared = 0,
    blendShared = 1,
    frameGrabShared = 2,
    sceneShared = 4,
    imageLayerShared = 8,  // a layer group hands commands to its selected image layer
};

struct EffectEntry {
    int number;
    const char* name;
    unsigned shared;            // Shared bits
    std::span<const int> own;  // the codes of the class's own `command`
};

constexpr int beatOwn[] = {72, 73, 90};
constexpr int interferenceOwn[] = {90, 91};
constexpr int cloudsOwn[] = {10};
constexpr int trailsOwn[] = {90, 91, 92, 93};
constexpr int warpOwn[] = {90, 91, 92, 93, 94, 95};
constexpr int gangOwn[] = {90};
constexpr int welderOwn[] = {90, 91, 92, 93, 94, 95, 96, 97};
constexpr int ansiOwn[] = {90};
constexpr int radialOwn[] = {90, 91, 92, 93, 94, 95, 96};
constexpr int motionOwn[] = {90, 94, 95, 118};
constexpr int glowOwn[] = {90, 91, 92};
constexpr int ringOwn[] = {90, 91, 92};
constexpr int barsOwn[] = {10, 90, 91, 92, 93, 94, 201};
constexpr int groupOwn[] = {97, 98, 99};
constexpr int noiseOwn[] = {90, 91, 118, 201, 402};
constexpr int fadeOwn[] = {3, 4, 6, 7};
constexpr int flashOwn[] = {1, 2, 8, 10};

// Keep beside buildEffects: one entry per number it places.
constexpr EffectEntry effectEntries[] = {
    {0, "clear", noneShared, {}},
    {1, "beat", noneShared, beatOwn},
    {2, "layer", blendShared | imageLayerShared, {}},
    {5, "interference", noneShared, interferenceOwn},
    {6, "clouds", noneShared, cloudsOwn},
    {7, "trails", noneShared, trailsOwn},
    {8, "warp", frameGrabShared, warpOwn},
    {21, "gang", sceneShared, gangOwn},
    {23, "welder", sceneShared, welderOwn},
    {24, "tree", sceneShared, {}},
    {25, "cranium", sceneShared, {}},
    {27, "gallery", sceneShared, {}},
    {40, "ansi", frameGrabShared, ansiOwn},
    {41, "radial", frameGrabShared, radialOwn},
    {42, "motion", frameGrabShared, motionOwn},
    {43, "glow", frameGrabShared, glowOwn},
    {44, "radial44", frameGrabShared, radialOwn},
    {46, "bars", noneShared, barsOwn},
    {47, "bars47", noneShared, barsOwn},
    {48, "ribbons", noneShared, {}},
    {49, "ring", noneShared, ringOwn},
    {54, "group", blendShared | imageLayerShared, groupOwn},
    {55, "layer55", blendShared | imageLayerShared, {}},
    {56, "layer56", blendShared | imageLayerShared, {}},
    {57, "noise", blendShared, noiseOwn},
    {61, "invert", noneShared, {}},
    {62, "fade", noneShared, fadeOwn},
    {63, "flash", noneShared, flashOwn},
};

const EffectEntry* entryAt(int number)
{
    for (const EffectEntry& entry : effectEntries) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

bool holds(std::span<const int> codes, int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

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
    const EffectEntry* entry = entryAt(number);
    return entry != nullptr ? entry->name : "";
}

bool effectKnowsCommand(int number, int code)
{
    const EffectEntry* entry = entryAt(number);
    if (entry == nullptr)
        return false;
    const unsigned shared = entry->shared;
    return holds(effectCodes, code) || holds(entry->own, code) ||
           ((shared & blendShared) != 0 && holds(blendCodes, code)) ||
           ((shared & frameGrabShared) != 0 && holds(frameGrabCodes, code)) ||
           ((shared & sceneShared) != 0 && holds(sceneCodes, code)) ||
           ((shared & imageLayerShared) != 0 && holds(imageLayerCodes, code));
}
