#!/usr/bin/env python3
"""Makes the game's two word lists from Debian's SCOWL word lists.

    apt-get install scowl && python3 tools/make_wordlists.py

writes data/english.dic (the main list: 15-byte records, 0x1E then the word in
upper case padded with spaces to 14 characters, sorted) and data/klot.txt (the
computer opponent's list of common short words, one per line, sorted).

The main list takes every lower-case word of SCOWL levels 10 to 70 (American,
British, Canadian and Australian spellings and their common variants), then
tops each word length up to the size we want from level 80, preferring words
that are inflections (plurals, verb forms, comparatives, ...) of words already
in the list. The choice among equally good candidates is a fixed hash of the
word, so the output is the same on every run.
"""

import collections
import glob
import hashlib
import os
import re
import sys

SCOWL = '/usr/share/dict/scowl/'
KINDS = ['english', 'american', 'british', 'canadian', 'british_z', 'variant_1', 'australian']
BASE_LEVELS = [10, 20, 35, 40, 50, 55, 60, 70]
EXTRA_LEVELS = [80]

# Records per stored length (2..14, 14 including longer words cut to 14).
TARGET = {2: 94, 3: 970, 4: 3903, 5: 8634, 6: 15233, 7: 23110, 8: 28424, 9: 24882,
          10: 20312, 11: 15506, 12: 11360, 13: 7827, 14: 12591}
# Klot's words per length, taken from the most common levels first.
KLOT = {1: 6, 2: 56, 3: 395, 4: 1439, 5: 1655, 6: 2009, 7: 2127}
KLOT_LEVELS = [10, 20, 35, 40, 50]

WORD = re.compile(r'[a-z]+')

def level_words(levels, min_len=2):
    out = {}
    for level in levels:
        for kind in KINDS:
            for path in glob.glob(f'{SCOWL}{kind}-words.{level}'):
                with open(path, encoding='latin-1') as f:
                    for line in f:
                        w = line.strip()
                        if len(w) >= min_len and WORD.fullmatch(w):
                            out.setdefault(w, level)
    return out


def stable(word):
    return hashlib.md5(word.encode()).hexdigest()


SUFFIXES = ['s', 'es', 'ed', 'd', 'ing', 'er', 'est', 'ly', 'ness', 'ers', 'ings', 'ies', 'ied',
            'ier', 'iest', 'ily', 'less', 'ful', 'able', 'ment', 'ments', 'nesses']
PREFIXES = ['un', 're', 'non', 'over', 'out', 'under', 'mis', 'dis', 'pre', 'in', 'im']


def is_inflection(word, known):
    for suf in SUFFIXES:
        if word.endswith(suf) and len(word) > len(suf) + 1:
            stem = word[:-len(suf)]
            cands = [stem, stem + 'e', stem + 'y']
            if len(stem) > 2 and stem[-1] == stem[-2]:
                cands.append(stem[:-1])
            if any(c in known for c in cands):
                return True
    return any(word.startswith(p) and len(word) > len(p) + 2 and word[len(p):] in known
               for p in PREFIXES)


def stored_len(word):
    return min(len(word), 14)


def main_list():
    base = level_words(BASE_LEVELS)
    extra = {w: l for w, l in level_words(EXTRA_LEVELS).items() if w not in base}
    chosen = []
    by_len = collections.defaultdict(list)
    for w in base:
        by_len[stored_len(w)].append(w)
    spare = collections.defaultdict(list)
    for w in extra:
        spare[stored_len(w)].append(w)
    for n, want in TARGET.items():
        have = sorted(by_len[n], key=stable)
        if len(have) >= want:
            chosen += have[:want]
            continue
        chosen += have
        ranked = sorted(spare[n], key=lambda w: (not is_inflection(w, base), stable(w)))
        chosen += ranked[:want - len(have)]
    return chosen


def klot_list(main_words):
    words = level_words(KLOT_LEVELS, min_len=1)
    main = set(main_words)
    out = []
    for n, want in KLOT.items():
        # Words Klot can play (4 letters and more) must be valid in the main
        # list, or Klot would lose its turn to our own disagreement.
        cands = [w for w in words if len(w) == n and (n < 4 or w in main)]
        cands.sort(key=lambda w: (words[w], stable(w)))
        if len(cands) < want:
            sys.exit(f'only {len(cands)} Klot words of {n} letters')
        out += cands[:want]
    return sorted(out)


def record(word):
    return b'\x1e' + word.upper()[:14].ljust(14).encode('ascii')


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data')
    words = main_list()
    records = sorted(record(w) for w in words)
    with open(os.path.join(root, 'english.dic'), 'wb') as f:
        f.write(b''.join(records))
    klot = klot_list(words)
    with open(os.path.join(root, 'klot.txt'), 'w') as f:
        f.write('\n'.join(klot) + '\n')
    print(f'{len(records)} records, {len(klot)} Klot words')


if __name__ == '__main__':
    main()
