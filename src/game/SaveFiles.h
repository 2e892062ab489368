#pragma once

#include <kiv/data/File.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace kiv {

// The magic words that open save and replay files (7 bytes, no terminator).
inline constexpr char SaveMagic[] = "KIV_SAV";   // saved through the save dialog
inline constexpr char NamedMagic[] = "KIV_SAR";  // saved under a name, and a replay's start
inline constexpr char ReplayMagic[] = "KIV_REP"; // a replay's recorded input
inline constexpr int MagicLength = 7;

// A file written under a temporary name beside its target and renamed over the target only
// once it is complete, so that a save that fails or is cut short leaves the previous file
// whole.
class SafeFile {
public:
    // Ends the game through the fatal exit (message 105, naming the target) when the file
    // cannot be made.
    explicit SafeFile(const char* target);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    File& Get() { return *file; }
    // Puts the finished file in place of the target; false (the target unchanged) when a
    // write failed.
    bool Commit();

private:
    std::string target;
    std::string temporary;
    std::unique_ptr<File> file;
};

// Reads the magic word at the start of `file`: true when it is one of `magics`. A file too
// short to hold one is foreign, not damaged.
bool ReadMagic(File& file, std::initializer_list<const char*> magics);

// Copies a file through a SafeFile; false when the source cannot be read or the copy
// cannot be written.
bool CopySafely(const char* from, const char* to);

// Work files in the current folder: the game saved when a recording starts, and when a
// replay starts (to come back to it afterwards). The game removes them when it ends.
inline constexpr char StartOfRecording[] = "\\gamesavestartrecording.sat";
inline constexpr char StartOfReplay[] = "\\gamesavewhenreplay.sat";
String WorkFile(const char* name);
void RemoveWorkFiles();

// The start of a replay: beside its file, under the same name with ".sar" in place of the
// last four characters.
String ReplayStartName(const char* replay);

// Shows one of the messages of saving and loading (116 to 119) in an error box.
void SaveError(int message);

} // namespace kiv
