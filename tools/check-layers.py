#!/usr/bin/env python3
"""Checks that host/ keeps its layers: base < image < view < plugins < files, draw < script < shell.
Folders of one rank (files, draw) may lean on each other only one way (their graph has no cycle).

Includes are resolved as the compiler resolves them: every file of host/ is run through the build's
own preprocessor with the build's flags (from compile_commands.json; the system headers left out),
and each header it opens, at any depth, is placed by the folder it really lies in. With --symbols the built objects are read
too: no object may refer to a symbol that only a higher layer's objects define.

    tools/check-layers.py [--files] [--symbols] [--build DIR] [--host DIR] [--jobs N]

--build defaults to build/x86_64 (configured: its compile_commands.json is read), --host to host/.
--files lists every include and reference that breaks the order.
"""
import argparse
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
RANK = {'base': 0, 'image': 1, 'view': 2, 'plugins': 3, 'files': 4, 'draw': 4, 'script': 5, 'shell': 6}
SKIP = {'res'}  # resources: the resource compiler's, no code
# What is run through the preprocessor; anything else is still placed when some file includes it.
CODE = ('.c', '.cc', '.cpp', '.cxx', '.h', '.hh', '.hpp', '.hxx', '.inl', '.inc', '.ipp', '.tcc')
TREE_LINE = re.compile(r'^(\.+) (.+)$')


class Layout:
    """Places files of the host tree in their folder."""

    def __init__(self, host):
        self.host = os.path.realpath(host)

    def folder(self, path):
        """The host folder a file lies in, '' for host/ itself, None outside host/."""
        rel = os.path.relpath(os.path.realpath(path), self.host)
        if rel == '..' or rel.startswith('..' + os.sep):
            return None
        parts = rel.split(os.sep)
        return parts[0] if len(parts) > 1 else ''

    def rel(self, path):
        return os.path.relpath(os.path.realpath(path), self.host).replace(os.sep, '/')

    def sources(self):
        found = []
        for top, dirs, files in os.walk(self.host):
            dirs[:] = sorted(d for d in dirs if not (top == self.host and d in SKIP))
            found += [os.path.join(top, f) for f in sorted(files) if f.endswith(CODE)]
        return found


def compile_flags(build, layout):
    """The host's compiler and flags, per source file, and a default for files the build does not
    compile (headers); also the object file of every compiled host source."""
    path = os.path.join(build, 'compile_commands.json')
    if not os.path.exists(path):
        sys.exit(f'{path} is missing: configure the build tree first (tools/build.sh)')
    with open(path) as f:
        entries = json.load(f)
    flags, objects, default = {}, {}, None
    for e in entries:
        src = os.path.realpath(os.path.join(e['directory'], e['file']))
        if layout.folder(src) is None:
            continue
        args = e['arguments'] if 'arguments' in e else shlex.split(e['command'])
        kept, out, i = [], None, 0
        while i < len(args):
            a = args[i]
            if a == '-o':
                out = args[i + 1]
                i += 2
                continue
            if a != '-c' and os.path.realpath(os.path.join(e['directory'], a)) != src:
                kept.append(a)
            i += 1
        flags[src] = (e['directory'], kept)
        if out:
            objects[src] = os.path.join(e['directory'], out)
        if default is None and src.endswith('.cpp'):
            default = (e['directory'], kept)
    if default is None:
        sys.exit(f'{path} compiles nothing of {layout.host}')
    return flags, default, objects


