#!/usr/bin/env python3
"""The Linux engine's rooms call one way, floor by floor.

Reads every #include "..." line under engine/ and checks that a room includes only
itself and rooms on lower floors: com/ (with engine/'s shared headers) at the ground,
the plain speech types above it, voice/ on top and the start-up above all. Rooms on one
floor do not include each other (the engines never name text/). Prints the floors and
each include that breaks them; exits 1 when one does.

    check-floors.py ENGINE-DIRECTORY
"""
import os
import re
import sys

FLOORS = {
    "com": 0,       # declared platform types, identifiers, results, the class table
    "types": 1,     # the utterance, voices, the phone set, text helpers
    "audio": 1,     # the pipeline, codecs, the device
    "voices": 2,    # the catalogue and choosing among it
    "streams": 2,   # stream objects over audio
    "text": 3,      # markup and the front end
    "engines": 3,   # espeak-ng and flite
    "voice": 4,     # the COM surface, the queue, the producers
    "startup": 5,   # EngineStartup: wires the rest
}


def room_of(path, engine):
    """The room a file under `engine` belongs to."""
    relative = os.path.relpath(path, engine)
    parts = relative.split(os.sep)
    if parts[0] != "linux":
        return "com"  # engine/'s own headers: the COM surface both platforms share
    if len(parts) == 2:
        return "startup"
    return parts[1]


def main():
    engine = os.path.abspath(sys.argv[1])
    project = os.path.dirname(engine)
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    broken = []
    seen = {}
    for folder, _, files in os.walk(engine):
        if os.path.relpath(folder, engine).startswith("windows"):
            continue
        for name in files:
            if not name.endswith((".h", ".c", ".cpp")):
                continue
            path = os.path.join(folder, name)
            room = room_of(path, engine)
            if room not in FLOORS:
                broken.append(f"{path}: room '{room}' has no floor")
                continue
            with open(path, encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = include.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    local = os.path.join(folder, target)
                    resolved = local if os.path.exists(local) else os.path.join(project, target)
                    if not os.path.exists(resolved) or not resolved.startswith(engine + os.sep):
                        continue
                    other = room_of(resolved, engine)
                    seen.setdefault(room, set()).add(other)
                    if other != room and FLOORS.get(other, 99) >= FLOORS[room]:
                        broken.append(f"{os.path.relpath(path, project)}:{number}: {room}/ includes {other}/ "
                                      f"(floor {FLOORS[room]} includes floor {FLOORS.get(other)})")
    for floor in sorted(set(FLOORS.values())):
        rooms = [room for room, at in FLOORS.items() if at == floor]
        calls = sorted({other for room in rooms for other in seen.get(room, ()) if other not in rooms})
        print(f"floor {floor}: {', '.join(rooms)}" + (f"  (include {', '.join(calls)})" if calls else ""))
    for line in broken:
        print(line)
    print(f"{len(broken)} includes break the floors")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
