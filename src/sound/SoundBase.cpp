#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/sound/SoundBase.h>
#include <kiv/sound/SoundCard.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"
#include "sound/AudioMixer.h"
#include "sound/WaveFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

CREATE registration("SoundBase", [] { return static_cast<node*>(new SoundBase); });

constexpr unsigned StaticCaps = kiv::ds::CapsStatic | kiv::ds::CapsControlPan |
                                kiv::ds::CapsControlVolume | kiv::ds::CapsGetCurrentPosition2 |
                                kiv::ds::CapsLocDefer; // 0x500C2
constexpr unsigned StreamingCaps = kiv::ds::CapsControlPan | kiv::ds::CapsControlVolume |
                                   kiv::ds::CapsGetCurrentPosition2; // 0x100C0

} // namespace

SoundBase::SoundBase()
    : m_Streamed(false), m_Loop(false), m_PausedBySystem(false), m_Wave(new kiv::WaveFile),
      m_Buffer(nullptr), m_BufferFlags(0), m_BufferBytes(0), m_PlayPosition(0), m_Volume(0),
      m_Pan(0), m_BytesRead(0), m_Id(0) {}

SoundBase::SoundBase(const char* name, const char* file, bool loop, bool streamed) : SoundBase() {
    m_Name = name;
    m_File = file;
    m_Loop = loop;
    m_Streamed = streamed;
    if (!Open(file))
        return;
    Reset();
    if (!m_Wave->Data().size)
        return;
    CreateBuffer();
    Reset();
    RestoreBuffer();
    FillBuffer();
}

SoundBase::~SoundBase() {
    ReleaseBuffer();
    delete m_Wave;
}

node* SoundBase::Clone() {
    auto* copy = new SoundBase(m_Name, m_File, m_Loop, m_Streamed);
    copy->Id(m_Id);
    copy->SetVolume(m_Volume);
    copy->SetPan(m_Pan);
    return copy;
}

const char* SoundBase::ClassName() {
    return "SoundBase";
}

// A wave that can't be opened, or whose data chunk is missing or cut short (by a single byte
// even), is never played; the player is told which file it is.
bool SoundBase::Open(const char* file) {
    Close();
    if (!file)
        return false;
    bool opened = false;
    std::string path;
    if (const KivResource* r = kiv::platform::Resources::Instance().Find("WAVE", file)) {
        opened = m_Wave->OpenMemory(r->data, r->size);
    } else {
        path = kiv::platform::LocalPath((m_Streamed ? kiv::MusicPath : kiv::SFXPath) + file);
        opened = m_Wave->OpenDisk(path);
    }
    if (opened && m_Wave->Rewind())
        return true;
    std::error_code ec;
    if (!path.empty() && !std::filesystem::is_regular_file(path, ec))
        kiv::Diagnostic(kiv::Message(m_Streamed ? 25 : 24), path.c_str());
    else
        kiv::Diagnostic("The sound file %s is damaged: it is not a whole RIFF WAVE file.", file);
    Close();
    return false;
}

void SoundBase::Reset() {
    m_BytesRead = 0;
    m_Wave->Rewind();
}

void SoundBase::Read(unsigned n, unsigned char* buffer, unsigned* read) {
    unsigned count = m_Wave->Read(n, buffer);
    if (read)
        *read = count;
}

void SoundBase::Advance(unsigned n) {
    m_Wave->Advance(n);
}

void SoundBase::Close() {
    m_Wave->Close();
}

