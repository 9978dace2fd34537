#include "tests/fault/fault_support.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvanta {
namespace faulttest {

namespace {

// Forwards to the real volume and logs each operation.
class RecordingVolume : public RawVolume {
public:
    RecordingVolume(std::unique_ptr<RawVolume> inner, std::vector<DeviceEvent>& events)
        : inner_(std::move(inner)), events_(events) {}

    bool SetPosition(std::uint64_t byteOffset) override {
        DeviceEvent e{DeviceEvent::kPosition};
        e.offset = byteOffset;
        e.ok = inner_->SetPosition(byteOffset);
        events_.push_back(e);
        return e.ok;
    }

    std::int64_t Read(void* buffer, std::size_t count) override {
        DeviceEvent e{DeviceEvent::kRead};
        e.requested = count;
        e.delivered = inner_->Read(buffer, count);
        e.ok = e.delivered >= 0;
        events_.push_back(e);
        return e.delivered;
    }

private:
    std::unique_ptr<RawVolume> inner_;
    std::vector<DeviceEvent>& events_;
};

}  // namespace

std::unique_ptr<RawVolume> RecordingVolumeSystem::Open(const char* devicePath) {
    ++opens_;
    DeviceEvent e{DeviceEvent::kOpen};
    std::unique_ptr<RawVolume> volume;
    if (!(vanishFrom != 0 && opens_ >= vanishFrom && opens_ < vanishUntil)) {
        volume = inner_.Open(devicePath);
    }
    e.ok = volume != nullptr;
    events.push_back(e);
    if (!volume) return nullptr;
    return std::make_unique<RecordingVolume>(std::move(volume), events);
}

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

std::vector<Session> SessionsOf(const std::vector<DeviceEvent>& events) {
    std::vector<Session> sessions;
    for (const DeviceEvent& e : events) {
        switch (e.kind) {
            case DeviceEvent::kOpen:
                sessions.emplace_back();
                sessions.back().opened = e.ok;
                break;
            case DeviceEvent::kPosition:
                if (!sessions.empty()) {
                    sessions.back().positioned = e.ok;
                    sessions.back().offset = e.offset;
                }
                break;
            case DeviceEvent::kRead:
                if (!sessions.empty()) sessions.back().delivered = e.delivered;
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

std::string ExpectedWaveText(const MemoryDisk& disk, std::uint32_t sector, std::int64_t delivered) {
    unsigned char bytes[512] = {};
    auto it = disk.sectors.find(sector);
    if (it != disk.sectors.end() && delivered > 0) {
        std::memcpy(bytes, it->second.data(), static_cast<std::size_t>(delivered > 512 ? 512 : delivered));
    }
    std::string text;
    char piece[32];
    for (int k = 0; k < 126; ++k) {
        const unsigned sA = bytes[8 + 4 * k] + 256u * bytes[9 + 4 * k];
        const unsigned sB = bytes[10 + 4 * k] + 256u * bytes[11 + 4 * k];
        const int a = static_cast<int>((static_cast<double>(sA) - 506.3) + 0.5);
        const int b = static_cast<int>((static_cast<double>(sB) - 509.0) + 0.5);
        std::snprintf(piece, sizeof piece, "%d %d ", a, b);
        text += piece;
    }
    return text;
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
