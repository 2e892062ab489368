#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace kiv::platform {

// What a file dialog drawn by the runtime itself shows and does, apart from drawing: the
// entries of a folder (its parent, its folders, its files that match the pattern), the
// selected entry, and the name field the player types in or fills by selecting a file.
class FileChooser {
public:
    struct Entry {
        std::string name;
        bool folder;
    };

    explicit FileChooser(const FileChoice& choice);

    const std::string& Folder() const { return folder; }
    const std::vector<Entry>& Entries() const { return entries; }
    // The selected entry; -1 when none is.
    int Selected() const { return selected; }
    const std::string& Name() const { return name; }

    // Selecting a file puts its name in the name field.
    void Select(int index);
    // Moves the selection by `delta` entries, staying inside the list.
    void Move(int delta);
    // Typed text goes to the end of the name field; Erase takes its last character away.
    // Both leave no entry selected.
    void Type(const std::string& text);
    void Erase();
    // The player confirms: a selected folder opens; a name that is a folder opens that
    // folder; otherwise the dialog ends with the name's path, the default extension added
    // when it has none (true). An empty name does nothing.
    bool Confirm();
    // The path the dialog ended with.
    const std::string& Result() const { return result; }

private:
    void Open(const std::string& path);

    FileChoice choice;
    std::string pattern;
    std::string extension;
    std::string folder;
    std::vector<Entry> entries;
    int selected = -1;
    std::string name;
    std::string result;
};

} // namespace kiv::platform