void SoundBase::CreateBuffer() {
    ReleaseBuffer();
    const kiv::WaveFormat& format = m_Wave->Format();
    std::uint64_t bytes = m_Streamed ? 2ull * format.avgBytesPerSec : m_Wave->Data().size;
    m_BufferFlags = m_Streamed ? StreamingCaps : StaticCaps;
    m_BufferBytes = static_cast<unsigned>(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
    SoundCard::Instance();
    kiv::SoundBuffer* buffer = nullptr;
    if (SoundCard::DirectSound()->CreateBuffer(m_BufferFlags, m_BufferBytes, format, &buffer) ==
        kiv::ds::Ok)
        m_Buffer = buffer;
}

void SoundBase::ReleaseBuffer() {
    if (m_Buffer)
        SoundCard::DirectSound()->Release(m_Buffer);
    m_Buffer = nullptr;
}

unsigned char SoundBase::Silence() const {
    return m_Wave->Format().bitsPerSample == 8 ? 128 : 0;
}

bool SoundBase::IsPlaying() {
    unsigned status = 0;
    return m_Buffer && m_Buffer->GetStatus(&status) == kiv::ds::Ok &&
           (status & kiv::ds::StatusPlaying);
}

void SoundBase::Pause() {
    if (!IsPlaying())
        return;
    unsigned position = 0;
    m_Buffer->GetCurrentPosition(&position, nullptr);
    m_PlayPosition = position;
    m_Buffer->Stop();
}

void SoundBase::SetVolume(int volume) {
    m_Volume = std::clamp(volume, kiv::ds::VolumeMin, kiv::ds::VolumeMax);
    if (m_Buffer)
        m_Buffer->SetVolume(m_Volume);
}

void SoundBase::SetPan(int pan) {
    m_Pan = std::clamp(pan, kiv::ds::PanLeft, kiv::ds::PanRight);
    if (m_Buffer)
        m_Buffer->SetPan(m_Pan);
}

void SoundBase::FillBuffer() {
    if (!m_Buffer)
        return;
    std::uint8_t* first = nullptr;
    unsigned size = 0;
    if (m_Buffer->Lock(0, m_BufferBytes, &first, &size, nullptr, nullptr) != kiv::ds::Ok)
        return;
    std::memset(first, Silence(), size);
    Read(size, first, nullptr);
    m_Buffer->Unlock();
}

bool SoundBase::IsBufferLost() {
    unsigned status = 0;
    return !m_Buffer || m_Buffer->GetStatus(&status) != kiv::ds::Ok ||
           (status & kiv::ds::StatusBufferLost);
}

void SoundBase::RestoreBuffer() {
    if (!m_Buffer || !IsBufferLost())
        return;
    while (m_Buffer->Restore() != kiv::ds::Ok)
        kiv::platform::Current().GetClock().Sleep(10);
}

unsigned long SoundBase::CurrentPosition() {
    unsigned position = 0;
    if (m_Buffer)
        m_Buffer->GetCurrentPosition(&position, nullptr);
    return position;
}

void SoundBase::Play() {
    if (!m_Buffer || IsPlaying())
        return;
    m_Buffer->SetCurrentPosition(static_cast<unsigned>(m_PlayPosition));
    m_Buffer->Play(m_Loop ? kiv::ds::PlayLooping : 0);
}

void SoundBase::Stop() {
    if (!m_Buffer)
        return;
    m_Buffer->Stop();
    m_PlayPosition = 0;
    m_Buffer->SetCurrentPosition(0);
}

void SoundBase::Save(File& file) {
    m_Name.Save(file);
    m_File.Save(file);
    file.Write(m_Volume);
    file.Write(m_Pan);
    file.Write(static_cast<int>(m_BytesRead));
    file.Write(m_Id);
    file.Write(m_Buffer ? CurrentPosition() : m_PlayPosition);
    file.Write(m_Loop);
    file.Write(m_PausedBySystem);
    file.Write(m_Streamed);
}

void SoundBase::Load(File& file) {
    ReleaseBuffer();
    Close();
    int bytesRead = 0;
    m_Name.Load(file);
    m_File.Load(file);
    file.Read(m_Volume);
    file.Read(m_Pan);
    file.Read(bytesRead);
    file.Read(m_Id);
    file.Read(m_PlayPosition);
    file.Read(m_Loop);
    file.Read(m_PausedBySystem);
    file.Read(m_Streamed);
    m_Volume = std::clamp(m_Volume, kiv::ds::VolumeMin, kiv::ds::VolumeMax);
    m_Pan = std::clamp(m_Pan, kiv::ds::PanLeft, kiv::ds::PanRight);

    if (!Open(m_File))
        return;
    Reset();
    if (!m_Wave->Data().size)
        return;
    CreateBuffer();
    Reset();
    // The data already streamed when the game was saved is skipped; the count goes on from
    // there.
    if (bytesRead > 0) {
        Advance(static_cast<unsigned>(bytesRead));
        m_BytesRead = static_cast<unsigned>(bytesRead);
    }
    RestoreBuffer();
    FillBuffer();
    SetVolume(m_Volume);
    SetPan(m_Pan);
}
