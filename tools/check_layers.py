#!/usr/bin/env python3
"""Checks that the plug-in's folders read as layers, from the #include lines alone.

The folders of src/, from the bottom up:

    ground       what everything shares: records, settings, text unit, memory, console
    access       the only code that talks to the host
    editors      the per-window records, the text kind
    commands     the editing commands
    interactive  the status line, the recorder, the searches
    keys         the dispatcher and the binding tables
    plugin       the entry layer: exports, entry points, settings store

A file may include files of its own folder and of the folders below it, never of a
folder above. The host's interface header (ground/host170/host_api.h) is for the code that
talks to the host: access/ and plugin/. Files of one folder must not include each
other in a circle. Prints the include counts between folders and every fault; exits
1 when there is one.

    tools/check_layers.py [SRC_DIR]
"""
import os
import re
import sys

LAYERS = ["ground", "access", "editors", "commands", "interactive", "keys", "plugin"]
HOSTS = ["host170", "host3"]
HOST_INTERFACE = "host_api.h"
HOST_SIDE = {"access", "plugin"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    src = os.path.normpath(src)
    rank = {name: i for i, name in enumerate(LAYERS)}
    faults = []
    counts = {}
    graph = {}
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in rank:
            faults.append(f"src/{folder}/ is no layer: add it to LAYERS in its place")
            continue
        for sub in [""] + sorted(d for d in os.listdir(path) if os.path.isdir(os.path.join(path, d))):
            if sub and sub not in HOSTS:
                faults.append(f"src/{folder}/{sub}/ is no host folder: add it to HOSTS")
                continue
            where_dir = os.path.join(path, sub)
            for name in sorted(os.listdir(where_dir)):
                if not name.endswith((".h", ".cpp")):
                    continue
                here = f"{folder}/{sub}/{name}" if sub else f"{folder}/{name}"
                scan_file(os.path.join(where_dir, name), here, folder, sub, rank, faults,
                          counts, graph)
    faults += circles(graph)

    print("Layers, bottom up, with the folders each one includes (number of #include lines):")
    for folder in LAYERS:
        uses = [f"{layer} {counts[(folder, layer)]}" for layer in LAYERS
                if (folder, layer) in counts and layer != folder]
        own = counts.get((folder, folder), 0)
        print(f"  {folder:<12} own {own:>3}; uses: {', '.join(uses) if uses else '-'}")
    if faults:
        for fault in faults:
            print("check_layers: " + fault, file=sys.stderr)
        print(f"check_layers: FAILED, {len(faults)} fault(s)", file=sys.stderr)
        return 1
    print("check_layers: no include runs back up, no circle, the host's interface header "
          "only in " + " and ".join(f"{s}/" for s in sorted(HOST_SIDE)))
    return 0


def scan_file(path, here, folder, host, rank, faults, counts, graph):
    """Reads one file's includes into graph and counts, and adds its faults."""
    graph[here] = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            target = m.group(1)
            parts = target.split("/")
            layer = parts[0]
            if layer not in rank:
                continue
            graph[here].append(target)
            counts[(folder, layer)] = counts.get((folder, layer), 0) + 1
            where = f"src/{here}:{number}"
            target_host = parts[1] if len(parts) > 2 and parts[1] in HOSTS else ""
            if rank[layer] > rank[folder]:
                faults.append(f"{where}: {folder}/ includes {target}, a layer above it")
            if target_host and target_host != host:
                owner = f"{host}/ code" if host else "shared code"
                faults.append(f"{where}: {owner} includes {target}, of another host's build")
            if parts[-1] == HOST_INTERFACE and folder not in HOST_SIDE:
                faults.append(f"{where}: {folder}/ includes the host's interface header")


def circles(graph):
    """Include circles among the files, each reported once."""
    faults, state, stack = [], {}, []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for target in graph.get(node, []):
            if target not in graph:
                continue
            if state.get(target) == 1:
                loop = stack[stack.index(target):] + [target]
                faults.append("include circle: " + " -> ".join(loop))
            elif not state.get(target):
                visit(target)
        stack.pop()
        state[node] = 2

    for node in sorted(graph):
        if not state.get(node):
            visit(node)
    return faults


if __name__ == "__main__":
    sys.exit(main())
