#include <kiv/base/UserError.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/sound/MidiFile.h>
#include <kiv/sound/SoundCard.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "host/HostGlobals.h"
#include "platform/Audio.h"
#include "platform/Platform.h"
#include "sound/MidiPlayer.h"
#include "sound/MidiSequence.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

MidiFile MidiFilePTR::dummyMidiFilePtr;

namespace {

CREATE registration("MidiFile", [] { return static_cast<node*>(new MidiFile); });

constexpr int VolumeLimit = 5000;
constexpr unsigned LoopRepeats = 100000;
// Far larger than any song; a bigger file is not read.
constexpr long LargestFile = 64L << 20;

bool ReadWhole(const std::string& path, std::vector<unsigned char>& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    bool ok = size >= 0 && size <= LargestFile && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(static_cast<std::size_t>(size));
        ok = std::fread(out.data(), 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    return ok;
}

// Without a sound font the music plays on in silence: the player is told once.
void ReportSilentMusic() {
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    kiv::Diagnostic("MIDI music is silent: the sound font %s cannot be loaded.",
                    kiv::platform::SoundFontPath().c_str());
}

} // namespace

MidiFile::MidiFile()
    : m_Player(nullptr), m_Loop(false), m_PausedBySystem(false), m_PlayRequested(false), m_Id(0),
      m_Volume(0), m_PausedTime(0), m_StartPoint(0) {}

MidiFile::MidiFile(const char* name, const char* file, bool loop) : MidiFile() {
    m_Name = name;
    m_File = file;
    m_Loop = loop;
    Build();
}

MidiFile::~MidiFile() {
    if (m_Player && m_Player->IsPlaying())
        m_Player->Stop();
    delete m_Player;
}

void MidiFile::Build() {
    delete m_Player;
    m_Player = nullptr;
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::vector<unsigned char> disk;
    if (const KivResource* r = kiv::platform::Resources::Instance().Find("midi", m_File)) {
        bytes = r->data;
        size = r->size;
    } else if (ReadWhole(kiv::platform::LocalPath(kiv::MusicPath + m_File), disk)) {
        bytes = disk.data();
        size = disk.size();
    }
    kiv::MidiSequence sequence;
    if (!bytes || !sequence.Parse(bytes, size))
        FatalError(kiv::Message(111), static_cast<const char*>(m_File));
    SoundCard::Instance();
    std::unique_ptr<kiv::platform::MidiSynth> synth = kiv::platform::CreateMidiSynth();
    if (!synth)
        ReportSilentMusic();
    m_Player =
        new kiv::MidiPlayer(*SoundCard::DirectSound(), std::move(sequence), std::move(synth));
}

node* MidiFile::Clone() {
    auto* copy = new MidiFile(m_Name, m_File, m_Loop);
    copy->Id(m_Id);
    copy->SetVolume(m_Volume);
    return copy;
}

const char* MidiFile::ClassName() {
    return "MidiFile";
}

void MidiFile::Play() {
    m_PlayRequested = true;
    if (m_Player && !m_Player->IsPlaying())
        m_Player->Play(m_StartPoint, Repeats());
}

void MidiFile::Stop() {
    m_PlayRequested = false;
    if (m_Player)
        m_Player->Stop();
    m_StartPoint = 0;
    m_PausedTime = 0;
}

void MidiFile::Pause() {
    m_PlayRequested = false;
    if (!m_Player)
        return;
    m_Player->Stop();
    m_PausedTime = m_Player->MusicTime();
    m_StartPoint = m_PausedTime;
}

unsigned MidiFile::Repeats() const {
    return m_Loop ? LoopRepeats : 0;
}

bool MidiFile::IsPlaying() {
    return m_Player && m_Player->IsPlaying();
}

long MidiFile::MusicTime() {
    return m_Player ? m_Player->MusicTime() : m_PausedTime;
}

void MidiFile::SetVolume(int volume) {
    m_Volume = std::clamp(volume, -VolumeLimit, VolumeLimit);
    if (m_Player)
        m_Player->Volume(m_Volume);
}

void MidiFile::SetLoopFlag(bool loop) {
    bool playing = IsPlaying();
    if (playing)
        Pause();
    m_Loop = loop; // the repeat count of the next play: LoopRepeats or none
    if (playing)
        Play();
}

MidiFile* MidiFile::Search(const char* name) {
    if (!gNode || !name)
        return nullptr;
    for (node* n = gNode->MidiFiles().Head(); !n->EOList(); n = n->Next()) {
        auto* m = static_cast<MidiFile*>(n);
        if (std::strcmp(m->Name(), name) == 0)
            return m;
    }
    return nullptr;
}

void MidiFile::Save(File& file) {
    // Music that has not been paused is saved at the time it has reached, which is kept as
    // its paused time: a second save writes that same time.
    if (m_Player && m_PausedTime == 0)
        m_PausedTime = m_Player->MusicTime();
    m_Name.Save(file);
    m_File.Save(file);
    file.Write(m_Loop);
    file.Write(m_PausedBySystem);
    file.Write(m_Id);
    file.Write(m_Volume);
    file.Write(m_PlayRequested);
    file.Write(m_PausedTime);
}

void MidiFile::Load(File& file) {
    delete m_Player;
    m_Player = nullptr;
    long time = 0;
    m_Name.Load(file);
    m_File.Load(file);
    file.Read(m_Loop);
    file.Read(m_PausedBySystem);
    file.Read(m_Id);
    file.Read(m_Volume);
    file.Read(m_PlayRequested);
    file.Read(time);
    m_PausedTime = time;
    m_StartPoint = 0;
    Build();
    if (time != 0)
        m_StartPoint = time;
    SetVolume(m_Volume);
    if (m_PausedBySystem || m_PlayRequested) {
        Play();
        m_PausedBySystem = false;
    }
}
