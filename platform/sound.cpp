#include "platform/sound.h"

#include "platform/sound_decoder.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>

namespace platform {

namespace {

constexpr int deviceFrames = 1024;
constexpr size_t reportsKept = 64;

// Everything the device thread touches. The main thread changes it only
// while holding the device lock; the callback runs under the same lock.
struct Device {
    SDL_AudioDeviceID id = 0;
    OggDecoder decoder;
    bool playing = false;
    bool held = false;
    std::deque<PlaybackReport> reports;
    double latencyMs = 0.0;
};

// Not a static object: its destructor would run at exit while the device
// thread may still be inside the callback. soundClose (from the exit
// handler at the latest) stops the thread first and then frees it.
std::unique_ptr<Device>& device()
{
    static auto* instance = new std::unique_ptr<Device>;
    return *instance;
}

int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void report(Device& d, int frames)
{
    if (d.reports.size() == reportsKept)
        d.reports.pop_front();
    d.reports.push_back(PlaybackReport{steadyNanoseconds(), d.decoder.positionFrame(), frames});
}

void fill(void* user, Uint8* stream, int length)
{
    Device& d = *static_cast<Device*>(user);
    auto* out = reinterpret_cast<int16_t*>(stream);
    const int frames = length / 4;
    std::memset(stream, 0, static_cast<size_t>(length));
    if (!d.playing || d.held)
        return;
    report(d, frames);
    const long got = d.decoder.read(out, frames);
    if (got < frames)
        d.playing = false;  // the end of the track, or a damaged stream
}

// The extra delay the listener's equipment adds, from the environment;
// values outside 0..2000 ms are taken as none.
double extraLatencyMs()
{
    const char* text = std::getenv("STILLWATER_AUDIO_LATENCY_MS");
    if (text == nullptr || *text == '\0')
        return 0.0;
    char* end = nullptr;
    const double ms = std::strtod(text, &end);
    if (*end != '\0' || !(ms >= 0.0 && ms <= 2000.0)) {
        std::fprintf(stderr, "sound: STILLWATER_AUDIO_LATENCY_MS=%s is not 0 to 2000 ms; ignored\n", text);
        return 0.0;
    }
    return ms;
}

// Drivers that hand each buffer on as soon as it is filled have no output
// delay of their own; a real device plays a buffer after the one it holds.
double deviceLatencyMs(const SDL_AudioSpec& obtained)
{
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver != nullptr && (std::strcmp(driver, "disk") == 0 || std::strcmp(driver, "dummy") == 0))
        return 0.0;
    return 1000.0 * obtained.samples / static_cast<double>(obtained.freq > 0 ? obtained.freq : soundRate);
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
    // The device may choose its own buffer size: what it reports is then
    // its real latency, where a forced size would be converted behind our
    // back with a delay no one reports.
    d->id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (d->id == 0) {
        std::fprintf(stderr, "sound: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    d->latencyMs = deviceLatencyMs(obtained) + extraLatencyMs();
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
    d->reports.clear();
    return d->decoder.open(path);
}

void soundCloseStream()
{
    Device* d = device().get();
    if (d == nullptr)
        return;
    DeviceLock lock(d->id);
    d->playing = false;
    d->reports.clear();
    d->decoder.close();
}

bool soundTransport(int64_t ms, bool held)
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    DeviceLock lock(d->id);
    if (!d->decoder.isOpen() || !d->decoder.seekMilliseconds(ms)) {
        d->playing = false;
        return false;
    }
    d->playing = true;
    d->held = held;
    d->reports.clear();
    return true;
}

bool soundTakeReports(std::vector<PlaybackReport>& out)
{
    Device* d = device().get();
    if (d == nullptr)
        return false;
    DeviceLock lock(d->id);
    out.insert(out.end(), d->reports.begin(), d->reports.end());
    d->reports.clear();
    return d->playing && !d->held;
}

double soundOutputLatencyMs()
{
    const Device* d = device().get();
    return d != nullptr ? d->latencyMs : 0.0;
}

}  // namespace platform
