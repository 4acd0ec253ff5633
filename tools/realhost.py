#!/usr/bin/env python3
"""Runs the editing scenarios of tests/realhost/ in the real 1.70 host.

Each scenario (tests/realhost/*.case, format in tests/realhost/README.md) is run
once per host mode it names, through the real-host kit's run-case.sh: the host
opens the scenario's file with the packaged Tarvik/ folder loaded, a driver
plug-in types the keys, and the editor's final state (every line's bytes and
line end, the selection, the cursor) is compared with the expected one.

The last line printed is the summary:
    Real host (1.70 build 1986): N cases, P passed, F failed
where a case is one scenario in one mode. Where the kit is missing (a clone
outside the team's machines) or this machine cannot run 32-bit programs, the
line says so instead and the exit status is 0; otherwise it is 1 when a case
failed.

usage: tools/realhost.py [NAME_GLOB...]    (default: every scenario)

environment:
  TARVIK_REALHOST_RUNNER  a run-case.sh of the same interface to use instead of
                          the kit's own (for example one that runs the host in a
                          virtual machine); the 32-bit probe is then skipped
  TARVIK_REALHOST_KIT     the kit folder (default: ../shared/realhost beside the
                          repository)
  TARVIK_REALHOST_PLUGIN  the Tarvik/ folder to load (default: the package's
                          staged folder, else the newest dist/ zip unpacked,
                          else tools/package.sh is run first)
  TARVIK_REALHOST_MODES   only these modes, e.g. "default ansi"
  TARVIK_NO_INSTALL       do not install missing Debian packages
  REALHOST_ROOT, REALHOST_TIMEOUT, ...  passed on to the runner (see its header)
"""
import fnmatch
import glob
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

TITLE = "Real host (1.70 build 1986)"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CASES = os.path.join(ROOT, "tests", "realhost")
WORK = os.path.join(ROOT, "build", "ci-realhost")

# What each host mode adds to a scenario: keys typed first, host settings.
MODES = {
    "default": ([], ""),
    "overtype": (["key Ins"], ""),
    "pboff": ([], "Editor/PersistentBlocks=0"),
    "ansi": (["key F8"], ""),
}
EOLS = {"crlf": b"\r\n", "lf": b"\n", "cr": b"\r", "none": b""}
ESCAPES = {"t": 9, "r": 13, "n": 10, "0": 0, "\\": 92, '"': 34}


class CaseError(Exception):
    pass


