#include "shell/music.h"

#include "platform/process.h"
#include "platform/sound.h"
#include "platform/sound_spectrum.h"
#include "shell/error_report.h"
#include "shell/glwindow.h"

#include <cmath>
#include <memory>

namespace {

bool initialised = false;

class MusicSpectrum final : public SpectrumSource {
public:
    const float* spectrum(int32_t ms) override { return track_ != nullptr ? track_->at(ms) : nullptr; }

    bool open(const char* file)
    {
        auto track = std::make_unique<platform::TrackSpectrum>();
        if (!track->open(file))
            return false;
        track_ = std::move(track);
        return true;
    }
    void close() { track_.reset(); }

private:
    std::unique_ptr<platform::TrackSpectrum> track_;
};

MusicSpectrum& theSpectrum()
{
    static MusicSpectrum spectrum;
    return spectrum;
}

void closeSoundAtExit()
{
    if (initialised)
        platform::soundClose();
}

}  // namespace

bool soundInitialised() { return initialised; }

SpectrumSource& musicSpectrum() { return theSpectrum(); }

bool openOfflineMusic(const char* file)
{
    if (!theSpectrum().open(file))
        return false;
    initialised = true;
    return true;
}

void GLWindow::prepareSound()
{
    static bool handlerRegistered = false;
    if (!handlerRegistered) {
        platform::registerExitHandler(closeSoundAtExit);
        handlerRegistered = true;
    }
    musicOpen_ = false;
    initialised = false;
}

bool GLWindow::initSound()
{
    initialised = platform::soundInit();
    heard_.setLatencyMs(platform::soundOutputLatencyMs());
    return initialised;
}

bool GLWindow::openMusic(const char* file)
{
    musicOpen_ = platform::soundOpenStream(file) && theSpectrum().open(file);
    if (!musicOpen_)
        platform::soundCloseStream();
    return musicOpen_;
}

int64_t GLWindow::timerNow() const { return static_cast<int64_t>(std::floor(clock_.now())); }

int64_t GLWindow::advanceTime()
{
    std::optional<double> heard;
    bool playing = false;
    if (musicOpen_ && followsMusic_) {
        reports_.clear();
        playing = platform::soundTakeReports(reports_);
        for (const platform::PlaybackReport& report : reports_)
            heard_.addCallback(static_cast<double>(report.steadyNs) / 1e6, report.firstFrame, report.frames);
        const double steadyMs = static_cast<double>(platform::steadyClock().counter()) / 1e6;
        if (playing)
            heard = heard_.at(steadyMs);
    }
    clock_.tick(heard, playing, heard_.pace());
    return timerNow();
}

void GLWindow::transport(int32_t ms, bool paused)
{
    if (musicOpen_)
        platform::soundTransport(ms, paused);
    heard_.clear();
    clock_.moveTo(ms, paused);
}

void GLWindow::pause(bool paused)
{
    if (paused != clock_.paused())
        transport(static_cast<int32_t>(timerNow()), paused);
}

void GLWindow::closeSound()
{
    if (musicOpen_)
        platform::soundCloseStream();
    musicOpen_ = false;
    theSpectrum().close();
    platform::soundClose();
}
