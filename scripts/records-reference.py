#!/usr/bin/env python3
"""Writes the reference of the game description's records (docs/game-description.md) from
the JSON Schema that kivc makes from its record table:
    scripts/records-reference.py SCHEMA > docs/game-description.md
"""
import json
import sys

INTRO = """# Game description reference

The JSON that `kivc` compiles into a game file and its level files. Each section below is
one object of the description, named by its path (`[]` stands for any element of a list).
Fields left out take their defaults; a field without a default is required. Numbers with
names (`"type": "master"`) may be given by name or by number. Rectangles are objects with
the sides named. Fields with a range (positions, sizes, speeds) take numbers within it only;
other floats may also be one of the texts that stand for values JSON has no number for:
`"NaN"`, `"Infinity"`, `"-Infinity"`, or `"NaN:0x7FA00001"` for a NaN of other bits. This
page is generated from the same record table that `kivc` compiles with
(`scripts/records-reference.py`); the JSON Schema `kivgame.schema.json` says the same for
editors.

A level entry of `game.levels[]` holds its own level record (`level`) and actor record
(`actors`); they are written to the level's file. See `examples/minimal/minimal.json` and
`examples/showcase/showcase.json` for whole games.
"""


def kind(schema):
    if "anyOf" in schema and "type" not in schema:
        parts = []
        for part in schema["anyOf"]:
            if "enum" in part:
                parts.append(" \\| ".join(f"`{json.dumps(v)}`" for v in part["enum"]))
            else:
                parts.append(kind(part))
        return " or ".join(parts)
    t = schema.get("type", "")
    if t in ("integer", "number") and "minimum" in schema:
        low, high = (int(v) if float(v).is_integer() else v
                     for v in (schema["minimum"], schema["maximum"]))
        return f"{t} {low}..{high}"
    if t == "string" and "pattern" in schema:
        return "text for a float without a number (above)"
    if t == "array":
        inner = schema.get("items", {})
        bound = f"at most {schema['maxItems']} " if "minItems" not in schema and \
            "maxItems" in schema else ""
        if inner.get("type") == "object" and "properties" in inner and \
                set(inner["properties"]) - {"left", "top", "right", "bottom"}:
            return f"list of {bound}objects"
        return f"list of {bound}" + kind(inner)
    if t == "object" and set(schema.get("properties", {})) <= {"left", "top", "right", "bottom"}:
        return "rectangle"
    return t


def nested(schema):
    if schema.get("type") == "object" and "properties" in schema and \
            set(schema["properties"]) - {"left", "top", "right", "bottom"}:
        return schema
    if schema.get("type") == "array":
        return nested(schema.get("items", {}))
    return None


def section(path, schema, out):
    required = set(schema.get("required", []))
    out.append(f"\n## `{path}`\n\n| Field | Value | Default |\n|---|---|---|")
    children = []
    for name, field in schema["properties"].items():
        if name in required:
            default = "required"
        elif "default" in field:
            default = f"`{json.dumps(field['default'])}`"
        else:
            default = "" if nested(field) or field.get("type") == "array" or name == "$schema" \
                else "required where it applies"
        out.append(f"| `{name}` | {kind(field)} | {default} |")
        inner = nested(field)
        if inner is not None:
            suffix = "[]" if field.get("type") == "array" else ""
            children.append((f"{path}.{name}{suffix}" if path else name + suffix, inner))
    for child_path, child in children:
        section(child_path, child, out)


schema = json.load(open(sys.argv[1]))
out = [INTRO.rstrip()]
section("", schema, out)
out[1] = out[1].replace("## ``", "## The description")
print("\n".join(out))
