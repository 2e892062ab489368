// The level's sounds: adding them to its lists, and the helpers that make, play and stop
// them by name.

#include <kiv/game/GameNode.h>
#include <kiv/sound/MidiFile.h>
#include <kiv/sound/Sound.h>
#include <kiv/sound/StreamedSound.h>

#include "base/Messages.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <filesystem>
#include <system_error>

namespace {

// A resource of the game named by the file, else the file in `folder`: the path is given
// back (for the report) when neither exists.
bool Exists(const char* type, const String& folder, const char* file, String& path) {
    if (kiv::platform::Resources::Instance().Find(type, file))
        return true;
    path = folder + file;
    std::error_code ec;
    return std::filesystem::is_regular_file(kiv::platform::LocalPath(path), ec);
}

} // namespace

bool GameNode::Add(Sound* s) {
    if (!s)
        return false;
    s->Id(++m_SoundCount);
    m_Sounds.add(s);
    return true;
}

bool GameNode::Add(StreamedSound* s) {
    if (!s)
        return false;
    s->Id(++m_StreamedSoundCount);
    m_StreamedSounds.add(s);
    return true;
}

bool GameNode::Add(MidiFile* m) {
    if (!m)
        return false;
    m->Id(++m_MidiFileCount);
    m_MidiFiles.add(m);
    return true;
}

bool GameNode::AddSFX(char* name, char* file, bool flag, int count) {
    String path;
    if (!Exists("WAVE", kiv::SFXPath, file ? file : "", path)) {
        kiv::ReportUserError("bool GameNode::AddSFX(char *,char *,bool,int)", 24,
                             static_cast<const char*>(path));
        return false;
    }
    return Add(new Sound(name, file, flag, count));
}

bool GameNode::AddMusic(char* name, char* file, bool flag) {
    String path;
    if (!Exists("WAVE", kiv::MusicPath, file ? file : "", path)) {
        kiv::ReportUserError("bool GameNode::AddMusic(char *,char *,bool)", 25,
                             static_cast<const char*>(path));
        return false;
    }
    return Add(new StreamedSound(name, file, flag));
}

bool GameNode::AddMidiFile(char* name, char* file, bool flag) {
    String path;
    if (!Exists("midi", kiv::MusicPath, file ? file : "", path)) {
        kiv::ReportUserError("bool GameNode::AddMidiFile(char *,char *,bool)", 26,
                             static_cast<const char*>(path));
        return false;
    }
    return Add(new MidiFile(name, file, flag));
}

void GameNode::PlaySFX(const char* name) {
    if (Sound* s = Sound::Search(name))
        s->Play();
    else
        kiv::ReportUserError("void GameNode::PlaySFX(const char *)", 24, name ? name : "");
}

void GameNode::PlayMusic(const char* name) {
    if (StreamedSound* s = StreamedSound::Search(name))
        s->Play();
    else
        kiv::ReportUserError("void GameNode::PlayMusic(const char *)", 25, name ? name : "");
}

void GameNode::StopMusic(const char* name) {
    if (StreamedSound* s = StreamedSound::Search(name))
        s->Stop();
    else
        kiv::ReportUserError("void GameNode::StopMusic(const char *)", 25, name ? name : "");
}

void GameNode::PlayMidiFile(const char* name) {
    if (MidiFile* m = MidiFile::Search(name))
        m->Play();
    else
        kiv::ReportUserError("void GameNode::PlayMidiFile(const char *)", 26, name ? name : "");
}

void GameNode::StopMidiFile(const char* name) {
    if (MidiFile* m = MidiFile::Search(name))
        m->Stop();
    else
        kiv::ReportUserError("void GameNode::StopMidiFile(const char *)", 26, name ? name : "");
}
