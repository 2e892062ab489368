#include "Layout.h"

#include "FieldNames.h"
#include "Numbers.h"
#include "Text.h"
#include "data/DataLimits.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

namespace kiv::tools {

Item Value(std::string key, Type type, Json fallback) {
    Item i;
    i.key = std::move(key);
    i.type = type;
    i.fallback = std::move(fallback);
    return i;
}

Item Named(std::string key, Type type, std::vector<std::string> names, Json fallback) {
    Item i = Value(std::move(key), type, std::move(fallback));
    i.names = std::move(names);
    return i;
}

namespace {

Item WithBody(Item::Kind kind, std::string key, Layout body) {
    Item i;
    i.kind = kind;
    i.key = std::move(key);
    i.body = std::make_shared<const Layout>(std::move(body));
    return i;
}

} // namespace

Item Group(std::string key, Layout body) {
    return WithBody(Item::Kind::Group, std::move(key), std::move(body));
}

Item List(std::string key, Layout element) {
    return WithBody(Item::Kind::List, std::move(key), std::move(element));
}

Item ValueList(std::string key, Type type) {
    Item i = WithBody(Item::Kind::List, std::move(key), {Value("", type)});
    i.objects = false;
    return i;
}

Item Fixed(std::string key, int count, Layout element, Json fallback) {
    Item i = WithBody(Item::Kind::Fixed, std::move(key), std::move(element));
    i.count = count;
    i.fallback = std::move(fallback);
    return i;
}

Item Count(std::string listKey) {
    Item i;
    i.kind = Item::Kind::Count;
    i.key = std::move(listKey);
    return i;
}

Item External(std::string key, Layout element) {
    return WithBody(Item::Kind::External, std::move(key), std::move(element));
}

Item Switch(Item tag, std::vector<std::pair<Json, Layout>> cases, Layout otherwise) {
    tag.kind = Item::Kind::Switch;
    tag.cases = std::move(cases);
    tag.otherwise = std::make_shared<const Layout>(std::move(otherwise));
    return tag;
}

Item SwitchOn(std::string earlierKey, std::vector<std::pair<Json, Layout>> cases,
              Layout otherwise) {
    Item i = Switch(Item{}, std::move(cases), std::move(otherwise));
    i.tagFrom = std::move(earlierKey);
    return i;
}

Item Optional(std::string key, Layout body) {
    return WithBody(Item::Kind::Optional, std::move(key), std::move(body));
}

Item Attached(std::string key) {
    Item i;
    i.kind = Item::Kind::Attached;
    i.key = std::move(key);
    return i;
}

Item InRange(Item item, double low, double high) {
    item.ranged = true;
    item.low = low;
    item.high = high;
    return item;
}

Item Coordinate(std::string key, Type type, Json fallback) {
    return InRange(Value(std::move(key), type, std::move(fallback)), -MaxCoordinate, MaxCoordinate);
}

Item Closed(Item sw) {
    sw.closed = true;
    return sw;
}

namespace {

std::string Join(const std::string& path, const std::string& key) {
    return key.empty() ? path : path.empty() ? key : path + "." + key;
}

const char* TypeName(Type t) {
    switch (t) {
    case Type::Bool:
        return "true or false";
    case Type::U8:
        return "a whole number from 0 to 255";
    case Type::I32:
        return "a whole number (32-bit signed)";
    case Type::U32:
        return "a whole number from 0 to 4294967295 (or -1)";
    case Type::F32:
    case Type::F64:
        return "a number";
    case Type::String:
        return "a text";
    case Type::Rect:
        return "a rectangle {left, top, right, bottom}";
    case Type::FRect:
        return "a rectangle {top, left, bottom, right}";
    case Type::Bytes16:
        return "an array of 16 numbers from 0 to 255";
    }
    return "a value";
}

[[noreturn]] void Expected(const std::string& path, const std::string& what) {
    throw DataError(path + ": expected " + what);
}

// Values met so far in one object: switch tags, and the counts of external lists.
using Context = std::map<std::string, Json>;

// ---- JSON to bytes ----

void Put(std::vector<unsigned char>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

// The range part of an error: " from LOW to HIGH", or nothing for an item without one.
std::string RangeText(const Item& item) {
    return item.ranged ? " from " + Number(item.low) + " to " + Number(item.high) : "";
}

void CheckRange(const Item& item, double v, const std::string& path, const char* what) {
    if (item.ranged && !(v >= item.low && v <= item.high))
        Expected(path, what + RangeText(item));
}

long long Whole(const Item& item, const Json& v, const std::string& path, long long lo,
                long long hi) {
    if (item.ranged) {
        lo = std::max(lo, static_cast<long long>(item.low));
        hi = std::min(hi, static_cast<long long>(item.high));
    }
    if (v.is_string() && !item.names.empty()) {
        for (size_t i = 0; i < item.names.size(); ++i)
            if (item.names[i] == v.get<std::string>())
                return static_cast<long long>(i);
        std::string all;
        for (const auto& n : item.names)
            all += (all.empty() ? "" : ", ") + n;
        Expected(path, "one of " + all + " (or a number)");
    }
    std::string what = item.ranged ? "a whole number" + RangeText(item) : TypeName(item.type);
    if (!v.is_number_integer())
        Expected(path, what);
    long long n = v.is_number_unsigned() ? static_cast<long long>(v.get<unsigned long long>())
                                         : v.get<long long>();
    if (n < lo || n > hi)
        Expected(path, what);
    return n;
}

const char* const NumberText = "a number (\"NaN\", \"Infinity\" and \"-Infinity\" too)";

float Float(const Item& item, const Json& v, const std::string& path) {
    float f;
    if (!FloatOfJson(v, f))
        Expected(path, item.ranged ? "a number" + RangeText(item)
                                   : std::string(NumberText) + " within a float's range");
    CheckRange(item, f, path, "a number");
    return f;
}

void PutFloat(std::vector<unsigned char>& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put(out, bits, 4);
}

void Encode(const Item& item, const Json& v, std::vector<unsigned char>& out,
            const std::string& path) {
    switch (item.type) {
    case Type::Bool:
        if (!v.is_boolean())
            Expected(path, TypeName(item.type));
        out.push_back(v.get<bool>() ? 1 : 0);
        break;
    case Type::U8:
        out.push_back(static_cast<unsigned char>(Whole(item, v, path, 0, 255)));
        break;
    case Type::I32:
        Put(out, static_cast<std::uint32_t>(Whole(item, v, path, INT_MIN, INT_MAX)), 4);
        break;
    case Type::U32:
        Put(out, static_cast<std::uint32_t>(Whole(item, v, path, -1, UINT_MAX)), 4);
        break;
    case Type::F32:
        PutFloat(out, Float(item, v, path));
        break;
    case Type::F64: {
        double d;
        if (!DoubleOfJson(v, d))
            Expected(path, NumberText);
        CheckRange(item, d, path, "a number");
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        Put(out, static_cast<std::uint32_t>(bits), 4);
        Put(out, static_cast<std::uint32_t>(bits >> 32), 4);
        break;
    }
    case Type::String: {
        if (!v.is_string())
            Expected(path, TypeName(item.type));
        std::string text = Cp1252FromUtf8(v.get<std::string>(), path);
        Put(out, static_cast<std::uint32_t>(text.size()), 4);
        out.insert(out.end(), text.begin(), text.end());
        break;
    }
    case Type::Rect:
    case Type::FRect: {
        if (!v.is_object())
            Expected(path, TypeName(item.type));
        static const char* const rect[] = {"left", "top", "right", "bottom"};
        static const char* const frect[] = {"top", "left", "bottom", "right"};
        const char* const* order = item.type == Type::Rect ? rect : frect;
        for (auto it = v.begin(); it != v.end(); ++it)
            if (std::find_if(order, order + 4, [&](const char* k) { return it.key() == k; }) ==
                order + 4)
                throw DataError(UnknownField(path, it.key(), {order, order + 4}));
        for (int i = 0; i < 4; ++i) {
            Json side = v.contains(order[i]) ? v[order[i]] : Json(0);
            Item part = Value(order[i], item.type == Type::Rect ? Type::I32 : Type::F32);
            part.ranged = item.ranged;
            part.low = item.low;
            part.high = item.high;
            Encode(part, side, out, Join(path, order[i]));
        }
        break;
    }
    case Type::Bytes16:
        if (!v.is_array() || v.size() != 16)
            Expected(path, TypeName(item.type));
        for (size_t i = 0; i < 16; ++i)
            out.push_back(static_cast<unsigned char>(
                Whole(Value("", Type::U8), v[i], path + "[" + std::to_string(i) + "]", 0, 255)));
        break;
    }
}

void CompileItems(const Layout& layout, const Json& object, std::vector<unsigned char>& out,
                  const std::string& path, Context& context, std::set<std::string>& used);

void CompileObject(const Layout& layout, const Json& object, std::vector<unsigned char>& out,
                   const std::string& path) {
    if (!object.is_object())
        Expected(path, "an object");
    Context context;
    std::set<std::string> used;
    CompileItems(layout, object, out, path, context, used);
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!used.count(it.key()))
            throw DataError(UnknownField(path, it.key(), {used.begin(), used.end()}));
}

// One element of a list: an object laid out by `element`, or a bare value.
void CompileElement(const Item& list, const Json& v, std::vector<unsigned char>& out,
                    const std::string& path) {
    if (list.objects)
        CompileObject(*list.body, v, out, path);
    else
        Encode(list.body->front(), v, out, path);
}

const Json& Lookup(const Json& object, const Item& item, std::set<std::string>& used) {
    used.insert(item.key);
    static const Json absent;
    auto it = object.find(item.key);
    return it != object.end() ? *it : absent;
}

Json Normalise(const Item& tag, const Json& v, const std::string& path) {
    if (tag.type == Type::Bool) {
        if (!v.is_boolean())
            Expected(path, TypeName(Type::Bool));
        return v;
    }
    return Whole(tag, v, path, tag.type == Type::I32 ? INT_MIN : -1,
                 tag.type == Type::U8 ? 255 : UINT_MAX);
}

bool IsWhole(Type t) {
    return t == Type::U8 || t == Type::I32 || t == Type::U32;
}

// The layout that follows a switch's tag; null when a closed switch has no case for it.
const Layout* Choose(const Item& sw, const Json& tag) {
    for (const auto& [value, layout] : sw.cases)
        if (value == tag || (value.is_number() && tag.is_number() &&
                             value.get<long long>() == tag.get<long long>()))
            return &layout;
    return sw.closed ? nullptr : sw.otherwise.get();
}

// What a closed switch's tag may be, for errors.
std::string Choices(const Item& sw) {
    std::string all;
    for (const auto& [value, layout] : sw.cases) {
        Json shown = value;
        if (value.is_number_integer() && value.get<long long>() >= 0 &&
            static_cast<size_t>(value.get<long long>()) < sw.names.size())
            shown = sw.names[static_cast<size_t>(value.get<long long>())];
        all += (all.empty() ? "" : ", ") +
               (shown.is_string() ? shown.get<std::string>() : shown.dump());
    }
    return "one of " + all;
}

void CompileItems(const Layout& layout, const Json& object, std::vector<unsigned char>& out,
                  const std::string& path, Context& context, std::set<std::string>& used) {
    for (const Item& item : layout) {
        std::string at = Join(path, item.key);
        switch (item.kind) {
        case Item::Kind::Value: {
            Json v = Lookup(object, item, used);
            if (v.is_null())
                v = item.fallback;
            if (v.is_null())
                Expected(at, std::string(TypeName(item.type)) + " (this field is required)");
            Encode(item, v, out, at);
            context[item.key] = IsWhole(item.type) ? Normalise(item, v, at) : v;
            break;
        }
        case Item::Kind::Group: {
            const Json& v = Lookup(object, item, used);
            CompileObject(*item.body, v.is_null() ? Json::object() : v, out, at);
            break;
        }
        case Item::Kind::List:
        case Item::Kind::External:
        case Item::Kind::Fixed: {
            const Json& v = Lookup(object, item, used);
            Json list = v.is_null() ? (item.fallback.is_null() ? Json::array() : item.fallback) : v;
            if (!list.is_array())
                Expected(at, "an array");
            if (item.kind == Item::Kind::Fixed && list.empty())
                list = Json::array();
            if (item.kind == Item::Kind::Fixed && list.size() != static_cast<size_t>(item.count)) {
                if (!list.empty())
                    Expected(at, "an array of " + std::to_string(item.count) + " elements");
                for (int i = 0; i < item.count; ++i)
                    list.push_back(item.objects ? Json::object() : item.body->front().fallback);
            }
            if (item.ranged && list.size() > item.high)
                Expected(at, "an array of at most " + Number(item.high) + " elements");
            if (item.kind == Item::Kind::List)
                Put(out, static_cast<std::uint32_t>(list.size()), 4);
            for (size_t i = 0; i < list.size(); ++i)
                CompileElement(item, list[i], out, at + "[" + std::to_string(i) + "]");
            break;
        }
        case Item::Kind::Count: {
            const Json& v = object.contains(item.key) ? object[item.key] : Json::array();
            if (!v.is_array())
                Expected(at, "an array");
            Put(out, static_cast<std::uint32_t>(v.size()), 4);
            context["#" + item.key] = v.size();
            break;
        }
        case Item::Kind::Switch: {
            Json tag;
            if (item.tagFrom.empty()) {
                Json v = Lookup(object, item, used);
                if (v.is_null())
                    v = item.fallback;
                if (v.is_null())
                    Expected(at, std::string(TypeName(item.type)) + " (this field is required)");
                tag = Normalise(item, v, at);
                Encode(item, tag, out, at);
                context[item.key] = tag;
            } else {
                auto it = context.find("#" + item.tagFrom);
                tag = it != context.end() ? it->second : context[item.tagFrom];
            }
            const Layout* chosen = Choose(item, tag);
            if (!chosen)
                Expected(at, Choices(item));
            CompileItems(*chosen, object, out, path, context, used);
            break;
        }
        case Item::Kind::Optional: {
            const Json& v = Lookup(object, item, used);
            out.push_back(v.is_null() ? 0 : 1);
            if (v.is_null())
                break;
            if (item.body->size() == 1 && item.body->front().key.empty())
                CompileItems(*item.body, Json{{"", v}}, out, at, context, used);
            else
                CompileObject(*item.body, v, out, at);
            break;
        }
        case Item::Kind::Attached:
            used.insert(item.key);
            break;
        }
    }
}

} // namespace

void Compile(const Layout& layout, const Json& object, std::vector<unsigned char>& out,
             const std::string& path) {
    CompileObject(layout, object, out, path);
}

// ---- bytes to JSON ----

struct ReadContext {
    Reader& reader;
    Context values;

