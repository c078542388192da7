#!/usr/bin/env python3
"""Picks a small seed corpus: the fewest inputs of a fuzz run's corpus that
together reach every edge the whole corpus reaches (greedy; a tie goes to the
smaller input). The edges of each input come from the control file that
libFuzzer writes when it merges.

    build/fuzz/bin/vorsel_reader_fuzz -merge=1 -merge_control_file=ctl EMPTY_DIR RUN_CORPUS
    tests/fuzz/cover_seeds.py ctl tests/fuzz/corpus/reader
"""
import os
import shutil
import sys


def main(control, seeds):
    lines = open(control).read().split("\n")
    count = int(lines[0])
    files = lines[2:2 + count]
    edges = {}
    for line in lines[2 + count:]:
        fields = line.split()
        if fields and fields[0] == "COV":
            edges[int(fields[1])] = set(fields[2:])
    reached, chosen = set(), []
    while edges:
        best = max(edges, key=lambda i: (len(edges[i] - reached), -os.path.getsize(files[i])))
        if not edges[best] - reached:
            break
        reached |= edges.pop(best)
        chosen.append(files[best])
    os.makedirs(seeds, exist_ok=True)
    for f in chosen:
        shutil.copy(f, seeds)
    print(f"{len(chosen)} inputs reach all {len(reached)} edges")


if __name__ == "__main__":
    main(*sys.argv[1:])
