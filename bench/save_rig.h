// Saving the demo's sample card (scripts/demo-card: 300,000 records, wrapped)
// as an image with orvanta-card save's core, against its floor: the same
// sectors read in the same 1 MiB runs, written at the same offsets and flushed
// to the disk, as dd bs=1M conv=fsync does (the save flushes its image before
// it renames it), without the digest and the read-back check.
// Part of limit_bench, which writes the figures into docs/performance.md.
#pragma once

#include <string>

namespace orvanta {
namespace savebench {

// Writes the sample card into `dir` and registers "SaveCard" and
// "SaveCardFloor". The images live as long as `dir`.
void RegisterSaveBenchmarks(const std::string& dir);

}  // namespace savebench
}  // namespace orvanta
