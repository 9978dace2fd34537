// The status line's first line: what became of the card found at start. Both
// windows take the decision from here and word it in their own texts: the
// card's drive; that it stopped answering, or why when the volume layer
// knows (pulled, no permission); or that none was found at start, with the
// cause a drive gave when one did.
#pragma once

#include <string>

#include "card/card_reader.h"
#include "platform/volume_error.h"

namespace orvanta {

enum class CardLineKind {
    kOnDrive,        // "存储卡 E:"
    kNotResponding,  // "存储卡 E: 未响应"
    kNoCardAtStart,  // "启动时未找到存储卡"
    kCause,          // `cause`, as it stands
};

struct CardLine {
    CardLineKind kind = CardLineKind::kNoCardAtStart;
    char letter = 0;    // the drive found at start, if any
    std::string cause;  // for kCause: a drive check's text in the language asked for
};

// `devicePath` names the drive found at start (its device or image file; the
// device path where the system names drives itself; empty: unknown).
// `startupCause` is why no card was found at start, when a drive told.
// Reads the drive's test sectors when the last query found the card gone.
CardLine CardLineOf(CCardReader& reader, const std::string& devicePath, const std::string& startupCause,
                    TextLanguage language);

}  // namespace orvanta
