#pragma once
// The 64 numbered places of effects that the script addresses, and the order
// in which they are drawn each frame.
#include <array>
#include <cstdint>

class Effect;

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

private:
    std::array<Effect*, size> places_{};
};
