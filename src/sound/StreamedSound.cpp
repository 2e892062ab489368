#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/sound/StreamedSound.h>

#include "sound/AudioMixer.h"

#include <algorithm>
#include <cstring>

StreamedSound StreamedSoundPTR::dummyStreamedSoundPtr;

namespace {

CREATE registration("StreamedSound", [] { return static_cast<node*>(new StreamedSound); });

} // namespace

StreamedSound::StreamedSound()
    : m_LastPlayPosition(0), m_HalfSize(0), m_EndPosition(0), m_Ending(false), m_Shadow(nullptr) {
    m_Streamed = true;
}

StreamedSound::StreamedSound(const char* name, const char* file, bool loop)
    : SoundBase(name, file, loop, true), m_LastPlayPosition(0), m_HalfSize(0), m_EndPosition(0),
      m_Ending(false), m_Shadow(nullptr) {
    if (!m_Buffer)
        return;
    m_HalfSize = m_BufferBytes / 2;
    m_Shadow = new unsigned char[m_BufferBytes];
    Reset();
    FillShadow();
}

StreamedSound::~StreamedSound() {
    delete[] m_Shadow;
}

node* StreamedSound::Clone() {
    auto* copy = new StreamedSound(m_Name, m_File, m_Loop);
    copy->Id(m_Id);
    copy->SetVolume(m_Volume);
    copy->SetPan(m_Pan);
    return copy;
}

const char* StreamedSound::ClassName() {
    return "StreamedSound";
}

void StreamedSound::FillShadow() {
    if (!m_Shadow)
        return;
    std::memset(m_Shadow, Silence(), m_BufferBytes);
    Read(m_BufferBytes, m_Shadow, nullptr);
}

void StreamedSound::Refill() {
    Reset();
    RestoreBuffer();
    FillBuffer();
    Reset();
    FillShadow();
}

void StreamedSound::FillFromLostBuffer() {
    if (!m_Buffer || !m_Shadow)
        return;
    std::uint8_t* whole = nullptr;
    unsigned size = 0;
    if (m_Buffer->Lock(0, m_BufferBytes, &whole, &size, nullptr, nullptr) != kiv::ds::Ok)
        return;
    std::memcpy(whole, m_Shadow, size);
    m_Buffer->Unlock();
}

void StreamedSound::Play() {
    if (!m_Buffer || IsPlaying())
        return;
    m_Buffer->SetCurrentPosition(static_cast<unsigned>(m_PlayPosition));
    // The buffer always plays round and round; the data decides when the music ends.
    while (m_Buffer->Play(kiv::ds::PlayLooping) == kiv::ds::BufferLost) {
        RestoreBuffer();
        FillFromLostBuffer();
        m_Buffer->SetCurrentPosition(static_cast<unsigned>(m_PlayPosition));
    }
}

void StreamedSound::Stop() {
    if (!m_Buffer)
        return;
    m_Buffer->Stop();
    m_PlayPosition = m_EndPosition = m_LastPlayPosition = 0;
    m_Ending = false;
    m_Buffer->SetCurrentPosition(0);
    Refill();
}

