#pragma once

// The three signals of the scan screens (message 2193): success, error and notice, each a
// short sound of its own (resources/sounds/*.wav), so that a refusal is heard as one. The
// profile's section "Dialog" turns them off ("Sounds" = 0) and sets their volume
// ("SoundVolume", 0 to 100). Without an audio device the system beep stands in.

#include "WSIApplication.h"

#include <QString>

#include <array>
#include <memory>

class QSoundEffect;
class WSIProfile;

class HostSounds {
public:
    static constexpr int kDefaultVolume = 80;

    explicit HostSounds(const WSIProfile* profile);
    ~HostSounds();
    HostSounds(const HostSounds&) = delete;
    HostSounds& operator=(const HostSounds&) = delete;

    // Gives the signal; returns how: "played", "beep" (no audio device or no sound file)
    // or "off". The host writes it to its usage log with the kind, which is the record of
    // every signal in tests and headless runs.
    const char* Play(SoundKind kind);

    bool Enabled() const;
    // 0 to 100.
    int Volume() const;
    static QString FileOf(SoundKind kind);

private:
    const WSIProfile* profile_;
    std::array<std::unique_ptr<QSoundEffect>, 3> effects_;
};
