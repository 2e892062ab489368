#include "platform/FileChooser.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <system_error>

namespace kiv::platform {

namespace fs = std::filesystem;

FileChooser::FileChooser(const FileChoice& c)
    : choice(c), pattern(c.pattern), extension(c.extension) {
    choice.pattern = pattern.c_str();
    choice.extension = extension.c_str();
    std::error_code ec;
    std::string start = LocalPath(c.folder);
    Open(fs::is_directory(start, ec) ? start : fs::current_path(ec).string());
}

// Folders first, then files, each in name order; the parent folder leads the list.
void FileChooser::Open(const std::string& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    folder = ec ? path : canonical.string();
    choice.folder = folder.c_str();
    entries.clear();
    std::vector<Entry> folders, files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (entry.empty() || entry[0] == '.')
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            folders.push_back({entry, true});
        else if (fnmatch(pattern.c_str(), entry.c_str(), 0) == 0)
            files.push_back({entry, false});
    }
    auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (fs::path(folder).has_parent_path() && fs::path(folder) != fs::path(folder).root_path())
        entries.push_back({"..", true});
    entries.insert(entries.end(), folders.begin(), folders.end());
    entries.insert(entries.end(), files.begin(), files.end());
    selected = -1;
}

void FileChooser::Select(int index) {
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    selected = index;
    if (!entries[static_cast<size_t>(index)].folder)
        name = entries[static_cast<size_t>(index)].name;
}

void FileChooser::Move(int delta) {
    if (entries.empty())
        return;
    int last = static_cast<int>(entries.size()) - 1;
    Select(std::clamp(selected < 0 ? (delta > 0 ? delta - 1 : last) : selected + delta, 0, last));
}

// Typing makes the name field the answer, whatever entry was selected.
void FileChooser::Type(const std::string& text) {
    name += text;
    selected = -1;
}

void FileChooser::Erase() {
    if (!name.empty())
        name.pop_back();
    selected = -1;
}

bool FileChooser::Confirm() {
    std::error_code ec;
    if (selected >= 0 && entries[static_cast<size_t>(selected)].folder) {
        const std::string& entry = entries[static_cast<size_t>(selected)].name;
        Open((fs::path(folder) / entry).string());
        return false;
    }
    if (name.empty())
        return false;
    fs::path typed = fs::path(name).is_relative() ? fs::path(folder) / name : fs::path(name);
    if (fs::is_directory(typed, ec)) {
        name.clear();
        Open(typed.string());
        return false;
    }
    result = ChosenPath(name, choice);
    return true;
}

} // namespace kiv::platform
