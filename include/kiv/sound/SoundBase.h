#pragma once

#include <kiv/base/String.h>
#include <kiv/base/node.h>

namespace kiv {
class SoundBuffer;
class WaveFile;
} // namespace kiv

// What every wave sound shares: a RIFF WAVE file (a "WAVE" resource of the game, else a file
// in the sound effects' or the music folder) and a sound buffer that plays it. A sound whose
// file is missing, damaged or in a format that can't be played has no buffer; every
// operation on it then does nothing.
class KIV_API SoundBase : public node {
public:
    SoundBase();
    SoundBase(const char* name, const char* file, bool loop, bool streamed);
    SoundBase(const SoundBase&) = delete;
    SoundBase& operator=(const SoundBase&) = delete;
    ~SoundBase() override;

    // A new sound of the same file, name, flags, volume and pan.
    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    // The level plays and stops its sounds through these.
    virtual void Play();
    virtual void Stop();

    // Opens the wave and reads its format; false (the file closed) on any fault.
    bool Open(const char* file);
    // Back to the start of the wave data; the count of bytes read starts again at 0.
    void Reset();
    // Copies up to n bytes of wave data into buffer, never past the data's end; *read
    // receives how many.
    void Read(unsigned n, unsigned char* buffer, unsigned* read);
    // Skips up to n bytes of wave data.
    void Advance(unsigned n);
    void Close();

    bool IsPlaying();
    // Remembers where a playing sound is and stops it.
    void Pause();
    void SetLoopFlag(bool loop) { m_Loop = loop; }
    // Limited to -10000 (silence) .. 0 hundredths of a decibel.
    void SetVolume(int volume);
    // Limited to -10000 (left only) .. 10000 (right only).
    void SetPan(int pan);
    // Silence (byte 128 for 8-bit data, 0 otherwise) over the whole buffer, then as much
    // wave data as it holds from the current position.
    void FillBuffer();
    // True without a buffer.
    bool IsBufferLost();
    void RestoreBuffer();

    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    void Name(const char* name) { m_Name = name; }
    const char* Name() const { return m_Name; }
    const char* FileName() const { return m_File; }
    bool LoopFlag() const { return m_Loop; }
    bool Streamed() const { return m_Streamed; }
    void PausedBySystem(bool paused) { m_PausedBySystem = paused; }
    bool PausedBySystem() const { return m_PausedBySystem; }
    int Volume() const { return m_Volume; }
    int Pan() const { return m_Pan; }
    // Where play resumes (bytes into the buffer).
    unsigned long PlayPosition() const { return m_PlayPosition; }
    unsigned BytesRead() const { return m_BytesRead; }
    // The play cursor in bytes; 0 without a buffer.
    unsigned long CurrentPosition();
    // Null when the sound has no usable buffer.
    kiv::SoundBuffer* Buffer() const { return m_Buffer; }

protected:
    // Describes the buffer (the whole data static, or two seconds for streaming) and makes it.
    void CreateBuffer();
    void ReleaseBuffer();
    // The byte value of silence in this sound's format.
    unsigned char Silence() const;
    unsigned BufferBytes() const { return m_BufferBytes; }

    String m_Name;
    String m_File;
    bool m_Streamed;
    bool m_Loop;
    bool m_PausedBySystem;
    // The wave file with its format and its RIFF and data chunks.
    kiv::WaveFile* m_Wave;
    kiv::SoundBuffer* m_Buffer;
    unsigned m_BufferFlags;
    unsigned m_BufferBytes;
    unsigned long m_PlayPosition;
    int m_Volume;
    int m_Pan;
    unsigned m_BytesRead;
    int m_Id;
};
