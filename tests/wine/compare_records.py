"""Compares the two requests that orvanta-server recorded (one JSON line each):
method, path, body and the headers the client itself sets must be equal byte
for byte. Headers that each HTTP stack adds of its own (User-Agent, Accept,
Connection, Host...) are left out."""
import json
import sys

CLIENT_HEADERS = ["content-type", "api-version", "user-id", "password", "content-length"]


def load(line):
    record = json.loads(line)
    # \u00XX escapes stand for single bytes.
    headers = {name.lower(): value.encode("latin-1") for name, value in record["headers"].items()}
    return {
        "method": record["method"],
        "path": record["path"],
        "body": record["body"].encode("latin-1"),
        "headers": {name: headers.get(name) for name in CLIENT_HEADERS},
    }


lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
linux, windows = load(lines[0]), load(lines[1])
if linux != windows:
    for key in linux:
        if linux[key] != windows[key]:
            print(f"{key}: Linux {linux[key]!r:.300} Windows {windows[key]!r:.300}", file=sys.stderr)
    sys.exit(1)
if not linux["body"] or None in linux["headers"].values():
    print("a request lacks its body or a header", file=sys.stderr)
    sys.exit(1)