def includes_of(path, flags, default):
    """(includer, included) pairs of everything the preprocessor opens for this file, or an error."""
    directory, args = flags.get(os.path.realpath(path), default)
    lang = [] if path.endswith(('.c', '.cpp', '.cc', '.cxx')) else ['-x', 'c++']
    # The system headers are left out (a missing header counts as one made later, -MG): only the
    # build's own folders are searched, in the build's order, and each run takes a tenth of the time.
    cmd = args + lang + ['-nostdinc', '-nostdinc++', '-E', '-H', '-MM', '-MG', '-o', os.devnull, path]
    run = subprocess.run(cmd, cwd=directory, capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip().splitlines()[:5]
    stack, pairs = [path], []
    for line in run.stderr.splitlines():
        m = TREE_LINE.match(line)
        if not m:
            continue
        depth, header = len(m.group(1)), os.path.join(directory, m.group(2))
        del stack[depth:]
        if len(stack) == depth:
            pairs.append((stack[-1], header))
            stack.append(header)
    return pairs, None


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


def judge(kind, graph, bad, show_files):
    """Prints the folder graph and what runs against the order; True when something does."""
    print(f'{kind} graph of host/ (from -> to: count)')
    for (a, b), n in sorted(graph.items(), key=lambda e: (RANK.get(e[0][0], 9), e[0])):
        print(f'  {a:8} -> {b:8} {n:4}')
    failed = False
    if bad:
        counts = {}
        for a, b, _, _ in bad:
            counts[(a, b)] = counts.get((a, b), 0) + 1
        print(f'{len(bad)} {kind}s run against the order base < image < view < plugins < files, draw < script < shell:')
        for (a, b), n in sorted(counts.items()):
            print(f'  {a} -> {b}: {n}')
        if show_files:
            for _, _, where, what in sorted(bad):
                print(f'    {where}: {what}')
        failed = True
    for rank in sorted(set(RANK.values())):
        same = sorted(d for d in RANK if RANK[d] == rank)
        edges = {}
        for (a, b) in graph:
            if a in same and b in same:
                edges.setdefault(a, set()).add(b)
        cycle = find_cycle(edges, same)
        if cycle:
            print(f'the {kind}s of folders of one rank form a cycle: ' + ' -> '.join(cycle))
            failed = True
    return failed


def add_edge(graph, bad, a, b, where, what):
    if a == b:
        return
    graph[(a, b)] = graph.get((a, b), 0) + 1
    if RANK[b] > RANK[a]:
        bad.append((a, b, where, what))


def check_includes(layout, flags, default, jobs, show_files):
    graph, bad, errors, unknown = {}, [], [], set()
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        results = list(pool.map(lambda p: (p, includes_of(p, flags, default)), layout.sources()))
    seen = set()
    for path, (pairs, error) in results:
        if error is not None:
            errors.append((layout.rel(path), error))
            continue
        for includer, header in pairs:
            a, b = layout.folder(includer), layout.folder(header)
            if a is None or b is None:
                continue
            for f in (a, b):
                if f not in RANK:
                    unknown.add(f or '(host/ itself)')
            key = (os.path.realpath(includer), os.path.realpath(header))
            if a not in RANK or b not in RANK or key in seen:
                continue
            seen.add(key)
            add_edge(graph, bad, a, b, layout.rel(includer), layout.rel(header))
    failed = judge('include', graph, bad, show_files)
    for rel, lines in errors:
        print(f'{rel} could not be preprocessed:')
        for line in lines:
            print('    ' + line)
        failed = True
    if unknown:
        print('folders without a place in the layer order: ' + ', '.join(sorted(unknown)))
        failed = True
    return failed


def tool_prefix(compiler):
    """x86_64-w64-mingw32- from the path of x86_64-w64-mingw32-g++-posix."""
    m = re.match(r'^(.*-)?(g\+\+|gcc|c\+\+|cc|clang\+\+|clang)(-[\w.]+)?$', os.path.basename(compiler))
    return os.path.join(os.path.dirname(compiler), m.group(1) or '') if m else ''


def symbols_of(nm, obj):
    """The external symbols an object defines and those it refers to."""
    run = subprocess.run([nm, '-g', obj], capture_output=True, text=True, check=True)
    defined, wanted = set(), set()
    for line in run.stdout.splitlines():
        parts = line.split()
        if len(parts) < 2:
            continue
        kind, name = parts[-2], parts[-1]
        (wanted if kind in ('U', 'w') else defined).add(name)
    return defined, wanted


def check_symbols(layout, objects, default, jobs, show_files):
    nm = tool_prefix(default[1][0]) + 'nm'
    missing = sorted(layout.rel(s) for s, o in objects.items() if not os.path.exists(o))
    if missing:
        print('objects not built (build the host first): ' + ', '.join(missing[:5]))
        return True
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        tables = dict(pool.map(lambda s: (s, symbols_of(nm, objects[s])), sorted(objects)))
    definers = {}
    for src, (defined, _) in tables.items():
        for name in defined:
            definers.setdefault(name, set()).add(src)
    graph, bad = {}, []
    for src, (_, wanted) in tables.items():
        a = layout.folder(src)
        if a not in RANK:
            continue
        for name in sorted(wanted):
            where = [s for s in definers.get(name, ()) if layout.folder(s) in RANK]
            if not where or any(layout.folder(s) == a for s in where):
                continue
            # A symbol defined at several places (an inline function, a template) counts at the lowest.
            lowest = min(where, key=lambda s: (RANK[layout.folder(s)], s))
            add_edge(graph, bad, a, layout.folder(lowest), layout.rel(src), (name, layout.rel(lowest)))
    if bad:
        names = sorted({what[0] for _, _, _, what in bad})
        run = subprocess.run([tool_prefix(default[1][0]) + 'c++filt'], input='\n'.join(names), capture_output=True,
                             text=True)
        readable = dict(zip(names, run.stdout.splitlines())) if run.returncode == 0 else {}
        bad = [(a, b, where, f'{readable.get(n, n)} ({at})') for a, b, where, (n, at) in bad]
    return judge('reference', graph, bad, show_files)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--files', action='store_true', help='list every include and reference against the order')
    parser.add_argument('--symbols', action='store_true', help='check the built objects too')
    parser.add_argument('--build', default=os.path.join(ROOT, 'build', 'x86_64'))
    parser.add_argument('--host', default=os.path.join(ROOT, 'host'))
    parser.add_argument('--jobs', type=int, default=os.cpu_count() or 2)
    args = parser.parse_args()
    layout = Layout(args.host)
    flags, default, objects = compile_flags(args.build, layout)
    failed = check_includes(layout, flags, default, args.jobs, args.files)
    if args.symbols:
        failed = check_symbols(layout, objects, default, args.jobs, args.files) or failed
    if failed:
        return 1
    print('layers: ok')
    return 0


if __name__ == '__main__':
    sys.exit(main())
