#include "Schema.h"

#include "Records.h"

#include <algorithm>
#include <climits>

namespace kiv::tools {

namespace {

Json Whole(long long lo, long long hi) {
    return {{"type", "integer"}, {"minimum", lo}, {"maximum", hi}};
}

// A float may also be one of the texts that stand for the values JSON has no number for.
Json FloatSchema() {
    return {{"anyOf",
             {{{"type", "number"}},
              {{"type", "string"}, {"pattern", "^(NaN|Infinity|-Infinity|NaN:0x[0-9A-Fa-f]+)$"}}}}};
}

// The numbers of a type; a ranged item's numbers only within its range (which excludes the
// texts of the floats without a number).
Json NumberSchema(Type type, const Item* range) {
    auto whole = [&](long long lo, long long hi) {
        if (range) {
            lo = std::max(lo, static_cast<long long>(range->low));
            hi = std::min(hi, static_cast<long long>(range->high));
        }
        return Whole(lo, hi);
    };
    switch (type) {
    case Type::U8:
        return whole(0, 255);
    case Type::I32:
        return whole(INT_MIN, INT_MAX);
    case Type::U32:
        return whole(-1, UINT_MAX); // -1 stands for 0xFFFFFFFF
    default:
        if (range)
            return {{"type", "number"}, {"minimum", range->low}, {"maximum", range->high}};
        return FloatSchema();
    }
}

Json TypeSchema(Type type, const Item* range = nullptr) {
    switch (type) {
    case Type::Bool:
        return {{"type", "boolean"}};
    case Type::U8:
    case Type::I32:
    case Type::U32:
    case Type::F32:
    case Type::F64:
        return NumberSchema(type, range);
    case Type::String:
        return {{"type", "string"}};
    case Type::Rect:
    case Type::FRect: {
        Json side = NumberSchema(type == Type::Rect ? Type::I32 : Type::F32, range);
        Json sides = Json::object();
        for (const char* k : {"left", "top", "right", "bottom"})
            sides[k] = side;
        return {{"type", "object"}, {"properties", sides}, {"additionalProperties", false}};
    }
    case Type::Bytes16:
        return {{"type", "array"}, {"items", Whole(0, 255)}, {"minItems", 16}, {"maxItems", 16}};
    }
    return Json::object();
}

// A value of the item's type; integers with names may be given by name.
Json ValueSchema(const Item& item) {
    Json schema = TypeSchema(item.type, item.ranged ? &item : nullptr);
    if (!item.names.empty())
        schema = {{"anyOf", {{{"enum", item.names}}, schema}}};
    if (!item.fallback.is_null())
        schema["default"] = item.fallback;
    return schema;
}

// What a switch tag holds for one case: its number, or its name.
Json TagValues(const Item& tag, const Json& value) {
    Json values = Json::array({value});
    if (value.is_number_integer() && !tag.names.empty()) {
        long long n = value.get<long long>();
        if (n >= 0 && static_cast<size_t>(n) < tag.names.size())
            values.push_back(tag.names[static_cast<size_t>(n)]);
    }
    return values;
}

// The tag of a closed switch: the values of its cases, by number or by name.
Json ClosedTagSchema(const Item& tag) {
    Json numbers = Json::array(), names = Json::array();
    for (const auto& [value, layout] : tag.cases)
        for (const Json& v : TagValues(tag, value))
            (v.is_string() ? names : numbers).push_back(v);
    Json choices = {{{"enum", numbers}}};
    if (!names.empty())
        choices.insert(choices.begin(), Json{{"enum", names}});
    Json schema = {{"anyOf", choices}};
    if (!tag.fallback.is_null())
        schema["default"] = tag.fallback;
    return schema;
}

struct ObjectSchema {
    Json properties = Json::object();
    Json required = Json::array();
    Json conditions = Json::array();

    // A key that several switch cases use with different values takes any of them.
    void Add(const std::string& key, const Json& schema) {
        if (!properties.contains(key))
            properties[key] = schema;
        else if (properties[key] != schema)
            properties[key] = {{"anyOf", {properties[key], schema}}};
    }

