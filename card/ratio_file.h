// The calibration file "ratio.txt": two numbers scanned as "%lf\n%lf", each
// checked before it is used. A number that is not finite, or so large that a
// sample scaled by it would not fit the waveform text (126 pairs of at most
// 8-digit numbers), is not taken: its ratio stays 1.0. A ratio of 0 or below
// is taken as read, with a note. A file that is not a regular file (a FIFO
// would block) or is larger than 1 MiB is not read at all.
#pragma once

#include <string>
#include <vector>

namespace orvanta {

struct RatioNote {
    enum Kind {
        kNotFinite,  // NaN or infinite: not taken
        kTooLarge,   // a scaled sample would not fit the texts: not taken
        kZero,       // taken: the channel's values all become 0
        kNegative,   // taken: the channel's values change sign
    };
    char channel = 'A';  // 'A' (first number) or 'B' (second)
    double value = 0.0;  // the number as the file gave it
    Kind kind = kNotFinite;
};

struct RatioFileOutcome {
    bool read = false;                  // the file was there and was read
    std::string error;                  // why the file was refused (English), or empty
    std::vector<RatioNote> notes;       // what was not taken or is doubtful
};

// A note as one English sentence, e.g. "ratio.txt: the ratio of channel A
// (nan) is not a finite number; 1.0 is used instead".
std::string RatioNoteText(const RatioNote& note);

// True when every sample (0 to 65535 counts, less `zeroLevel`) scaled by
// `ratio` still fits the waveform text as a number of at most 8 digits.
bool RatioFitsTexts(double ratio, double zeroLevel);

// Reads the file at `path` and sets *ratioA and *ratioB from it; a ratio
// whose number is missing, does not convert or is not taken keeps its value.
RatioFileOutcome LoadRatioFile(const std::string& path, double zeroLevelA, double zeroLevelB, double* ratioA,
                               double* ratioB);

}  // namespace orvanta
