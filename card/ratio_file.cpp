#include "card/ratio_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/small_file.h"

namespace orvanta {
namespace {

// The waveform text holds 252 numbers, each with its blank, in 2539
// characters: at most 9 characters a number, so 8 digits after a sign.
constexpr double kLargestTextValue = 99999999.0;
constexpr double kLargestSample = 65535.0;

// Checks one scanned ratio; true when it may be used.
bool Accept(char channel, double value, double zeroLevel, std::vector<RatioNote>* notes) {
    RatioNote note;
    note.channel = channel;
    note.value = value;
    if (!std::isfinite(value)) {
        note.kind = RatioNote::kNotFinite;
    } else if (!RatioFitsTexts(value, zeroLevel)) {
        note.kind = RatioNote::kTooLarge;
    } else {
        if (value == 0.0) {
            note.kind = RatioNote::kZero;
            notes->push_back(note);
        } else if (value < 0.0) {
            note.kind = RatioNote::kNegative;
            notes->push_back(note);
        }
        return true;
    }
    notes->push_back(note);
    return false;
}

}  // namespace

bool RatioFitsTexts(double ratio, double zeroLevel) {
    if (!std::isfinite(ratio) || !std::isfinite(zeroLevel)) return false;
    const double widest = std::max(std::fabs(zeroLevel), std::fabs(kLargestSample - zeroLevel));
    // +1 covers the half added before truncation.
    return widest * std::fabs(ratio) + 1.0 <= kLargestTextValue;
}

std::string RatioNoteText(const RatioNote& note) {
    char value[64];
    std::snprintf(value, sizeof value, "%g", note.value);
    std::string text = std::string("ratio.txt: the ratio of channel ") + note.channel + " (" + value + ")";
    switch (note.kind) {
    case RatioNote::kNotFinite: return text + " is not a finite number; 1.0 is used instead";
    case RatioNote::kTooLarge:
        return text + " is so large that the scaled samples would not fit the waveform text; 1.0 is used instead";
    case RatioNote::kZero: return text + " is 0: every value of that channel is sent as 0";
    case RatioNote::kNegative: return text + " is negative: the values of that channel change sign";
    }
    return text;
}

RatioFileOutcome LoadRatioFile(const std::string& path, double zeroLevelA, double zeroLevelB, double* ratioA,
                               double* ratioB) {
    RatioFileOutcome outcome;
    const SmallFile file = ReadSmallFile(path);
    outcome.error = SmallFileProblem(path, file.status);
    if (file.status != SmallFileStatus::kRead) return outcome;
    outcome.read = true;
    // Scanned as the C library's "%lf\n%lf": the blank-run in the format
    // matches any white space between the numbers; a text NUL ends the scan.
    double a = 0.0;
    double b = 0.0;
    const int converted = std::sscanf(file.contents.c_str(), "%lf\n%lf", &a, &b);
    if (converted >= 1 && Accept('A', a, zeroLevelA, &outcome.notes)) *ratioA = a;
    if (converted >= 2 && Accept('B', b, zeroLevelB, &outcome.notes)) *ratioB = b;
    return outcome;
}

}  // namespace orvanta
