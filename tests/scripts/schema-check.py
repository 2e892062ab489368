"""Checks the JSON Schema of game descriptions against descriptions: the examples pass it,
and mistakes that kivc refuses (an unknown field, a wrong type, a name that is no value of
its list, a missing required field) fail it. Exit 77 where python3-jsonschema is missing.
    schema-check.py SCHEMA EXAMPLES_FOLDER
"""
import copy
import json
import pathlib
import sys

try:
    import jsonschema
except ImportError:
    print("skipped: python3-jsonschema is not installed")
    sys.exit(77)

schema = json.loads(pathlib.Path(sys.argv[1]).read_text())
jsonschema.Draft7Validator.check_schema(schema)
validator = jsonschema.Draft7Validator(schema)
failed = False

examples = sorted(pathlib.Path(sys.argv[2]).glob("*/*.json"))
for example in examples:
    errors = list(validator.iter_errors(json.loads(example.read_text())))
    for error in errors:
        print(f"{example}: {list(error.path)}: {error.message}")
    failed |= bool(errors)

base = json.loads((pathlib.Path(sys.argv[2]) / "minimal" / "minimal.json").read_text())
level = ["game", "levels", 0, "level"]


def spoiled(path, value, delete=False):
    d = copy.deepcopy(base)
    node = d
    for key in path[:-1]:
        node = node[key]
    if delete:
        del node[path[-1]]
    else:
        node[path[-1]] = value
    return d


mistakes = {
    "unknown field": spoiled(level + ["sprites", 0, "mainCharcter"], True),
    "wrong type": spoiled(level + ["sprites", 0, "x"], "left"),
    "unknown name": spoiled(level + ["maps", 0, "type"], "masterr"),
    "out of range": spoiled(level + ["framesPerSecond"], 4294967296),
    "position beyond any world": spoiled(level + ["sprites", 0, "x"], 1e30),
    "position that is no number": spoiled(level + ["sprites", 0, "x"], "NaN"),
    "missing required": spoiled(level + ["sprites", 0, "actor"], None, delete=True),
}
for what, description in mistakes.items():
    if validator.is_valid(description):
        print(f"the schema accepts a description with a {what}")
        failed = True

print(f"{len(examples)} examples pass, {len(mistakes)} mistakes caught" if not failed else "")
sys.exit(1 if failed else 0)
