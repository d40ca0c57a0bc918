#!/usr/bin/env python3
"""Word error rate of what was heard (pocketsphinx's hypotheses, "words (ID score)", or
"ID<TAB>words") against what was said ("ID<TAB>words"): substitutions, deletions and
insertions over the words said, in all and per class when the IDs are "class.n".

    word-errors.py REFERENCE HEARD LABEL [--exact]

--exact also counts the texts heard word for word as said."""
import re
import sys
from collections import defaultdict


def words(text):
    text = text.lower().replace("-", " ").replace("'", "")
    return re.sub(r"[^a-z0-9\u00c0-\u024f ]", " ", text).split()


def distance(said, got):
    row = list(range(len(got) + 1))
    for i, word in enumerate(said, 1):
        previous, row[0] = row[0], i
        for j, other in enumerate(got, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (word != other))
    return row[len(got)]


reference = {}
for line in open(sys.argv[1], encoding="utf-8"):
    key, text = line.rstrip("\n").split("\t", 1)
    reference[key] = words(text)
heard = {}
for line in open(sys.argv[2], encoding="utf-8"):
    line = line.rstrip("\n")
    match = re.match(r"(.*)\((\S+)(?: [-\d]+)?\)\s*$", line)
    if "\t" in line:
        key, text = line.split("\t", 1)
        heard[key] = words(text)
    elif match:
        heard[match.group(2)] = words(match.group(1))

classes = defaultdict(lambda: [0, 0, 0, 0])  # errors, words, exact, texts
for key, said in reference.items():
    got = heard.get(key, [])
    errors = distance(said, got)
    for name in ("all", key.rsplit(".", 1)[0]) if "." in key else ("all",):
        entry = classes[name]
        entry[0] += errors
        entry[1] += len(said)
        entry[2] += errors == 0
        entry[3] += 1
exact = "--exact" in sys.argv
for name, (errors, total, right, texts) in sorted(classes.items(), key=lambda item: (item[0] != "all", item[0])):
    line = f"  {sys.argv[3] + ' ' + name:<58} {100.0 * errors / total:5.1f}%  ({errors} errors in {total} words)"
    if exact:
        line += f"  {right}/{texts} exactly"
    print(line)
