#!/usr/bin/env python3
"""Checks the includes of src/ and apps/ against src/layering.txt.

Prints each include that the table does not allow, with file and line, and
exits 1; exits 0 when every include is allowed and the table has no cycle.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, 'src', 'layering.txt')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_INCLUDE_ROOTS = ['/usr/include/x86_64-linux-gnu/qt6', '/usr/include/qt6', '/usr/include/aarch64-linux-gnu/qt6']


def read_table():
    allowed, modules = {}, {}
    with open(TABLE, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.split('#', 1)[0].strip()
            if not line:
                continue
            if ':' not in line:
                sys.exit(f'{TABLE}:{number}: a line needs "folder: folders"')
            head, rest = line.split(':', 1)
            head = head.strip()
            if head.endswith(' qt'):
                modules[head[:-3].strip()] = set(rest.split())
            else:
                allowed[head] = set(rest.split())
    return allowed, modules


def find_cycle(allowed):
    state = {}

    def visit(node, path):
        state[node] = 'open'
        for nxt in sorted(allowed.get(node, ())):
            if nxt == '*' or nxt not in allowed:
                continue
            if state.get(nxt) == 'open':
                return path + [nxt]
            if nxt not in state:
                found = visit(nxt, path + [nxt])
                if found:
                    return found
        state[node] = 'done'
        return None

    for node in sorted(allowed):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def qt_header_modules():
    """Maps a Qt class header (QWidget, QtWidgets/QWidget) to its module."""
    for base in QT_INCLUDE_ROOTS:
        if os.path.isdir(base):
            headers = {}
            for module in os.listdir(base):
                folder = os.path.join(base, module)
                if module.startswith('Qt') and os.path.isdir(folder):
                    for name in os.listdir(folder):
                        headers.setdefault(name, module)
                        headers[f'{module}/{name}'] = module
            return headers
    return {}


def folder_of(path):
    """The table's node for a file: 'rename', 'rename/ui', 'apps/cli'."""
    parts = path.split('/')
    if parts[0] == 'apps':
        return '/'.join(parts[:2])
    if len(parts) >= 3 and parts[2] == 'ui':
        return f'{parts[1]}/ui'
    return parts[1]


def target_of(include):
    parts = include.split('/')
    if len(parts) < 2:
        return None  # a file of the same folder
    if len(parts) >= 3 and parts[1] == 'ui':
        return f'{parts[0]}/ui'
    return parts[0]


def main():
    os.chdir(ROOT)
    allowed, modules = read_table()
    problems = []
    cycle = find_cycle(allowed)
    if cycle:
        problems.append(f'{TABLE}: the table has a cycle: ' + ' -> '.join(cycle))
    qt = qt_header_modules()
    src_folders = {d for d in os.listdir(os.path.join(ROOT, 'src')) if os.path.isdir(os.path.join(ROOT, 'src', d))}
    for top in ('src', 'apps'):
        for dirpath, _, files in os.walk(os.path.join(ROOT, top)):
            for name in sorted(files):
                if not name.endswith(('.cpp', '.h')):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), ROOT)
                node = folder_of(path)
                if node not in allowed:
                    problems.append(f'{path}: folder "{node}" is missing from src/layering.txt')
                    continue
                may = allowed[node]
                is_ui = node.endswith('/ui') or node in ('widgets', 'apps/gui')
                qt_allowed = modules.get(node, {'QtCore'})
                with open(path, encoding='utf-8', errors='replace') as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        kind, include = m.groups()
                        where = f'{path}:{number}: {line.strip()}'
                        if kind == '"':
                            target = target_of(include)
                            if target is None or target == node or '*' in may:
                                continue
                            if target.split('/')[0] not in src_folders:
                                continue
                            if target not in may:
                                problems.append(f'{where}  ("{node}" may not include "{target}")')
                        elif not is_ui and include in qt and qt[include] not in qt_allowed:
                            problems.append(f'{where}  ("{node}" is logic and may not use {qt[include]})')
    for p in problems:
        print(p)
    if problems:
        print(f'layering: {len(problems)} include(s) break src/layering.txt')
        return 1
    print('layering: every include follows src/layering.txt')
    return 0


if __name__ == '__main__':
    sys.exit(main())