    std::uint32_t U(int bytes, const std::string& path) {
        const unsigned char* p = reader.Take(static_cast<size_t>(bytes), path);
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
        return v;
    }

    float F(const std::string& path) {
        std::uint32_t bits = U(4, path);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

    // The value as stored: integers as numbers (-1 for an unsigned 0xFFFFFFFF).
    Json Decode(const Item& item, const std::string& path) {
        switch (item.type) {
        case Type::Bool:
            return U(1, path) != 0;
        case Type::U8:
            return U(1, path);
        case Type::I32:
            return static_cast<std::int32_t>(U(4, path));
        case Type::U32: {
            std::uint32_t v = U(4, path);
            return v == 0xFFFFFFFFu ? Json(-1) : Json(v);
        }
        case Type::F32:
            return JsonOfFloat(F(path));
        case Type::F64: {
            std::uint64_t low = U(4, path);
            std::uint64_t bits = low | static_cast<std::uint64_t>(U(4, path)) << 32;
            double d;
            std::memcpy(&d, &bits, 8);
            return JsonOfDouble(d);
        }
        case Type::String: {
            auto length = static_cast<std::int32_t>(U(4, path));
            if (length < 0)
                throw DataError(Where(path) + "a text of negative length");
            const unsigned char* p = reader.Take(static_cast<size_t>(length), path);
            return Utf8FromCp1252(std::string(reinterpret_cast<const char*>(p), length));
        }
        case Type::Rect: {
            Json r = Json::object();
            for (const char* k : {"left", "top", "right", "bottom"})
                r[k] = static_cast<std::int32_t>(U(4, path));
            return r;
        }
        case Type::FRect: {
            Json r = Json::object();
            for (const char* k : {"top", "left", "bottom", "right"})
                r[k] = JsonOfFloat(F(path));
            return r;
        }
        case Type::Bytes16: {
            Json b = Json::array();
            for (int i = 0; i < 16; ++i)
                b.push_back(U(1, path));
            return b;
        }
        }
        return nullptr;
    }

    // How a value appears in JSON: integers with names by their names.
    static Json Present(const Item& item, const Json& v) {
        if (v.is_number_integer() && !item.names.empty()) {
            long long n = v.get<long long>();
            if (n >= 0 && static_cast<size_t>(n) < item.names.size())
                return item.names[static_cast<size_t>(n)];
        }
        return v;
    }

    std::string Where(const std::string& path) {
        return reader.file + ", offset " + std::to_string(reader.position) + ", " + path + ": ";
    }

    int ListCount(const std::string& path) {
        auto n = static_cast<std::int32_t>(U(4, path));
        if (n < 0)
            throw DataError(Where(path) + "a negative count (" + std::to_string(n) + ")");
        return n;
    }

    Json Element(const Item& list, const std::string& path) {
        if (list.objects)
            return reader.Read(*list.body, path);
        return Present(list.body->front(), Decode(list.body->front(), path));
    }

    Json Elements(const Item& list, int n, const std::string& path) {
        Json a = Json::array();
        for (int i = 0; i < n; ++i)
            a.push_back(Element(list, path + "[" + std::to_string(i) + "]"));
        return a;
    }

    void Items(const Layout& layout, Json& object, const std::string& path) {
        for (const Item& item : layout) {
            std::string at = Join(path, item.key);
            switch (item.kind) {
            case Item::Kind::Value:
                values[item.key] = Decode(item, at);
                object[item.key] = Present(item, values[item.key]);
                break;
            case Item::Kind::Group:
                object[item.key] = reader.Read(*item.body, at);
                break;
            case Item::Kind::List:
                object[item.key] = Elements(item, ListCount(at), at);
                break;
            case Item::Kind::Fixed:
                object[item.key] = Elements(item, item.count, at);
                break;
            case Item::Kind::Count:
                values["#" + item.key] = ListCount(at);
                break;
            case Item::Kind::External:
                object[item.key] = Elements(item, values["#" + item.key].get<int>(), at);
                break;
            case Item::Kind::Switch: {
                Json tag;
                if (item.tagFrom.empty()) {
                    tag = Decode(item, at);
                    object[item.key] = Present(item, tag);
                    values[item.key] = tag;
                } else {
                    auto it = values.find("#" + item.tagFrom);
                    tag = it != values.end() ? it->second : values[item.tagFrom];
                }
                const Layout* chosen = Choose(item, tag);
                if (!chosen)
                    throw DataError(Where(at) + "an unknown value " + tag.dump() + " (expected " +
                                    Choices(item) + "): the file is damaged");
                Items(*chosen, object, path);
                break;
            }
            case Item::Kind::Optional:
                if (U(1, at) == 0)
                    break;
                if (item.body->size() == 1 && item.body->front().key.empty()) {
                    Json holder = Json::object();
                    Items(*item.body, holder, at);
                    object[item.key] = holder[""];
                } else {
                    object[item.key] = reader.Read(*item.body, at);
                }
                break;
            case Item::Kind::Attached:
                break;
            }
        }
    }
};

const unsigned char* Reader::Take(size_t n, const std::string& path) {
    if (n > data.size() - position)
        throw DataError(file + ", offset " + std::to_string(position) + ", " + path +
                        ": the file ends (" + std::to_string(n) + " more bytes needed)");
    const unsigned char* p = data.data() + position;
    position += n;
    return p;
}

Json Reader::Read(const Layout& layout, const std::string& path) {
    ReadContext context{*this, {}};
    Json object = Json::object();
    context.Items(layout, object, path);
    return object;
}

} // namespace kiv::tools
