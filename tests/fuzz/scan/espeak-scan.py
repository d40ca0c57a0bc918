#!/usr/bin/env python3
"""Finds the code points that make espeak-ng read memory it has freed.

Speaks every code point of a range through espeak-ng under the address sanitizer, in four
forms (alone, between words, after a dollar sign, twice in a row), and with --pairs every
punctuation mark and symbol beside each ASCII and Latin-1 symbol, with each voice named;
prints the code points whose texts drew a report, in runs with their Unicode names. With
--mended the texts go through EspeakSafeText first, as the engine hands them on: a clean
run says the engine keeps espeak-ng from all of them. Run it again when espeak-ng changes.

    tests/fuzz/scan/espeak-scan.py [--mended] [--pairs] [--first 80] [--last FFFF] WORK_DIR VOICE...
"""
import argparse
import os
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(os.path.dirname(HERE)))
FORMS = ("{c}", "word {c} word.", "${c}", "{c}{c}")
PARTNERS = [chr(c) for c in range(0x21, 0x7F) if not chr(c).isalnum()] + list("§©°€£¿¡«»")


def build(work):
    speak, mend = os.path.join(work, "speak-each-line"), os.path.join(work, "mend-each-line")
    subprocess.run(["clang++", "-std=c++17", "-g", "-O1", "-fsanitize=address", "-fsanitize-recover=address",
                    "-o", speak, os.path.join(HERE, "SpeakEachLine.cpp"), "-lespeak-ng"], check=True)
    subprocess.run(["g++", "-std=c++17", "-O1", "-I", TOP, "-o", mend, os.path.join(HERE, "MendEachLine.cpp"),
                    os.path.join(TOP, "engine/linux/voice/EspeakText.cpp"), os.path.join(TOP, "engine/CodePoints.cpp")],
                   check=True)
    return speak, mend


def texts(first, last, pairs):
    """(code point, text) for every form of every code point; newlines and NUL left out."""
    for cp in range(first, last + 1):
        if 0xD800 <= cp <= 0xDFFF or cp in (0, 10, 13):
            continue
        c = chr(cp)
        for form in FORMS:
            yield cp, form.format(c=c)
        if pairs and unicodedata.category(c)[0] in "PS":
            for partner in PARTNERS:
                yield cp, partner + c
                yield cp, c + partner


def reported_lines(speak, voice, lines):
    """The indexes of the lines whose speaking drew a sanitizer report; a line that ends
    the program is one of them, and the rest are spoken by a new one."""
    env = dict(os.environ, ASAN_OPTIONS="halt_on_error=0:suppress_equal_pcs=0:detect_leaks=0")
    found, start = set(), 0
    while start < len(lines):
        result = subprocess.run([speak, voice], input="\n".join(lines[start:]).encode() + b"\n",
                                stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
        current, finished = None, False
        for line in result.stderr.decode(errors="replace").splitlines():
            if line.startswith("@@ "):
                finished = line == "@@ end"
                current = None if finished else start + int(line[3:])
            elif "ERROR: AddressSanitizer" in line and current is not None:
                found.add(current)
        if finished or current is None:
            break
        found.add(current)
        start = current + 1
    return found


def runs(code_points):
    out = []
    for cp in sorted(code_points):
        if out and out[-1][1] == cp - 1:
            out[-1][1] = cp
        else:
            out.append([cp, cp])
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mended", action="store_true", help="through EspeakSafeText first")
    parser.add_argument("--pairs", action="store_true", help="also punctuation and symbols beside symbols")
    parser.add_argument("--first", default="80")
    parser.add_argument("--last", default="FFFF")
    parser.add_argument("work")
    parser.add_argument("voices", nargs="+")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    speak, mend = build(args.work)
    pairs = list(texts(int(args.first, 16), int(args.last, 16), args.pairs))
    lines = [text for _, text in pairs]
    if args.mended:
        mended = subprocess.run([mend], input="\n".join(lines).encode() + b"\n", stdout=subprocess.PIPE, check=True)
        lines = mended.stdout.decode().split("\n")[: len(lines)]
    failed = 0
    for voice in args.voices:
        found = {pairs[i][0] for i in reported_lines(speak, voice, lines)}
        print(f"{voice}: {len(found)} code points")
        for a, b in runs(found):
            name = lambda cp: unicodedata.name(chr(cp), "unassigned")
            print(f"  U+{a:04X}..U+{b:04X} {unicodedata.category(chr(a))} {name(a)} .. {name(b)}")
        failed += len(found)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
