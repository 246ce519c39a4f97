#include "HostSounds.h"

#include "Paths.h"
#include "WSIProfile.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

HostSounds::HostSounds(const WSIProfile* profile) : profile_(profile) {}

HostSounds::~HostSounds() = default;

bool HostSounds::Enabled() const {
    return !profile_ || profile_->GetInt("Dialog", "Sounds", 1) != 0;
}

int HostSounds::Volume() const {
    const long v =
        profile_ ? profile_->GetInt("Dialog", "SoundVolume", kDefaultVolume) : kDefaultVolume;
    return static_cast<int>(std::clamp<long>(v, 0, 100));
}

QString HostSounds::FileOf(SoundKind kind) {
    static const char* const names[] = {"success", "error", "notice"};
    const int i = std::clamp(static_cast<int>(kind), 0, 2);
    return QString::fromStdString(tavel::ResourceDir()) + "/sounds/" + names[i] + ".wav";
}

const char* HostSounds::Play(SoundKind kind) {
    if (!Enabled())
        return "off";
    const QString file = FileOf(kind);
    // Headless runs and machines without speakers still get a signal.
    if (QMediaDevices::audioOutputs().isEmpty() || !QFileInfo::exists(file)) {
        QApplication::beep();
        return "beep";
    }
    auto& effect = effects_[static_cast<std::size_t>(std::clamp(static_cast<int>(kind), 0, 2))];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(file));
    }
    if (effect->status() == QSoundEffect::Error) {
        QApplication::beep();
        return "beep";
    }
    effect->setVolume(Volume() / 100.0f);
    effect->play();
    return "played";
}
