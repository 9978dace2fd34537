// Support for the fault-injection suite: a realistic wrapped card in the
// in-memory raw volumes, whose every record carries samples derived from its
// own sector number (so a text can be traced back to the sector it came
// from); the device sessions of a query as the fault-injecting wrapper logged
// them; and checks of the texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace faulttest {

// The card every test of the suite reads: a wrapped ring with several records
// per second, the test sectors marked and an information sector.
struct CardShape {
    std::uint32_t ringCount = 3000;
    std::uint32_t currentPass = 1100;  // newest records from the base sector on
    std::uint32_t perSecond = 3;
    int month = 3;  // records from the 15th of this month of 2024 on
    std::uint32_t serial = 20240315;
    std::uint8_t deviceByte = 7;
};

// Writes the card onto `disk` (drive E:) and returns where its records lie.
cardtest::RingLayout WriteSignedCard(MemoryDisk& disk, const CardShape& shape);

// The sample pair `pair` of the record at physical sector `sector`: pair 0
// holds the sector number itself (channel A the low, channel B the high 16
// bits); pairs 1 to 96 stay inside the trend's amplitude limit with a channel
// B level that depends on the sector; the rest are a sector-dependent ramp.
void SignatureOf(std::uint32_t sector, int pair, std::uint16_t* a, std::uint16_t* b);

// What the device delivered to one open-to-close session.
struct Session {
    bool opened = false;
    bool positioned = false;
    std::uint64_t offset = 0;
    std::int64_t delivered = -1;  // -1: no read, or the read failed
};
// The sessions of a log, in order.
std::vector<Session> SessionsOf(const std::vector<VolumeEvent>& events);

// The numbers of a text made of "%d " pieces. Fails (returns false) when the
// text is not terminated within `capacity`, or is not exactly a run of
// decimal integers each followed by one blank.
bool ParseNumbers(const char* text, std::size_t capacity, std::vector<long long>* numbers);

// The waveform text a sound reader (ratios 1.0) builds from the record at
// `sector` of `disk`.
std::string WaveTextOf(const MemoryDisk& disk, std::uint32_t sector);

// The texts and results a query leaves, for comparing two readers.
struct QueryResult {
    std::int32_t driveCode = 0;
    std::uint32_t currentSector = 0;
    std::int32_t actualTime = 0;
    std::string waveText, trendText, infoText;
};
QueryResult ResultOf(const CCardReader& reader);
bool operator==(const QueryResult& a, const QueryResult& b);

}  // namespace faulttest
}  // namespace orvanta
