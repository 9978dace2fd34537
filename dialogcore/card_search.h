// The search for a card put in after start, as both windows do it: while the
// window has no card it looks every two seconds, and 重新查找存储卡 (F5, the
// context menu) looks at once; a card found gets a reader of its own, made as
// at start (ratio.txt, then the drive search).
#pragma once

#include "card/card_reader.h"

namespace orvanta {

// How often a window without a card looks for one.
constexpr int kCardPollMilliseconds = 2000;

// Whether the window should look for a card every kCardPollMilliseconds:
// while the reader found none.
bool WantsCardPoll(const CCardReader& reader);

// One look of the two-second search: the drives are searched again through
// `reader` (which has no card); true when a card is there now, and the
// window renews its reader (RenewCardReader).
bool CardPutIn(CCardReader& reader);

// A new reader on the volumes of the present one, in its place (those
// holding a reference to it keep it and see the new one): the calibration
// and the drive search as at start. No scan may read through it meanwhile.
void RenewCardReader(CCardReader& reader);

}  // namespace orvanta
