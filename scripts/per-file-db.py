#!/usr/bin/env python3
"""Writes a compilation database with one entry per source file.

A unity build compiles several sources as one translation unit, and its
database names the generated unity files instead of the sources. clang-tidy
checks each source with the command of the unity file that includes it, so
that its findings stay those of the source on its own.

Usage: per-file-db.py BUILD OUT   (writes OUT/compile_commands.json)
"""
import json
import os
import re
import sys

build, out = sys.argv[1], sys.argv[2]
with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as db:
    entries = json.load(db)
result = []
for entry in entries:
    unity = entry["file"]
    if not re.search(r"/Unity/unity_[^/]*\.cxx$", unity):
        result.append(entry)
        continue
    with open(unity, encoding="utf-8") as text:
        sources = re.findall(r'^#include "([^"]+)"$', text.read(), re.MULTILINE)
    for source in sources:
        one = dict(entry, file=source)
        if "command" in one:
            one["command"] = one["command"].replace(unity, source)
        if "arguments" in one:
            one["arguments"] = [source if a == unity else a for a in one["arguments"]]
        result.append(one)
os.makedirs(out, exist_ok=True)
with open(os.path.join(out, "compile_commands.json"), "w", encoding="utf-8") as db:
    json.dump(result, db, indent=1)
