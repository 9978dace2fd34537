"""Compares one POST that orvanta-server recorded from the Windows window
with the request orvanta-query built on Linux (--request-out: the header
block, CR LF, the body): the body byte for byte and the four header lines the
client sets, name and value.

Usage: compare_window_post.py RECORD.jsonl INDEX LINUX.req
"""
import json
import sys

record = json.loads(open(sys.argv[1], encoding="utf-8").read().splitlines()[int(sys.argv[2])])
linux = open(sys.argv[3], "rb").read()
head, body = linux.split(b"\r\n\r\n", 1)
lines = head.split(b"\r\n")
problems = []
if record["method"] != "POST":
    problems.append(f"method {record['method']}")
# \u00XX escapes in the record stand for single bytes.
if record["body"].encode("latin-1") != body:
    problems.append(f"body: window {record['body'][:200]!r} Linux {body[:200]!r}")
recorded = {name.lower(): value.encode("latin-1") for name, value in record["headers"].items()}
if len(lines) != 4:
    problems.append(f"the Linux header block has {len(lines)} lines")
for line in lines:
    name, value = line.split(b": ", 1)
    got = recorded.get(name.decode().lower())
    if got != value:
        problems.append(f"header {name.decode()}: window {got!r} Linux {value!r}")
if problems:
    print("\n".join(problems), file=sys.stderr)
    sys.exit(1)
