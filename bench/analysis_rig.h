// The local analysis of a day of records (86,400) on the events' image file,
// against its floor: the same sectors read in the same sequential runs
// through one held descriptor, and FFTW's bare transforms of the same 2 x 96
// samples per record. Part of limit_bench, which writes the figures into
// docs/performance.md.
#pragma once

namespace orvanta {
namespace analysisbench {

// Registers "AnalyseImage", "AnalyseImageCsv" and "AnalyseImageFloor"; the
// events' day image must have been written (eventsbench).
void RegisterAnalysisBenchmarks();

}  // namespace analysisbench
}  // namespace orvanta
