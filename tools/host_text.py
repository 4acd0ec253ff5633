#!/usr/bin/env python3
"""Picks the passages of a text that are meant for one of the plug-in's hosts.

One source text serves both hosts: the 1.70 host (8-bit interface) and today's
host (the Unicode interface of generation 3, "3" here). A passage for one host
only starts with a line "%HOST 1.70%" or "%HOST 3%" and ends with a line
"%END%"; every line outside such a passage is for both hosts.

usage: host_text.py --host 1.70|3 SOURCE OUTPUT

writes SOURCE's text for that host with CRLF line ends (the installation text,
so that Notepad shows it as written). make_help.py uses select() for the help
templates.
"""
import re
import sys

HOSTS = ("1.70", "3")
MARKER = re.compile(r"^%(HOST ([^%]*)|END)%$")


def select(lines, host, source):
    """The lines of `lines` (marker lines dropped) that are for `host`.

    Exits with a message naming `source` when the markers do not pair up or name
    a host that does not exist, so a half-marked text never reaches a package.
    """
    if host not in HOSTS:
        sys.exit(f"{source}: no host {host!r}, only {', '.join(HOSTS)}")
    out = []
    passage = None  # the host of the open passage, with its line number
    for number, line in enumerate(lines, 1):
        marker = MARKER.match(line.rstrip("\r"))
        if not marker:
            if passage is None or passage[0] == host:
                out.append(line)
            continue
        if marker.group(1) == "END":
            if passage is None:
                sys.exit(f"{source}:{number}: %END% without a %HOST ...% before it")
            passage = None
            continue
        if passage is not None:
            sys.exit(f"{source}:{number}: a %HOST ...% passage inside the one of line "
                     f"{passage[1]}")
        if marker.group(2) not in HOSTS:
            sys.exit(f"{source}:{number}: no host {marker.group(2)!r}, only {', '.join(HOSTS)}")
        passage = (marker.group(2), number)
    if passage is not None:
        sys.exit(f"{source}:{passage[1]}: the %HOST {passage[0]}% passage has no %END%")
    return out


def main():
    args = sys.argv[1:]
    if len(args) != 4 or args[0] != "--host":
        sys.exit(next(p for p in __doc__.split("\n\n") if p.startswith("usage:")))
    host, source, output = args[1:]
    with open(source, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    text = "".join(line + "\r\n" for line in select(lines, host, source))
    with open(output, "w", encoding="utf-8", newline="") as f:
        f.write(text)


if __name__ == "__main__":
    main()
