#pragma once
// The 64 numbered places of effects that the script addresses, and the order
// in which they are drawn each frame.
#include <array>
#include <cstdint>

class Effect;

// Told when each effect's prerender and render begin and end, so that a
// profiler can time them. It runs inside the frame and must leave the GL
// state as it found it.
class RenderProbe {
public:
    enum class Stage { prerender, render };
    virtual ~RenderProbe() = default;
    virtual void enter(int place, Stage stage) = 0;
    virtual void leave(int place, Stage stage) = 0;
};

class EffectRegistry {
public:
    static constexpr int size = 64;

    // The process-wide registry, all places empty at the first call.
    static EffectRegistry& instance();

    // An empty registry of its own (tests, tools); the player uses instance.
    EffectRegistry() = default;
    EffectRegistry(const EffectRegistry&) = delete;
    EffectRegistry& operator=(const EffectRegistry&) = delete;

    // Place n := effect for n in 0..63; other numbers are ignored. The
    // registry refers to the effect; it does not own it.
    void set(int n, Effect* effect);
    // The effect at n, or null outside 0..63 or for an empty place.
    Effect* get(int n) const;
    // start(0) on every effect present, in ascending order.
    void startAll();
    // Effect 0 first (the background), then every active effect's prerender,
    // then effects 1 to 63, each between a save and restore of the
    // projection and modelview matrices. Leaves the matrix mode at modelview.
    void renderAll(int32_t time);
    // deactivate on every effect present.
    void deactivateAll();
    // rewind on every effect present, in ascending order.
    void rewindAll();
    // The probe told about every prerender and render from now on; null
    // for none. The registry does not own it.
    void setProbe(RenderProbe* probe) { probe_ = probe; }

private:
    void prerenderOne(int n, int32_t time);
    void renderOne(int n, int32_t time);

    std::array<Effect*, size> places_{};
    RenderProbe* probe_ = nullptr;
};
