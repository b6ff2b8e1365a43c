#include "shell/music.h"

#include "platform/process.h"
#include "platform/sound.h"
#include "platform/sound_spectrum.h"
#include "shell/error_report.h"
#include "shell/glwindow.h"

#include <array>
#include <memory>

namespace {

bool initialised = false;

class MusicSpectrum final : public SpectrumSource {
public:
    const float* spectrum() override
    {
        if (offline_ != nullptr)
            return offline_->at(offlineTime_);
        return platform::soundSpectrum(values_.data()) ? values_.data() : nullptr;
    }

    bool openOffline(const char* file)
    {
        auto track = std::make_unique<platform::TrackSpectrum>();
        if (!track->open(file))
            return false;
        offline_ = std::move(track);
        return true;
    }
    void setOfflineTime(int32_t ms) { offlineTime_ = ms; }

private:
    std::array<float, platform::spectrumSize> values_{};
    std::unique_ptr<platform::TrackSpectrum> offline_;
    int32_t offlineTime_ = 0;
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
    if (!theSpectrum().openOffline(file))
        return false;
    initialised = true;
    return true;
}

void setOfflineMusicTime(int32_t ms) { theSpectrum().setOfflineTime(ms); }

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
    return initialised;
}

bool GLWindow::openMusic(const char* file)
{
    musicOpen_ = platform::soundOpenStream(file);
    return musicOpen_;
}

void GLWindow::setMusicTime(int32_t ms) { platform::soundSetStreamTime(ms); }

void GLWindow::playMusic()
{
    if (!platform::soundPlayStream())
        reportError("could not play stream", -1, true);
}

void GLWindow::seekMusic(int32_t ms)
{
    if (!musicOpen_)
        return;
    platform::soundSetStreamTime(ms);
    platform::soundPlayStream();
    platform::soundPauseStream(paused());
}

void GLWindow::pause(bool paused)
{
    if (paused)
        timer_.hold();
    else
        timer_.resume();
    if (musicOpen_)
        platform::soundPauseStream(paused);
}

void GLWindow::closeSound()
{
    if (musicOpen_)
        platform::soundCloseStream();
    musicOpen_ = false;
    platform::soundClose();
}
