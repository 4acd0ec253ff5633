#!/usr/bin/env python3
"""Makes a help file in the host's format from a template and the generated key map.

usage: make_help.py [--host 1.70|3] KEYMAP TEMPLATE CODEPAGE OUTPUT

TEMPLATE is UTF-8 text with a line "%KEYMAP%" where the key map goes, and
passages for one host only between "%HOST 1.70%" or "%HOST 3%" and "%END%"
lines (tools/host_text.py); KEYMAP is the generator's help-format fragment in the
template's language (OEM text in CODEPAGE, `tarvik_keymap --hlf --lang eng|rus`).
For the 1.70 host (the default) the output is in CODEPAGE; for today's host (3)
it is the same text in UTF-8 with a byte-order mark. Both have CRLF line ends,
and both hosts' texts must fit CODEPAGE. Fails when a link names a topic that the
file does not have, or when the fragment's title is not the template's (a key map
in the other language), so a broken help file never reaches the package.
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import host_text  # noqa: E402


def main():
    args = sys.argv[1:]
    host = "1.70"
    if args[:1] == ["--host"] and len(args) > 1:
        host, args = args[1], args[2:]
    if len(args) != 4:
        sys.exit(next(p for p in __doc__.split("\n\n") if p.startswith("usage:")))
    keymap_path, template_path, codepage, output_path = args
    with open(keymap_path, "rb") as f:
        keymap = f.read().replace(b"\r\n", b"\n").rstrip(b"\n").split(b"\n")
    with open(template_path, encoding="utf-8") as f:
        template = host_text.select(f.read().split("\n"), host, template_path)

    # The generator writes a whole topic; the template names it and titles it,
    # so the fragment's own two head lines give way. Both are in one language,
    # so the titles must agree.
    keymap_topic = keymap_title = None
    if keymap and keymap[0].startswith(b"@"):
        keymap_topic = keymap[0]
        keymap = keymap[1:]
        if keymap and keymap[0].startswith(b"$"):
            keymap_title = keymap[0]
            keymap = keymap[1:]

    lines = []
    for line in template:
        if line == "%KEYMAP%":
            topic = next((l for l in reversed(lines) if l.startswith(b"@")), None)
            if keymap_topic is not None and topic != keymap_topic:
                sys.exit(f"{template_path}: the key map is topic {keymap_topic.decode()}, "
                         f"but the template puts it in {topic.decode() if topic else None}")
            title = next((l for l in reversed(lines) if l.startswith(b"$")), None)
            if keymap_title is not None and title != keymap_title:
                sys.exit(f"{template_path}: the key map's title {keymap_title.decode(codepage)!r} "
                         f"is not the template's {title.decode(codepage) if title else None!r}: "
                         f"is it the key map of another language?")
            lines.extend(keymap)
        else:
            lines.append(line.encode(codepage))
    while lines and lines[-1] == b"":
        lines.pop()

    errors = check(lines)
    if errors:
        for e in errors:
            print(f"{template_path}: {e}", file=sys.stderr)
        sys.exit(1)
    if host == "3":
        # The same text, read back from the code page it was checked against.
        lines = [line.decode(codepage).encode("utf-8") for line in lines]
        lines[0] = b"\xef\xbb\xbf" + lines[0]
    with open(output_path, "wb") as f:
        f.write(b"".join(line + b"\r\n" for line in lines))


def check(lines):
    """Returns what is wrong with the help file's structure."""
    errors = []
    if not lines or not lines[0].startswith(b".Language="):
        errors.append("the first line is not .Language=")
    if not any(line.startswith(b".PluginContents=") for line in lines):
        errors.append("no .PluginContents= line")
    topics = [line[1:] for line in lines if re.match(rb"^@[A-Za-z]", line)]
    if not topics or topics[0] != b"Contents":
        errors.append("the first topic is not @Contents")
    for topic in set(topics):
        if topics.count(topic) > 1:
            errors.append(f"topic {topic.decode()} appears twice")
    for line in lines:
        for target in re.findall(rb"~[^~]+~@([^@]+)@", line):
            if target not in topics:
                errors.append(f"link to the missing topic {target.decode()}")
        if line.lstrip().startswith(b"%") and line.strip().endswith(b"%"):
            errors.append(f"placeholder left: {line.decode('latin-1')}")
    return errors


if __name__ == "__main__":
    main()
