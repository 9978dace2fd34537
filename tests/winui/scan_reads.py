"""The overview strip's reads, from an strace log of the window's run
(strace -f -y -e trace=read,pread64,clone,clone3; Wine reads a raw
volume with read after a seek): each scan runs on a thread of
its own, so every thread that is not a process's first one and read the
card image is a scan, and none may read more than BOUND sectors.

Usage: scan_reads.py TRACE CARD_IMAGE BOUND
"""
import re
import sys

trace, card, bound = sys.argv[1], sys.argv[2], int(sys.argv[3])
threads = set()
sectors = {}
pending = {}
for line in open(trace, encoding="utf-8", errors="replace"):
    tid, call = line.rstrip("\n").split(None, 1)
    if call.endswith("<unfinished ...>"):
        pending[tid] = call[: -len("<unfinished ...>")]
        continue
    resumed = re.match(r"<\.\.\. \w+ resumed>(.*)", call)
    if resumed:
        call = pending.pop(tid, "") + resumed.group(1)
    result = re.search(r"= (\d+)(?: <[^>]*>)?$", call)
    if result is None:
        continue
    if call.startswith(("clone(", "clone3(")) and "CLONE_THREAD" in call:
        threads.add(result.group(1))
    elif call.startswith(("read(", "pread64(")) and f"<{card}>" in call:
        sectors[tid] = sectors.get(tid, 0) + int(result.group(1)) // 512
scans = {tid: n for tid, n in sectors.items() if tid in threads}
if not scans:
    sys.exit(f"no scan thread read {card}")
over = {tid: n for tid, n in scans.items() if n > bound}
if over:
    sys.exit(f"scans read more than {bound} sectors: {over}")
print(f"{len(scans)} scans read {sorted(scans.values())} sectors, at most {bound} each")
