// What both overview strips draw alike, as plain numbers: the min/max
// envelope of each channel's real RMS per pixel column, the value axes'
// round tops, the time axis' ticks and their labels, and where the hover
// label goes beside the cursor. The windows only paint what this returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "dialogcore/overview_view.h"

namespace orvanta {

// One pixel column of the envelope: the smallest and largest real RMS of
// the samples drawn in it. `startsRun` is set on the first column after a
// pause (and on the first column).
struct EnvelopeColumn {
    int x = 0;
    double minA = 0, maxA = 0;  // channel A, amperes
    double minB = 0, maxB = 0;  // channel B, volts
    bool startsRun = true;
};

// The envelope of the samples inside the view [from, to] on the plot's
// columns; a step between neighbouring samples longer than `gapSeconds`
// starts a new run.
std::vector<EnvelopeColumn> BuildEnvelope(const std::vector<OverviewSample>& samples, const OverviewPlot& plot,
                                          std::int32_t from, std::int32_t to, std::int32_t gapSeconds);

// The largest value of a channel rounded up to 1, 2 or 5 times a power of
// ten, so that the axis shows a round number (1 for no positive value).
double OverviewRmsAxisTop(double largest);

// The values an axis spans for data from `smallest` to `largest`: a tenth
// of the data's span added on each side (of 2 % of the value for flat
// data), then widened to whole steps of 1, 2 or 5 times a power of ten, a
// step being about a quarter of the range; data that is never negative
// keeps the bottom at 0 or above. So 215 to 225 V spans 210 to 230 V, not
// 0 to 500 V. No data (nothing above 0): 0 to 1.
struct OverviewAxisRange {
    double bottom = 0;
    double top = 1;
};
OverviewAxisRange OverviewAxisRangeOf(double smallest, double largest);
// The range of one channel's envelope: OverviewAxisRangeOf its smallest and
// largest value (0 to 1 without columns).
OverviewAxisRange EnvelopeAxisRange(const std::vector<EnvelopeColumn>& columns, bool channelA);

// Ticks of a time axis over [from, to]: the step is the smallest of 1 s,
// 2 s, 5 s, ... 1 day, 2, 7, 14, 30 days that keeps neighbouring ticks at
// least `minSpacing` pixels apart on `width` pixels; ticks fall on whole
// steps of local standard time (midnight for days).
struct TimeTicks {
    std::int32_t step = 0;            // seconds; 0: no ticks
    std::vector<std::int32_t> times;  // ascending, inside [from, to]
};
TimeTicks ChooseTimeTicks(std::int32_t from, std::int32_t to, int width, int minSpacing);
// A tick's label: "HH:MM:SS" below a minute's step, "HH:MM" below a day's,
// "MM-DD" from a day on and at every midnight, so that the date is read
// where it changes.
std::string TickLabel(std::int32_t time, std::int32_t step);

// The time axis under a plot: the view's first and last time in full at
// the plot's ends, ticks between them, and a label centred on each tick
// that clears both end labels and the label before it. The ticks are as
// far apart as an "00:00:00" label and a gap; where that leaves fewer than
// two labels between the ends, they come closer, down to an "00:00" label
// and a small gap. `widthOf` measures a text in the window's font.
struct TimeAxisLabel {
    int x = 0;  // the label's centre
    std::string text;
};
struct TimeAxisLayout {
    std::string first;  // at the plot's left end
    std::string last;   // at its right end
    std::vector<int> ticks;
    std::vector<TimeAxisLabel> labels;
};
TimeAxisLayout LayoutTimeAxis(const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                              const std::function<int(const std::string&)>& widthOf);

// Where the record shown lies for a view [from, to]: inside it (at column
// x), before or after it (the strip points to it from that edge), or
// nowhere (no record shown, or no view).
struct OverviewMarkerPlace {
    enum Kind { kNone, kInView, kBefore, kAfter } kind = kNone;
    int x = 0;
};
OverviewMarkerPlace PlaceOverviewMarker(const OverviewPlot& plot, std::int32_t from, std::int32_t to,
                                        std::int32_t marker);

// Colours both strips use: the event marks' and the record shown's, which
// no event mark uses.
struct OverviewRgb {
    unsigned char r, g, b;
};
inline constexpr OverviewRgb kOverviewDipRgb{0xd0, 0x20, 0x20};
inline constexpr OverviewRgb kOverviewSwellRgb{0xe0, 0x80, 0x00};
inline constexpr OverviewRgb kOverviewMarkerRgb{0x10, 0x90, 0x40};

// A box of pixels: columns left .. left + width - 1, rows top .. top + height - 1.
struct OverviewBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The hover label's box for a text of `width` x `height` at the mouse: right
// of and below the cursor, or left of / above it near the plot's right or
// bottom end, always inside the plot, so it never covers the axes' labels.
OverviewBox OverviewHoverBox(const OverviewBox& plot, int mouseX, int mouseY, int width, int height);

}  // namespace orvanta
