#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// A list of texts whose entries keep their room when the list is emptied: refilled each
// frame with texts no longer than before, it allocates nothing.
class StringList {
public:
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    const char* operator[](std::size_t i) const { return entries[i].c_str(); }
    bool contains(const char* text) const {
        const std::string_view wanted(text);
        for (std::size_t i = 0; i < count; ++i)
            if (entries[i] == wanted)
                return true;
        return false;
    }

    void clear() { count = 0; }
    void push_back(const char* text) {
        if (count == entries.size())
            entries.emplace_back();
        entries[count++].assign(text, std::strlen(text));
    }

private:
    std::vector<std::string> entries;
    std::size_t count = 0;
};

} // namespace kiv
