#include "platform/sound.h"

#include "platform/sound_decoder.h"
#include "platform/sound_spectrum.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

namespace {

constexpr int deviceFrames = 1024;

// Everything the device thread touches. The main thread changes it only
// while holding the device lock; the callback runs under the same lock.
struct Device {
    SDL_AudioDeviceID id = 0;
    OggDecoder decoder;
    bool playing = false;
    bool held = false;
    std::array<float, spectrumWindow> recent{};  // ring of the last frames sent, mono
    int recentNext = 0;
    SpectrumAnalyser analyser;
};

// Not a static object: its destructor would run at exit while the device
// thread may still be inside the callback. soundClose (from the exit
// handler at the latest) stops the thread first and then frees it.
std::unique_ptr<Device>& device()
{
    static auto* instance = new std::unique_ptr<Device>;
    return *instance;
}

void remember(Device& d, const int16_t* frames, int count)
{
    std::array<float, deviceFrames> mono{};
    mixToMono(frames, count, mono.data());
    for (int i = 0; i < count; ++i) {
        d.recent[d.recentNext] = mono[i];
        d.recentNext = (d.recentNext + 1) % spectrumWindow;
    }
}

void fill(void* user, Uint8* stream, int length)
{
    Device& d = *static_cast<Device*>(user);
    auto* out = reinterpret_cast<int16_t*>(stream);
    const int frames = length / 4;
    std::memset(stream, 0, static_cast<size_t>(length));
    if (!d.playing || d.held)
        return;
    for (int done = 0; done < frames;) {
        const int chunk = std::min(frames - done, deviceFrames);
        long got = d.decoder.read(out + done * 2, chunk);
        if (got < 0)
            got = 0;
        remember(d, out + done * 2, chunk);
        done += chunk;
        if (got < chunk) {
            d.playing = false;  // the end of the track, or a damaged stream
            break;
        }
    }
}

class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID id) : id_(id) { SDL_LockAudioDevice(id_); }
    ~DeviceLock() { SDL_UnlockAudioDevice(id_); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID id_;
};

}  // namespace

bool soundInit()
{
    if (device() != nullptr)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "sound: %s\n", SDL_GetError());
        return false;
    }
    auto d = std::make_unique<Device>();
    SDL_AudioSpec wanted{};
    wanted.freq = soundRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = deviceFrames;
    wanted.callback = fill;
    wanted.userdata = d.get();
    SDL_AudioSpec obtained{};
    d->id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (d->id == 0) {
        std::fprintf(stderr, "sound: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(d->id, 0);  // silence until a stream plays
    device() = std::move(d);
    return true;
}

void soundClose()
{
    if (device() == nullptr)
        return;
    SDL_CloseAudioDevice(device()->id);  // waits for the callback to finish
    device().reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool soundReady() { return device() != nullptr; }

bool soundOpenStream(const std::string& path)
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    DeviceLock lock(d->id);
    d->playing = false;
    d->held = false;
    return d->decoder.open(path);
}

void soundCloseStream()
{
    Device* d = device().get();
    if (d == nullptr)
        return;
    DeviceLock lock(d->id);
    d->playing = false;
    d->decoder.close();
}

bool soundSetStreamTime(int64_t ms)
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    DeviceLock lock(d->id);
    d->playing = false;
    d->recent.fill(0.0f);
    return d->decoder.seekMilliseconds(ms);
}

bool soundPlayStream()
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    DeviceLock lock(d->id);
    if (!d->decoder.isOpen())
        return false;
    d->playing = true;
    d->held = false;
    return true;
}

void soundPauseStream(bool paused)
{
    Device* d = device().get();
    if (d == nullptr)
        return;
    DeviceLock lock(d->id);
    d->held = paused;
}

bool soundSpectrum(float* out)
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    std::array<float, spectrumWindow> ordered;
    {
        DeviceLock lock(d->id);
        if (!d->playing || d->held)
            return false;
        const int split = d->recentNext;
        std::copy(d->recent.begin() + split, d->recent.end(), ordered.begin());
        std::copy(d->recent.begin(), d->recent.begin() + split, ordered.begin() + (spectrumWindow - split));
    }
    d->analyser.compute(ordered.data(), out);
    return true;
}

}  // namespace platform
