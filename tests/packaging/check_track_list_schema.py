#!/usr/bin/env python3
"""The track-list schema against the command's own reader.

Every JSON literal in the tests (and every example list) is given to the built command with
--tracks. Each list the command accepts must be valid under the schema; each list it rejects must
be invalid, except where the reason is one a schema cannot state (duplicate keys, NUL characters,
nesting deeper than the reader takes, a lone surrogate).

usage: check_track_list_schema.py SCHEMA TREVALIN SOURCE_DIR
"""

import json
import pathlib
import re
import subprocess
import sys
import tempfile

import jsonschema

RAW_STRING = re.compile(r'R"([^(\s]{0,16})\((.*?)\)\1"', re.S)
PLAIN_STRING = re.compile(r'(?<![R\\])"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}
# Python's parser also takes a lone UTF-16 surrogate, which is not JSON.
BEYOND_A_SCHEMA = ("duplicate key", "NUL character", "levels deep", "surrogate")


def literal_lists(source_dir):
    for path in sorted(source_dir.glob("examples/*.json")):
        yield str(path.relative_to(source_dir)), path.read_text(encoding="utf-8")
    for path in sorted(source_dir.glob("tests/**/*.cpp")):
        text = path.read_text(encoding="utf-8")
        for match in RAW_STRING.finditer(text):
            line = text.count("\n", 0, match.start()) + 1
            yield f"{path.relative_to(source_dir)}:{line}", match.group(2)
        # Ordinary literals that open a JSON document, with the escapes such lists use.
        for match in PLAIN_STRING.finditer(RAW_STRING.sub("", text)):
            body = match.group(1)
            if body.startswith(("{", "[")):
                yield f"{path.relative_to(source_dir)}", re.sub(r"\\(.)", lambda e: ESCAPES.get(e.group(1), e.group(0)), body)


def parsed(text):
    try:
        return json.loads(text)
    except ValueError:  # not JSON at all (a sheet, a message): not a list for the schema
        return None


def main():
    schema = json.loads(pathlib.Path(sys.argv[1]).read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    trevalin, source_dir = str(pathlib.Path(sys.argv[2]).resolve()), pathlib.Path(sys.argv[3])

    failures, accepted, rejected = [], 0, 0
    with tempfile.TemporaryDirectory() as scratch:
        list_file = pathlib.Path(scratch) / "list.json"
        for where, text in literal_lists(source_dir):
            document = parsed(text)
            if document is None or not isinstance(document, (dict, list)):
                continue
            list_file.write_text(text, encoding="utf-8")
            run = subprocess.run([trevalin, "-q", "--tracks", str(list_file), "-o", "-"],
                                 capture_output=True, text=True, errors="replace", cwd=scratch)
            valid = validator.is_valid(document)
            if run.returncode != 2:
                accepted += 1
                if not valid:
                    error = jsonschema.exceptions.best_match(validator.iter_errors(document))
                    failures.append(f"{where}: the command accepts it, the schema does not: {error.message}")
            else:
                rejected += 1
                if valid and not any(reason in run.stderr for reason in BEYOND_A_SCHEMA):
                    failures.append(f"{where}: the command rejects it ({run.stderr.strip()}), the schema does not")

    print(f"{accepted} accepted and {rejected} rejected lists compared")
    for failure in failures:
        print(failure)
    # Too few lists would mean the search for them broke, not that all is well.
    if accepted < 5 or rejected < 20:
        failures.append("too few lists found")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