    void Items(const Layout& layout);
    void Switch(const Item& item);
    Json Done() const;
};

Json ObjectFrom(const Layout& layout) {
    ObjectSchema o;
    o.Items(layout);
    return o.Done();
}

Json ElementSchema(const Item& list) {
    return list.objects ? ObjectFrom(*list.body) : ValueSchema(list.body->front());
}

Json ArrayOf(const Json& element) {
    return {{"type", "array"}, {"items", element}};
}

// A frame may leave out its size, which kivc --art takes from the frame's image.
Json ActorsSchema() {
    Json schema = ObjectFrom(ActorRecord());
    Json& frame = schema["properties"]["actors"]["items"]["properties"]["animations"]["items"]
                        ["properties"]["frames"]["items"];
    Json required = Json::array();
    for (const Json& key : frame["required"])
        if (key != "width" && key != "height")
            required.push_back(key);
    frame["required"] = required;
    return schema;
}

// Keys handled by kivc beside a record: a level entry's own level and actor records.
Json AttachedSchema(const std::string& key) {
    return key == "level" ? ObjectFrom(LevelRecord()) : ActorsSchema();
}

void ObjectSchema::Switch(const Item& item) {
    const bool ownTag = item.tagFrom.empty();
    if (ownTag) {
        Add(item.key, item.closed ? ClosedTagSchema(item) : ValueSchema(item));
        if (item.fallback.is_null())
            required.push_back(item.key);
    }
    for (const auto& [value, layout] : item.cases) {
        ObjectSchema part;
        part.Items(layout);
        for (auto it = part.properties.begin(); it != part.properties.end(); ++it)
            Add(it.key(), it.value());
        for (const Json& c : part.conditions)
            conditions.push_back(c);
        if (!ownTag || part.required.empty())
            continue;
        // The keys a case needs are needed when the tag chooses it (also by its default).
        Json when = {{"properties", {{item.key, {{"enum", TagValues(item, value)}}}}}};
        if (item.fallback != value)
            when["required"] = {item.key};
        conditions.push_back({{"if", when}, {"then", {{"required", part.required}}}});
    }
    ObjectSchema rest;
    rest.Items(*item.otherwise);
    for (auto it = rest.properties.begin(); it != rest.properties.end(); ++it)
        Add(it.key(), it.value());
}

void ObjectSchema::Items(const Layout& layout) {
    for (const Item& item : layout) {
        switch (item.kind) {
        case Item::Kind::Value:
            Add(item.key, ValueSchema(item));
            if (item.fallback.is_null())
                required.push_back(item.key);
            break;
        case Item::Kind::Group:
            Add(item.key, ObjectFrom(*item.body));
            break;
        case Item::Kind::List:
        case Item::Kind::External: {
            Json a = ArrayOf(ElementSchema(item));
            if (item.ranged)
                a["maxItems"] = static_cast<long long>(item.high);
            Add(item.key, a);
            break;
        }
        case Item::Kind::Fixed: {
            // Either left empty (every element takes its defaults) or complete.
            Json a = ArrayOf(ElementSchema(item));
            a["anyOf"] = {{{"maxItems", 0}}, {{"minItems", item.count}, {"maxItems", item.count}}};
            Add(item.key, a);
            break;
        }
        case Item::Kind::Count:
            break;
        case Item::Kind::Switch:
            Switch(item);
            break;
        case Item::Kind::Optional:
            if (item.body->size() == 1 && item.body->front().key.empty())
                Add(item.key, ValueSchema(item.body->front()));
            else
                Add(item.key, ObjectFrom(*item.body));
            break;
        case Item::Kind::Attached:
            Add(item.key, AttachedSchema(item.key));
            break;
        }
    }
}

Json ObjectSchema::Done() const {
    Json schema = {{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
    if (!required.empty())
        schema["required"] = required;
    if (!conditions.empty())
        schema["allOf"] = conditions;
    return schema;
}

} // namespace

Json GameSchema() {
    Json properties = {
        {"$schema", {{"type", "string"}, {"description", "the schema that editors check with"}}},
        {"file",
         {{"type", "string"}, {"description", "the game file's name, as the game opens it"}}},
        {"mode", ObjectFrom(ModeRecord())},
        {"game", ObjectFrom(GameRecord())},
        {"logic", ObjectFrom(LogicRecord())}};
    return {{"$schema", "http://json-schema.org/draft-07/schema#"},
            {"title", "KivCore game description"},
            {"description", "The JSON that kivc compiles into a game file and its level files."},
            {"type", "object"},
            {"properties", properties},
            {"required", {"file"}},
            {"additionalProperties", false}};
}

} // namespace kiv::tools
