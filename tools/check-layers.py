#!/usr/bin/env python3
"""Prints the folder-level include graph of host/ and fails on any include that runs against the
layer order: base < image < view < the middle folders < shell. The middle folders may include
each other only one way (their graph has no cycle). Run with --files to list every include that
breaks the order, file by file.

    tools/check-layers.py [--files]
"""
import os
import re
import sys

HOST = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'host')
# Rank of each folder; folders of the same rank are the middle, whose arrows must not form a cycle.
RANK = {'base': 0, 'image': 1, 'view': 2, 'files': 3, 'plugins': 3, 'draw': 3, 'script': 3, 'shell': 4}
SKIP = {'res'}  # resources: no code
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def folders():
    return sorted(d for d in os.listdir(HOST) if os.path.isdir(os.path.join(HOST, d)) and d not in SKIP)


def includes_of(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        return INCLUDE.findall(f.read())


def target_folder(own, inc):
    """The host folder an include names, or None for headers outside host/ (include/, system)."""
    if inc.startswith('../') or inc.startswith('./'):
        inc = os.path.relpath(os.path.normpath(os.path.join(HOST, own, inc)), HOST).replace(os.sep, '/')
        if inc.startswith('..'):
            return None
    parts = inc.split('/')
    if len(parts) == 1:
        return own if os.path.exists(os.path.join(HOST, own, inc)) else None
    if parts[0] in RANK or os.path.isdir(os.path.join(HOST, parts[0])):
        return parts[0] if os.path.isdir(os.path.join(HOST, parts[0])) else None
    return None


def find_cycle(edges, nodes):
    colour = {n: 0 for n in nodes}
    stack = []

    def visit(n):
        colour[n] = 1
        stack.append(n)
        for m in sorted(edges.get(n, ())):
            if colour[m] == 1:
                return stack[stack.index(m):] + [m]
            if colour[m] == 0:
                c = visit(m)
                if c:
                    return c
        stack.pop()
        colour[n] = 2
        return None

    for n in nodes:
        if colour[n] == 0:
            c = visit(n)
            if c:
                return c
    return None


def main():
    show_files = '--files' in sys.argv[1:]
    graph = {}   # (from, to) -> count
    bad = []     # (file, include, reason)
    unknown = [d for d in folders() if d not in RANK]
    for own in folders():
        for name in sorted(os.listdir(os.path.join(HOST, own))):
            if not name.endswith(('.h', '.cpp', '.c')):
                continue
            rel = own + '/' + name
            for inc in includes_of(os.path.join(HOST, own, name)):
                to = target_folder(own, inc)
                if to is None or to == own:
                    continue
                graph[(own, to)] = graph.get((own, to), 0) + 1
                if own in RANK and to in RANK and RANK[to] > RANK[own]:
                    bad.append((rel, inc, 'includes upward'))

    print('include graph of host/ (from -> to: includes)')
    for (a, b), n in sorted(graph.items(), key=lambda e: (RANK.get(e[0][0], 9), e[0])):
        print(f'  {a:8} -> {b:8} {n:4}')

    middle = [d for d in folders() if RANK.get(d) == 3]
    edges = {}
    for (a, b) in graph:
        if a in middle and b in middle:
            edges.setdefault(a, set()).add(b)
    cycle = find_cycle(edges, middle)

    failed = False
    if unknown:
        print('folders without a place in the layer order: ' + ', '.join(unknown))
        failed = True
    if bad:
        counts = {}
        for f, inc, why in bad:
            key = (f.split('/')[0], target_folder(f.split('/')[0], inc))
            counts[key] = counts.get(key, 0) + 1
        print(f'{len(bad)} includes run against the order base < image < view < middle < shell:')
        for (a, b), n in sorted(counts.items()):
            print(f'  {a} -> {b}: {n}')
        if show_files:
            for f, inc, why in bad:
                print(f'    {f}: "{inc}"')
        failed = True
    if cycle:
        print('the middle folders include each other in a cycle: ' + ' -> '.join(cycle))
        failed = True
    if failed:
        return 1
    print('layers: ok')
    return 0


if __name__ == '__main__':
    sys.exit(main())
