"""Writes N generated INI files (case-0000.ini ...) into DIR with the hard
cases of the configuration format: names in any case, blanks and tabs around
names and values, matching, single and unclosed quotes, ';' and '#' lines, a
value containing '=', keys before any section, repeated sections and keys, a
section header without its closing bracket, CR LF and LF line ends, a UTF-8
byte-order mark, GBK and UTF-8 bytes, values longer than the buffers.
Usage: make_ini_cases.py DIR N [SEED]"""
import os
import random
import sys

directory, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20240314)

KEYS = ["serverBaseUrl", "userID", "password"]
BLANKS = ["", " ", "\t", "  ", " \t", "\t "]
TEXTS = [
    b"http://analysis.example/analysis",
    b"https://10.0.0.1:8443/a?x=1&y=2",
    b"4711",
    b"a=b=c",
    b"pass word",
    "\u5bc6\u7801".encode("gbk"),
    "\u5bc6\u7801".encode("utf-8"),
    b"",
    b"x" * 40,
    b"y" * 130,
    b"z" * 250,
    b"semi;colon",
    b"hash#mark",
]


def any_case(name):
    return "".join(c.upper() if rng.random() < 0.5 else c.lower() for c in name).encode()


def value():
    text = rng.choice(TEXTS)
    quote = rng.choice([None, None, b'"', b"'", b"mixed", b"open"])
    if quote == b"mixed":
        text = b'"' + text + b"'"
    elif quote == b"open":
        text = rng.choice([b'"', b"'"]) + text
    elif quote:
        text = quote + text + quote
    return text


def key_line(key=None):
    key = key or rng.choice(KEYS)
    return (rng.choice(BLANKS).encode() + any_case(key) + rng.choice(BLANKS).encode() + b"=" +
            rng.choice(BLANKS).encode() + value() + rng.choice(BLANKS).encode())


def section_line(name="Common"):
    kind = rng.random()
    inner = rng.choice(BLANKS).encode() + any_case(name) + rng.choice(BLANKS).encode()
    if kind < 0.1:
        return rng.choice(BLANKS).encode() + b"[" + inner  # no closing bracket
    return rng.choice(BLANKS).encode() + b"[" + inner + b"]" + rng.choice([b"", b" ; note", b"\t"])


def other_line():
    return rng.choice([b"", b"; comment", b"# hash comment", b"  ;x=y", b"#password=commented",
                       b"no equals sign here", b"=value without key", b"\t"])


os.makedirs(directory, exist_ok=True)
for n in range(count):
    lines = []
    if rng.random() < 0.2:
        lines.append(key_line())  # before any section
    for _ in range(rng.randint(1, 3)):
        lines.append(section_line(rng.choice(["Common", "Common", "Other", "Commons"])))
        for _ in range(rng.randint(0, 6)):
            lines.append(key_line() if rng.random() < 0.7 else other_line())
    end = rng.choice([b"\n", b"\r\n"])
    data = end.join(lines) + (end if rng.random() < 0.8 else b"")
    # After a byte-order mark the API reads the file as UTF-8 and hands values
    # over in the ANSI code page, so such files carry ASCII values only.
    if rng.random() < 0.15 and all(b < 0x80 for b in data):
        data = b"\xef\xbb\xbf" + data
    with open(os.path.join(directory, "case-%04d.ini" % n), "wb") as f:
        f.write(data)
