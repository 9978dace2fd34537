// What the ring searches need of a card: the timestamp of a sector (0 when it
// holds no valid record). The card reader answers with a full open, read and
// close per probe; an overview answers from one volume it holds open.
#pragma once

#include <cstdint>

namespace orvanta {

class CRingProbe {
public:
    virtual ~CRingProbe() = default;
    virtual std::int32_t TimeAt(std::uint32_t sector) = 0;
};

}  // namespace orvanta
