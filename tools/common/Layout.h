#pragma once

// The layout of a binary record of the game data, written once and used both ways: the
// compiler turns a JSON description into the record's bytes, the dumper turns the bytes back
// into the same JSON. JSON keys are the record's field names.

#include <nlohmann/json.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kiv::tools {

using Json = nlohmann::ordered_json;

// A fault in a JSON description or a binary file, with where it happened.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Binary value types, with their widths in files.
enum class Type {
    Bool,    // 1 byte
    U8,      // 1 byte
    I32,     // 4 bytes
    U32,     // 4 bytes; -1 in JSON stands for 0xFFFFFFFF
    F32,     // 4 bytes
    F64,     // 8 bytes
    String,  // int length, then the characters (code page 1252; UTF-8 in JSON)
    Rect,    // four ints: left, top, right, bottom
    FRect,   // four floats: top, left, bottom, right
    Bytes16, // 16 bytes, a JSON array of 16 numbers
};

struct Item;
using Layout = std::vector<Item>;

struct Item {
    enum class Kind {
        Value,    // one value
        Group,    // a JSON object holding a layout, stored inline
        List,     // int count, then that many elements
        Fixed,    // exactly `count` elements, no count stored
        Count,    // the element count of a later External list, stored here
        External, // elements whose count was stored earlier by a Count item
        Switch,   // a tag (read here, or an earlier value) choosing the layout that follows
        Optional, // bool present, then the layout (JSON: the key present or absent)
        Attached, // a JSON key handled by the tool itself, not part of this record
    };

    Kind kind = Kind::Value;
    std::string key;
    Type type = Type::I32;
    Json fallback;                              // value when the key is absent; null: required
    std::vector<std::string> names;             // names of integer values (JSON may use either)
    std::shared_ptr<const Layout> body;         // Group, List, Fixed, External, Optional
    int count = 0;                              // Fixed
    bool objects = true;                        // list elements: JSON objects (else bare values)
    std::string tagFrom;                        // Switch on an earlier value instead of its own tag
    std::vector<std::pair<Json, Layout>> cases; // Switch cases, by tag value
    std::shared_ptr<const Layout> otherwise;    // Switch: any other tag value
    bool closed = false;                        // Switch: any other tag value is refused
    bool ranged = false;                        // numbers or list sizes outside [low, high]
    double low = 0, high = 0;
};

// Building blocks for writing layouts.
Item Value(std::string key, Type type, Json fallback = nullptr);
Item Named(std::string key, Type type, std::vector<std::string> names, Json fallback = nullptr);
Item Group(std::string key, Layout body);
Item List(std::string key, Layout element);
// A list of bare values of one type.
Item ValueList(std::string key, Type type);
Item Fixed(std::string key, int count, Layout element, Json fallback = nullptr);
Item Count(std::string listKey);
Item External(std::string key, Layout element);
Item Switch(Item tag, std::vector<std::pair<Json, Layout>> cases, Layout otherwise = {});
// A switch on a value met earlier in the same object (or on the count of a list).
Item SwitchOn(std::string earlierKey, std::vector<std::pair<Json, Layout>> cases,
              Layout otherwise = {});
Item Optional(std::string key, Layout body);
Item Attached(std::string key);
// A number (or each side of a rectangle) that must lie in [low, high]; a float outside it,
// NaN or infinite is refused. A list of more than `high` elements is refused.
Item InRange(Item item, double low, double high);
// A position, extent or speed: within the coordinates the runtime accepts.
Item Coordinate(std::string key, Type type, Json fallback = nullptr);
// A switch whose tag must be one of its cases: data with another tag has been read out of
// step (the dumper refuses it) or is not data the runtime knows (the compiler refuses it).
Item Closed(Item sw);

// Appends the bytes of `object` laid out by `layout`; `path` names the object in errors.
void Compile(const Layout& layout, const Json& object, std::vector<unsigned char>& out,
             const std::string& path);

// Reads bytes laid out by `layout` into a JSON object (every field written out, defaults
// included, so that compiling it again gives the same bytes).
class Reader {
public:
    Reader(const std::vector<unsigned char>& bytes, std::string fileName)
        : data(bytes), file(std::move(fileName)) {}
    Json Read(const Layout& layout, const std::string& path);
    bool AtEnd() const { return position == data.size(); }
    size_t Position() const { return position; }

private:
    friend struct ReadContext;
    const unsigned char* Take(size_t n, const std::string& path);

    const std::vector<unsigned char>& data;
    std::string file;
    size_t position = 0;
};

} // namespace kiv::tools
