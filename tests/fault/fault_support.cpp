#include "tests/fault/fault_support.h"

#include <cstring>
#include <memory>

namespace orvanta {
namespace faulttest {

void SignatureOf(std::uint32_t sector, int pair, std::uint16_t* a, std::uint16_t* b) {
    if (pair == 0) {
        *a = static_cast<std::uint16_t>(sector & 0xFFFF);
        *b = static_cast<std::uint16_t>(sector >> 16);
    } else if (pair <= 96) {
        // A square wave around the zero level 509: channel B's amplitude
        // (1 to 400) names the sector modulo 400, channel A's another residue.
        const int sign = pair % 2 == 0 ? 1 : -1;
        *a = static_cast<std::uint16_t>(509 + sign * static_cast<int>(sector % 397));
        *b = static_cast<std::uint16_t>(509 + sign * static_cast<int>(1 + sector % 400));
    } else {
        *a = static_cast<std::uint16_t>((sector * 31u + static_cast<unsigned>(pair)) & 0xFFFF);
        *b = static_cast<std::uint16_t>((sector * 17u + 3u * static_cast<unsigned>(pair)) & 0xFFFF);
    }
}

cardtest::RingLayout WriteSignedCard(MemoryDisk& disk, const CardShape& shape) {
    const std::int32_t firstTime = cardtest::TimeOfFields(2024, shape.month, 15, 10, 0, 0);
    cardtest::RingLayout ring =
        cardtest::WriteRing(disk, firstTime, shape.ringCount, shape.perSecond, shape.currentPass);
    for (std::uint32_t index = 0; index < ring.ringCount; ++index) {
        const std::uint32_t sector = ring.PhysicalOf(index);
        cardtest::SectorBytes& bytes = disk.Sector(sector);
        for (int pair = 0; pair < 126; ++pair) {
            std::uint16_t a = 0, b = 0;
            SignatureOf(sector, pair, &a, &b);
            cardtest::SetSamplePair(bytes, pair, a, b);
        }
    }
    cardtest::MarkCardTestSectors(disk);
    cardtest::WriteInfoSector(disk, shape.serial, shape.deviceByte);
    return ring;
}

std::vector<Session> SessionsOf(const std::vector<VolumeEvent>& events) {
    std::vector<Session> sessions;
    for (const VolumeEvent& e : events) {
        switch (e.kind) {
            case VolumeEvent::kOpen:
                sessions.emplace_back();
                sessions.back().opened = e.Ok();
                break;
            case VolumeEvent::kPosition:
                if (!sessions.empty()) {
                    sessions.back().positioned = e.Ok();
                    sessions.back().offset = e.offset;
                }
                break;
            case VolumeEvent::kRead:
                if (!sessions.empty()) {
                    sessions.back().delivered = e.Ok() ? static_cast<std::int64_t>(e.delivered) : -1;
                }
                break;
        }
    }
    return sessions;
}

bool ParseNumbers(const char* text, std::size_t capacity, std::vector<long long>* numbers) {
    numbers->clear();
    const void* end = std::memchr(text, '\0', capacity);
    if (end == nullptr) return false;
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - text);
    std::size_t i = 0;
    while (i < length) {
        bool negative = false;
        if (text[i] == '-') {
            negative = true;
            ++i;
        }
        const std::size_t digitsFrom = i;
        long long value = 0;
        while (i < length && text[i] >= '0' && text[i] <= '9') {
            if (i - digitsFrom > 11) return false;
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        if (i == digitsFrom || i >= length || text[i] != ' ') return false;
        // No leading zeros, no "-0".
        if (text[digitsFrom] == '0' && (i - digitsFrom > 1 || negative)) return false;
        ++i;
        numbers->push_back(negative ? -value : value);
    }
    return true;
}

std::string WaveTextOf(const MemoryDisk& disk, std::uint32_t sector) {
    MemoryVolumeSystem none;
    auto scratch = std::make_unique<CCardReader>(none);  // finds no card; ratios from the empty working directory
    scratch->ratioA = 1.0;
    scratch->ratioB = 1.0;
    std::memset(scratch->sectorBuffer, 0, sizeof scratch->sectorBuffer);
    const auto it = disk.sectors.find(sector);
    if (it != disk.sectors.end()) std::memcpy(scratch->sectorBuffer, it->second.data(), it->second.size());
    scratch->BuildWaveText();
    return scratch->waveText;
}

QueryResult ResultOf(const CCardReader& reader) {
    QueryResult r;
    r.driveCode = reader.driveCode;
    r.currentSector = reader.currentSector;
    r.actualTime = reader.actualTime;
    r.waveText = reader.waveText;
    r.trendText = reader.trendText;
    r.infoText = reader.infoText;
    return r;
}

bool operator==(const QueryResult& a, const QueryResult& b) {
    return a.driveCode == b.driveCode && a.currentSector == b.currentSector && a.actualTime == b.actualTime &&
           a.waveText == b.waveText && a.trendText == b.trendText && a.infoText == b.infoText;
}

}  // namespace faulttest
}  // namespace orvanta
