#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/sound/Sound.h>

#include "sound/AudioMixer.h"

#include <algorithm>
#include <cstring>

Sound SoundPTR::dummySoundPtr;

namespace {

CREATE registration("Sound", [] { return static_cast<node*>(new Sound); });

} // namespace

Sound::Sound() : m_PlayPercentage(0) {}

Sound::Sound(const char* name, const char* file, bool loop, int percentage)
    : SoundBase(name, file, loop, false), m_PlayPercentage(std::clamp(percentage, 0, 100)) {}

node* Sound::Clone() {
    auto* copy = new Sound(m_Name, m_File, m_Loop, m_PlayPercentage);
    copy->Id(m_Id);
    copy->SetVolume(m_Volume);
    copy->SetPan(m_Pan);
    return copy;
}

const char* Sound::ClassName() {
    return "Sound";
}

void Sound::SetPlayPercentage(int percentage) {
    m_PlayPercentage = std::clamp(percentage, 0, 100);
}

void Sound::Start(unsigned long position) {
    const unsigned flags = m_Loop ? kiv::ds::PlayLooping : 0;
    m_Buffer->SetCurrentPosition(static_cast<unsigned>(position));
    while (m_Buffer->Play(flags) == kiv::ds::BufferLost) {
        Reset();
        RestoreBuffer();
        FillBuffer();
        m_Buffer->SetCurrentPosition(static_cast<unsigned>(position));
    }
}

void Sound::Play() {
    if (!m_Buffer)
        return;
    if (!IsPlaying()) {
        Start(m_PlayPosition);
        return;
    }
    // Playing: start again only once the play percentage of the buffer has played.
    std::uint64_t threshold = static_cast<std::uint64_t>(m_BufferBytes) * m_PlayPercentage / 100;
    if (CurrentPosition() >= threshold) {
        m_Buffer->Stop();
        m_Buffer->SetCurrentPosition(0);
        Start(0);
    }
}

void Sound::Stop() {
    if (!m_Buffer)
        return;
    m_Buffer->Stop();
    m_PlayPosition = 0;
    m_Buffer->SetCurrentPosition(0);
}

Sound* Sound::Search(const char* name) {
    if (!gNode || !name)
        return nullptr;
    for (node* n = gNode->Sounds().Head(); !n->EOList(); n = n->Next()) {
        auto* s = static_cast<Sound*>(n);
        if (std::strcmp(s->Name(), name) == 0)
            return s;
    }
    return nullptr;
}

void Sound::Save(File& file) {
    SoundBase::Save(file);
    file.Write(m_PlayPercentage);
    file.Write(IsPlaying());
    file.Write(CurrentPosition());
}

void Sound::Load(File& file) {
    SoundBase::Load(file);
    bool playing = false;
    unsigned long position = 0;
    file.Read(m_PlayPercentage);
    file.Read(playing);
    file.Read(position);
    m_PlayPercentage = std::clamp(m_PlayPercentage, 0, 100);
    if (!m_Buffer)
        return;
    m_Buffer->SetCurrentPosition(static_cast<unsigned>(position));
    if (playing)
        Play();
}