def unescape(s, where):
    """The bytes of a scenario string: \\t \\r \\n \\0 \\\\ \\" \\xNN; other characters as UTF-8."""
    out = bytearray()
    i = 0
    while i < len(s):
        c = s[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        e = s[i + 1 : i + 2]
        if e == "x" and re.fullmatch(r"[0-9A-Fa-f]{2}", s[i + 2 : i + 4]):
            out.append(int(s[i + 2 : i + 4], 16))
            i += 4
        elif e in ESCAPES:
            out.append(ESCAPES[e])
            i += 2
        else:
            raise CaseError("%s: bad escape in %r" % (where, s))
    return bytes(out)


def quoted(rest, where):
    """Splits '"escaped text" tail' into (bytes, tail)."""
    m = re.match(r'"((?:[^"\\]|\\.)*)"\s*(.*)$', rest)
    if not m:
        raise CaseError("%s: expected a quoted string: %s" % (where, rest))
    return unescape(m.group(1), where), m.group(2)


def parse_expect(lines, where):
    exp = {"lines": [], "cursor": None, "header": [], "unchanged": False}
    for n, text in lines:
        at = "%s:%d" % (where, n)
        if text.startswith('"'):
            data, tail = quoted(text, at)
            words = tail.split()
            if not words or words[0] not in EOLS:
                raise CaseError("%s: line end missing (crlf, lf, cr, none)" % at)
            sel = None
            for w in words[1:]:
                if w == "nosel":
                    sel = "none"
                elif re.fullmatch(r"sel=-?\d+,-?\d+", w):
                    sel = tuple(int(v) for v in w[4:].split(","))
                else:
                    raise CaseError("%s: unknown word %r" % (at, w))
            exp["lines"].append((data, EOLS[words[0]], sel))
        elif text.split()[0] == "unchanged":
            exp["unchanged"] = "nosel" if text.split()[1:] == ["nosel"] else None
        elif text.startswith("cursor "):
            line, pos = text.split()[1:3]
            exp["cursor"] = (int(line), int(pos))
        elif text.startswith("top "):
            exp["header"].append(("topscreenline", text.split()[1]))
        elif text.startswith("header "):  # the dump's header line KEY starts with VALUE
            words = text.split(None, 2)
            exp["header"].append((words[1], words[2]))
        else:
            raise CaseError("%s: unknown expectation %r" % (at, text))
    if exp["cursor"] is None or not (exp["lines"] or exp["unchanged"] is not False):
        raise CaseError("%s: an expectation needs its lines and a cursor" % where)
    return exp


def file_lines(data):
    """The lines the host shows for a file: (text, line end); a lone CR ends a line,
    and a file ending in a line end shows one more, empty, line without one."""
    lines = []
    for m in re.finditer(rb"([^\r\n]*)(\r\n|\n|\r|$)", data):
        lines.append((m.group(1), m.group(2)))
        if not m.group(2):
            break
    return lines


def parse_case(path):
    name = os.path.splitext(os.path.basename(path))[0]
    case = {"name": name, "file": b"", "modes": list(MODES), "env": {}, "keys": [], "expect": {}}
    block = None  # (kind, modes, lines)
    blocks = []
    with open(path, encoding="utf-8") as f:
        raw = f.read().split("\n")
    for n, line in enumerate(raw, 1):
        at = "%s:%d" % (name, n)
        body = line.strip()
        if not body or body.startswith("#"):
            continue
        if line[:1] in " \t":
            if block is None:
                raise CaseError("%s: indented line outside keys/expect" % at)
            # key script items keep their trailing blanks ("text  " types blanks)
            block[2].append((n, line.lstrip() if block[0] == "keys" else body))
            continue
        block = None
        word, _, rest = body.partition(" ")
        rest = rest.strip()
        if word == "file":
            case["file"] += quoted(rest, at)[0]
        elif word == "modes":
            case["modes"] = rest.split()
            bad = [m for m in case["modes"] if m not in MODES]
            if bad:
                raise CaseError("%s: unknown mode %s" % (at, " ".join(bad)))
        elif word == "env":
            for kv in rest.split():
                k, _, v = kv.partition("=")
                case["env"][k] = v
        elif word in ("keys", "expect"):
            block = (word, rest.split(), [])
            blocks.append(block)
        else:
            raise CaseError("%s: unknown directive %r" % (at, word))
    for kind, modes, lines in blocks:
        if kind == "keys":
            case["keys"] += [t for _, t in lines]
            continue
        exp = parse_expect(lines, name)
        if exp["unchanged"] is not False:
            exp["lines"] = [(t, e, exp["unchanged"]) for t, e in file_lines(case["file"])]
        for m in modes or ["*"]:
            if m != "*" and m not in MODES:
                raise CaseError("%s: expect for unknown mode %s" % (name, m))
            case["expect"][m] = exp
    if not case["keys"] or "*" not in case["expect"] and any(
        m not in case["expect"] for m in case["modes"]
    ):
        raise CaseError("%s: needs keys and an expectation for every mode" % name)
    return case


def parse_dump(out):
    """The dump's header values, its lines (text, eol, sel) and the final cursor."""
    header, lines, cursor = {}, [], None
    for l in out.splitlines():
        if l.startswith("line "):
            f = dict(kv.split("=", 1) for kv in l.split()[2:])
            sel = tuple(int(v) for v in f["sel"].split(","))
            lines.append((bytes.fromhex(f["text"]), bytes.fromhex(f["eol"]), sel))
        elif l.startswith("after curline "):
            w = l.split()
            cursor = (int(w[2]), int(w[4]))
        elif re.match(r"[a-z]+ ", l) and not l.startswith("#"):
            k, _, v = l.partition(" ")
            header.setdefault(k, v.strip())
    return header, lines, cursor


def show(data, eol):
    return repr(data)[1:] + " " + (next(k for k, v in EOLS.items() if v == eol) if eol in EOLS.values() else repr(eol))


def compare(exp, mode, header, lines, cursor):
    """Differences between the expectation and the dump, as text lines."""
    diffs = []
    want_ot, want_ansi = ("1" if mode == "overtype" else "0"), ("1" if mode == "ansi" else "0")
    if header.get("overtype") != want_ot or header.get("ansimode") != want_ansi:
        diffs.append("mode not in effect: overtype %s ansimode %s"
                     % (header.get("overtype"), header.get("ansimode")))
    for k, v in exp["header"]:
        if not (header.get(k) or "").startswith(v):
            diffs.append("%s: expected %s, seen %s" % (k, v, header.get(k)))
    if len(lines) != len(exp["lines"]):
        diffs.append("line count: expected %d, seen %d" % (len(exp["lines"]), len(lines)))
    for i in range(max(len(lines), len(exp["lines"]))):
        want = exp["lines"][i] if i < len(exp["lines"]) else None
        seen = lines[i] if i < len(lines) else None
        if want is None or seen is None:
            diffs.append("line %d: expected %s, seen %s" % (
                i, show(*want[:2]) if want else "nothing", show(*seen[:2]) if seen else "nothing"))
            continue
        if want[:2] != seen[:2]:
            diffs.append("line %d: expected %s, seen %s" % (i, show(*want[:2]), show(*seen[:2])))
        sel = want[2]
        if sel == "none" and seen[2][0] != -1:
            diffs.append("line %d: expected no selection, seen sel=%d,%d" % (i, *seen[2]))
        elif isinstance(sel, tuple) and sel != seen[2]:
            diffs.append("line %d: expected sel=%d,%d, seen sel=%d,%d" % (i, *sel, *seen[2]))
    if cursor != exp["cursor"]:
        diffs.append("cursor: expected %s, seen %s" % (exp["cursor"], cursor))
    return diffs


def skip(reason):
    print("%s: not run: %s" % (TITLE, reason))
    sys.exit(0)


def install(packages):
    if os.environ.get("TARVIK_NO_INSTALL"):
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.call(sudo + ["apt-get", "update", "-q"], env=env, stdout=subprocess.DEVNULL)
    subprocess.call(sudo + ["apt-get", "install", "-y", "-q"] + packages, env=env,
                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def local_runner():
    """The kit's run-case.sh, or exits through skip() where it cannot run here."""
    kit = os.environ.get("TARVIK_REALHOST_KIT") or os.path.join(os.path.dirname(ROOT), "shared", "realhost")
    runner = os.path.join(kit, "run-case.sh")
    if not os.path.isfile(runner):
        skip("no real-host kit at %s (a clone outside the team's machines)" % os.path.normpath(kit))
    env = dict(os.environ)
    env.pop("TARVIK_WINE64", None)  # the question is what this machine can do
    probe = subprocess.run(["bash", os.path.join(ROOT, "tools", "wine-kind.sh"), "--why"],
                           env=env, capture_output=True, text=True).stdout.split("\n")
    if probe[0] != "32":
        skip(probe[1] if len(probe) > 1 and probe[1] else "this machine cannot run 32-bit programs")
    if not shutil.which("wine"):
        install(["wine", "wine32:i386"])
    if subprocess.call(["/usr/bin/python3", "-c", "import pyte"], stderr=subprocess.DEVNULL):
        install(["python3-pyte"])
    return runner


def plugin_folder():
    given = os.environ.get("TARVIK_REALHOST_PLUGIN")
    if given:
        return given, "TARVIK_REALHOST_PLUGIN"
    stage = os.path.join(ROOT, "build", "ci-package", "stage", "Tarvik")
    if not os.path.isfile(os.path.join(stage, "Tarvik.dll")):
        # The 1.70 package; Tarvik-<version>-unicode.zip is today's host's.
        zips = sorted((z for z in glob.glob(os.path.join(ROOT, "dist", "Tarvik-*.zip"))
                       if not z.endswith("-unicode.zip")), key=os.path.getmtime)
        if zips:
            dest = os.path.join(WORK, "package")
            shutil.rmtree(dest, ignore_errors=True)
            with zipfile.ZipFile(zips[-1]) as z:
                z.extractall(dest)
            return os.path.join(dest, "Tarvik"), os.path.relpath(zips[-1], ROOT)
        print("realhost: no package yet, running tools/package.sh")
        if subprocess.call(["bash", os.path.join(ROOT, "tools", "package.sh")]):
            return None, "tools/package.sh failed"
    return stage, os.path.relpath(stage, ROOT)


def run_one(runner, plugin, case, mode, remote):
    keys, reg = MODES[mode]
    d = os.path.join(WORK, "cases", "%s.%s" % (case["name"], mode))
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    path = os.path.join(d, case["name"] + ".txt")
    with open(path, "wb") as f:
        f.write(case["file"])
    with open(os.path.join(d, "keys.txt"), "w", encoding="latin-1") as f:
        f.write("\n".join(keys + case["keys"]) + "\n")
    env = dict(os.environ)
    if not remote:  # Wine prefixes and run folders of this clone's own
        env.setdefault("REALHOST_ROOT", os.path.join(WORK, "wine"))
    env.update(case["env"])
    env["REALHOST_REG"] = " ".join(r for r in (reg, case["env"].get("REALHOST_REG", "")) if r)
    if not env["REALHOST_REG"]:
        del env["REALHOST_REG"]
    p = subprocess.run(["bash", runner, path, os.path.join(d, "keys.txt"), plugin], env=env,
                       capture_output=True, text=True, errors="replace")
    with open(os.path.join(d, "output.txt"), "w") as f:
        f.write(p.stdout + p.stderr)
    m = re.search(r"^# run folder: (.*)$", p.stdout, re.M)
    run_dir = m.group(1) if m else None
    header, lines, cursor = parse_dump(p.stdout)
    if p.returncode != 0 or cursor is None:
        tail = (p.stdout + p.stderr).strip().splitlines()[-12:]
        return ["no dump (runner exit %d):" % p.returncode] + ["  " + t for t in tail], d
    exp = case["expect"].get(mode) or case["expect"]["*"]
    diffs = compare(exp, mode, header, lines, cursor)
    if diffs:
        diffs.append("seen (decoded):")
        diffs += ["  " + l for l in p.stdout.split("# decoded", 1)[-1].splitlines()[1:]]
        if run_dir:
            diffs.append("run folder: %s" % run_dir)
    elif run_dir and not remote and os.path.isdir(run_dir) and run_dir.startswith(env["REALHOST_ROOT"]):
        shutil.rmtree(run_dir, ignore_errors=True)
    return diffs, d


def stop_wineservers():
    """Ends the Wine servers that the kit left running for this stage's prefixes."""
    root = os.environ.get("REALHOST_ROOT", os.path.join(WORK, "wine"))
    for pfx in glob.glob(os.path.join(root, "prefix-*")):
        subprocess.call(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=pfx),
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    paths = sorted(glob.glob(os.path.join(CASES, "*.case")))
    cases = []
    for p in paths:
        try:
            cases.append(parse_case(p))
        except CaseError as e:
            print("realhost: %s" % e)
            print("%s: 0 cases, 0 passed, 1 failed (a scenario file is malformed)" % TITLE)
            return 1
    if sys.argv[1:]:
        cases = [c for c in cases if any(fnmatch.fnmatch(c["name"], g) for g in sys.argv[1:])]
    only = os.environ.get("TARVIK_REALHOST_MODES", "").split()

    runner = os.environ.get("TARVIK_REALHOST_RUNNER")
    remote = bool(runner)
    if not runner:
        runner = local_runner()
    plugin, source = plugin_folder()
    if not plugin:
        print("%s: 0 cases, 0 passed, 1 failed (%s)" % (TITLE, source))
        return 1
    os.makedirs(WORK, exist_ok=True)
    runs = [(c, m) for c in cases for m in c["modes"] if not only or m in only]
    print("realhost: %d scenarios, %d cases; plug-in from %s; runner %s"
          % (len(cases), len(runs), source, runner))
    started = time.time()
    passed, failed = 0, []
    try:
        for c, m in runs:
            t0 = time.time()
            diffs, d = run_one(runner, plugin, c, m, remote)
            label = "%s [%s]" % (c["name"], m)
            if diffs:
                failed.append(label)
                print("FAIL %-44s %5.1f s" % (label, time.time() - t0))
                for l in diffs:
                    print("       " + l)
            else:
                passed += 1
                print("ok   %-44s %5.1f s" % (label, time.time() - t0))
            sys.stdout.flush()
    finally:
        if not remote:
            stop_wineservers()
    print("realhost: %d s" % (time.time() - started))
    if failed:
        print("realhost: failed: " + ", ".join(failed))
    print("%s: %d cases, %d passed, %d failed" % (TITLE, len(runs), passed, len(failed)))
    return 1 if failed or not runs else 0


if __name__ == "__main__":
    sys.exit(main())