void StreamedSound::UpdateBuffer() {
    if (!m_Buffer || !m_Shadow || !IsPlaying())
        return;
    const auto size = static_cast<unsigned long>(m_BufferBytes);
    const unsigned long half = m_HalfSize;
    const unsigned long p = CurrentPosition();

    if (m_Ending) {
        // The buffer wraps, so "past the end" means: the cursor went at least as far since
        // the previous update as the end lay ahead of it.
        auto ahead = [size](unsigned long from, unsigned long to) {
            return (to + size - from) % size;
        };
        if (ahead(m_LastPlayPosition, p) >= ahead(m_LastPlayPosition, m_EndPosition)) {
            m_Buffer->Stop();
            m_EndPosition = m_LastPlayPosition = 0;
            m_Ending = false;
            Refill();
            return;
        }
    } else if ((p >= half && m_LastPlayPosition < half) || p < m_LastPlayPosition) {
        // The cursor entered the other half (or wrapped): refill the half it left.
        const unsigned long offset = p < half ? half : 0;
        std::uint8_t* part = nullptr;
        unsigned partBytes = 0;
        std::int32_t locked;
        while ((locked = m_Buffer->Lock(static_cast<unsigned>(offset), static_cast<unsigned>(half),
                                        &part, &partBytes, nullptr, nullptr)) ==
               kiv::ds::BufferLost) {
            RestoreBuffer();
            FillFromLostBuffer();
        }
        if (locked == kiv::ds::Ok) {
            unsigned char* shadow = m_Shadow + offset;
            unsigned got = 0;
            Read(static_cast<unsigned>(half), shadow, &got);
            m_BytesRead += got;
            if (got < half && !m_Loop) {
                std::memset(shadow + got, Silence(), half - got);
                m_EndPosition = offset + got;
                m_Ending = true;
            }
            // Looping: the data starts again right after its end, as often as the half needs.
            while (got < half && m_Loop) {
                Reset();
                unsigned more = 0;
                Read(static_cast<unsigned>(half - got), shadow + got, &more);
                m_BytesRead += more;
                if (more == 0) { // no data at all: silence
                    std::memset(shadow + got, Silence(), half - got);
                    break;
                }
                got += more;
            }
            std::memcpy(part, shadow, std::min<unsigned long>(half, partBytes));
            m_Buffer->Unlock();
        }
    }
    m_LastPlayPosition = p;
}

StreamedSound* StreamedSound::Search(const char* name) {
    if (!gNode || !name)
        return nullptr;
    for (node* n = gNode->StreamedSounds().Head(); !n->EOList(); n = n->Next()) {
        auto* s = static_cast<StreamedSound*>(n);
        if (std::strcmp(s->Name(), name) == 0)
            return s;
    }
    return nullptr;
}

void StreamedSound::Save(File& file) {
    SoundBase::Save(file);
    file.Write(m_LastPlayPosition);
    file.Write(m_HalfSize);
    file.Write(m_EndPosition);
    file.Write(m_Ending);
    file.Write(IsPlaying());
    file.Write(CurrentPosition());
}

void StreamedSound::Load(File& file) {
    SoundBase::Load(file);
    bool playing = false;
    unsigned long position = 0;
    file.Read(m_LastPlayPosition);
    file.Read(m_HalfSize);
    file.Read(m_EndPosition);
    file.Read(m_Ending);
    file.Read(playing);
    file.Read(position);
    delete[] m_Shadow;
    m_Shadow = nullptr;
    if (!m_Buffer)
        return;
    // The buffer's size, not the record, says where its halves lie.
    m_HalfSize = m_BufferBytes / 2;
    m_LastPlayPosition %= m_BufferBytes;
    m_EndPosition %= m_BufferBytes;

    // The buffer now holds, in order, one buffer's worth of data from where streaming had
    // got to, which is what it held when the game was saved; the half refilled last was the
    // first one when the cursor had moved into the second. The shadow keeps the same bytes,
    // and streaming continues with the data that follows them.
    std::uint8_t* whole = nullptr;
    unsigned size = 0;
    m_Shadow = new unsigned char[m_BufferBytes];
    std::memset(m_Shadow, Silence(), m_BufferBytes);
    if (m_Buffer->Lock(0, m_BufferBytes, &whole, &size, nullptr, nullptr) == kiv::ds::Ok) {
        if (m_LastPlayPosition >= m_HalfSize)
            std::rotate(whole, whole + m_HalfSize, whole + size);
        std::memcpy(m_Shadow, whole, size);
        m_Buffer->Unlock();
    }
    m_Buffer->SetCurrentPosition(static_cast<unsigned>(position));
    if (playing)
        Play();
}
