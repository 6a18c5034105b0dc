#!/usr/bin/env python3
"""The layer check itself: each way of hiding an upward include, and an upward call in the built
objects, is caught in a small host tree of its own; a tree that keeps the order passes.

    test_check_layers.py COMPILER   (the build's C++ cross compiler)
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'check-layers.py')
COMPILER = None

# A header of the top layer, and a base header that every tree may include from anywhere.
COMMON = {
    'shell/up.h': 'int Upper();\n',
    'shell/up.cpp': '#include "shell/up.h"\nint Upper() { return 1; }\n',
    'base/low.h': 'int Lower();\n',
    'base/low.cpp': '#include "base/low.h"\nint Lower() { return 2; }\n',
}


class Tree:
    """A host tree in a temporary folder with the compile commands of its sources."""

    def __init__(self, files):
        self.dir = tempfile.TemporaryDirectory()
        self.host = os.path.join(self.dir.name, 'host')
        self.build = os.path.join(self.dir.name, 'build')
        os.makedirs(self.build)
        entries = []
        for rel, text in {**COMMON, **files}.items():
            path = os.path.join(self.host, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'w') as f:
                f.write(text)
            if rel.endswith('.cpp'):
                obj = 'obj/' + rel + '.obj'
                entries.append({'directory': self.build, 'file': path,
                                'command': f'{COMPILER} -I{self.host} -O1 -o {obj} -c {path}'})
        with open(os.path.join(self.build, 'compile_commands.json'), 'w') as f:
            json.dump(entries, f)
        self.entries = entries

    def compile(self):
        for e in self.entries:
            obj = e['command'].split(' -o ')[1].split()[0]
            os.makedirs(os.path.join(self.build, os.path.dirname(obj)), exist_ok=True)
            subprocess.run(e['command'].split(), cwd=self.build, check=True)

    def check(self, *extra):
        run = subprocess.run([sys.executable, CHECKER, '--host', self.host, '--build', self.build, '--files',
                              '--jobs', '2', *extra], capture_output=True, text=True)
        return run.returncode, run.stdout + run.stderr


class TreeCase(unittest.TestCase):
    def tree(self, files):
        t = Tree(files)
        self.addCleanup(t.dir.cleanup)
        return t


class IncludeCheck(TreeCase):
    def test_hidden_upward_includes_are_caught(self):
        # (file, text, the include line the check must report)
        cases = [
            ('base/plain.cpp', '#include "shell/up.h"\n', 'base/plain.cpp: shell/up.h'),
            ('base/angle.cpp', '#include <base/../shell/up.h>\n', 'base/angle.cpp: shell/up.h'),
            ('base/macro.cpp', '#define UP "shell/up.h"\n#include UP\n', 'base/macro.cpp: shell/up.h'),
            ('base/deep/er/nested.h', '#include "../../../shell/up.h"\n', 'base/deep/er/nested.h: shell/up.h'),
            ('base/piece.inl', '#include "shell/up.h"\n', 'base/piece.inl: shell/up.h'),
            # Through a base header that nothing compiles on its own but a .cpp includes.
            ('base/via.cpp', '#include "base/odd.txt"\n', 'base/odd.txt: shell/up.h'),
        ]
        for rel, text, line in cases:
            with self.subTest(rel):
                files = {rel: text}
                if rel == 'base/via.cpp':
                    files['base/odd.txt'] = '#include "shell/up.h"\n'
                code, out = self.tree(files).check()
                self.assertEqual(code, 1, out)
                self.assertIn('base -> shell: 1', out)
                self.assertIn(line, out)

    def test_folders_of_one_rank_may_not_include_each_other_both_ways(self):
        code, out = self.tree({'files/f.h': '#pragma once\n#include "draw/d.h"\n',
                          'draw/d.h': '#pragma once\n#include "files/f.h"\n'}).check()
        self.assertEqual(code, 1, out)
        self.assertIn('form a cycle', out)

    def test_a_folder_outside_the_order_fails(self):
        code, out = self.tree({'extra/x.h': '#include "base/low.h"\n'}).check()
        self.assertEqual(code, 1, out)
        self.assertIn('folders without a place in the layer order: extra', out)

    def test_downward_includes_pass(self):
        code, out = self.tree({'shell/s.cpp': '#include <base/low.h>\n#include "../base/low.h"\n',
                          'view/v.h': '#include "base/low.h"\n'}).check()
        self.assertEqual(code, 0, out)
        self.assertIn('shell    -> base', out)


class SymbolCheck(TreeCase):
    def test_an_upward_call_is_caught(self):
        # The declaration is written out: no include shows the call.
        tree = self.tree({'base/calls.cpp': 'int Upper();\nint CallsUp() { return Upper(); }\n'})
        tree.compile()
        code, out = tree.check('--symbols')
        self.assertEqual(code, 1, out)
        self.assertIn('1 references run against the order', out)
        self.assertIn('base/calls.cpp: Upper() (shell/up.cpp)', out)

    def test_downward_calls_pass(self):
        tree = self.tree({'shell/calls.cpp': '#include "base/low.h"\nint CallsDown() { return Lower(); }\n'})
        tree.compile()
        code, out = tree.check('--symbols')
        self.assertEqual(code, 0, out)
        self.assertIn('shell    -> base        1', out)


if __name__ == '__main__':
    COMPILER = sys.argv.pop(1)
    unittest.main()
