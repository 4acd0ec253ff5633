#!/usr/bin/env python3
"""Makes the language file for today's host from the 1.70 one.

usage: make_lng3.py SOURCE CODEPAGE OUTPUT

SOURCE is a language file of the 1.70 host (lng/TarvikEng.lng, lng/TarvikRus.lng):
8-bit text in CODEPAGE (cp437, cp866), one message per quoted line, taken as
written. OUTPUT gets the same lines in UTF-8 with a byte-order mark and CRLF line
ends. Today's host reads backslash escapes (\\\\ \\" \\n \\r \\t \\b) and a doubled
quote mark inside a message, so every backslash and quote mark of a message is
escaped to stay what it was. The file written is read back the way today's host
reads it and must give the same messages in the same order.
"""
import sys

BOM = "\ufeff"


def messages_170(lines, source):
    """The messages of a 1.70 language file, as the host shows them."""
    out = []
    for number, line in enumerate(lines, 1):
        text = line.strip(" \t")
        if not text.startswith('"'):
            continue
        if len(text) < 2 or not text.endswith('"'):
            sys.exit(f"{source}:{number}: a message line that does not end in a quote mark")
        out.append(text[1:-1])
    return out


def escaped(message):
    return message.replace("\\", "\\\\").replace('"', '\\"')


def unescaped(text):
    """A message's text as today's host turns it into the message."""
    out, i = [], 0
    plain = {"\\": "\\", '"': '"', "n": "\n", "r": "\r", "t": "\t", "b": "\b"}
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text) and text[i + 1] in plain:
            out.append(plain[text[i + 1]])
            i += 2
        elif c == '"' and text[i + 1:i + 2] == '"':
            out.append('"')
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_as_host3(lines):
    """The language name and the messages of a file for today's host: every line
    trimmed; the header before the first quoted line; a quoted line's text runs to
    its last quote mark."""
    language, messages = None, []
    for line in lines:
        text = line.strip(" \t")
        if text.startswith('"'):
            messages.append(unescaped(text[1:-1] if text.endswith('"') and len(text) > 1
                                      else text[1:]))
        elif not messages and text.startswith(".Language="):
            language = text[len(".Language="):]
    return language, messages


def main():
    if len(sys.argv) != 4:
        sys.exit(next(p for p in __doc__.split("\n\n") if p.startswith("usage:")))
    source, codepage, output = sys.argv[1:]
    with open(source, "rb") as f:
        lines = f.read().decode(codepage).replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if not lines or not lines[0].startswith(".Language="):
        sys.exit(f"{source}: the first line is not .Language=")
    wanted = messages_170(lines, source)

    written = []
    for line in lines:
        text = line.strip(" \t")
        if text.startswith('"'):
            line = line[:len(line) - len(line.lstrip(" \t"))] + '"' + escaped(text[1:-1]) + '"'
        written.append(line)

    language, got = read_as_host3(written)
    if language != lines[0][len(".Language="):] or got != wanted:
        sys.exit(f"{output}: today's host would not read the messages of {source} from it")
    with open(output, "w", encoding="utf-8", newline="") as f:
        f.write(BOM + "".join(line + "\r\n" for line in written))


if __name__ == "__main__":
    main()
