#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/String.h>
#include <kiv/base/node.h>

namespace kiv {
class MidiPlayer;
}

// A Standard MIDI File (a "midi" resource of the game, else a file in the music folder)
// played by the General MIDI synthesiser into the sound card's mix. A file that is missing
// or not a Standard MIDI File ends the game (message 111).
class KIV_API MidiFile : public node {
public:
    MidiFile();
    MidiFile(const char* name, const char* file, bool loop);
    MidiFile(const MidiFile&) = delete;
    MidiFile& operator=(const MidiFile&) = delete;
    ~MidiFile() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    // Plays from the start point (the beginning, or where it was paused); nothing while it
    // plays. Marks the music as requested.
    void Play();
    // Stops; the next play starts from the beginning.
    void Stop();
    // Stops; the next play continues from here.
    void Pause();
    bool IsPlaying();
    // Master volume, limited to -5000..5000 hundredths of a decibel.
    void SetVolume(int volume);
    // Looping repeats the whole file 100000 times. Music that plays goes on playing.
    void SetLoopFlag(bool loop);

    // The MIDI file of the running level with that name, or null.
    static MidiFile* Search(const char* name);

    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    void Name(const char* name) { m_Name = name; }
    const char* Name() const { return m_Name; }
    const char* FileName() const { return m_File; }
    int Volume() const { return m_Volume; }
    bool LoopFlag() const { return m_Loop; }
    void PausedBySystem(bool paused) { m_PausedBySystem = paused; }
    bool PausedBySystem() const { return m_PausedBySystem; }
    bool PlayRequested() const { return m_PlayRequested; }
    // The music time (768 a quarter note) at which the music was paused; 0 after a stop.
    long PausedTime() const { return m_PausedTime; }
    // The music time of the position in the file.
    long MusicTime();
    // How many more times the file plays after the first (100000 when looping).
    unsigned Repeats() const;

private:
    // Reads the file and makes the player; ends the game when that fails.
    void Build();

    kiv::MidiPlayer* m_Player;
    bool m_Loop;
    bool m_PausedBySystem;
    bool m_PlayRequested;
    int m_Id;
    int m_Volume;
    long m_PausedTime;
    long m_StartPoint;
    String m_Name;
    String m_File;
};

// A MidiFile that is never null: an unknown name gives a silent stand-in.
class KIV_API MidiFilePTR : public kiv::Handle<MidiFile, MidiFilePTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static MidiFile* Fallback() { return &dummyMidiFilePtr; }
    static MidiFile dummyMidiFilePtr;
};
