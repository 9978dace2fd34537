#include "ui/sample_card.h"

#include <cmath>

#include "card/local_time.h"

namespace orvanta {

namespace {

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

void PutSample(std::array<std::uint8_t, 512>& sector, int offset, int value) {
    sector[offset] = static_cast<std::uint8_t>(value & 0xFF);
    sector[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

void WriteSampleCard(MemoryDisk& disk, const SampleCard& card) {
    const double kPi = 3.14159265358979323846;
    auto& info = disk.Sector(90000);
    info[0] = static_cast<std::uint8_t>(card.serial >> 24);
    info[1] = static_cast<std::uint8_t>(card.serial >> 16);
    info[2] = static_cast<std::uint8_t>(card.serial >> 8);
    info[3] = static_cast<std::uint8_t>(card.serial);
    info[4] = card.deviceByte;

    for (std::int32_t i = 0; i < card.records; ++i) {
        auto& sector = disk.Sector(100000u + static_cast<std::uint32_t>(i));
        const LocalFields f = LocalStandardFields(card.firstTime + i);
        sector[0] = 0x20;
        sector[1] = Bcd(f.year - 2000);
        sector[2] = Bcd(f.month);
        sector[3] = Bcd(f.day);
        sector[4] = Bcd(f.hour);
        sector[5] = Bcd(f.minute);
        sector[6] = Bcd(f.second);
        const double amplitude = 180.0 + 40.0 * std::sin(i / 50.0);
        for (int k = 0; k < 126; ++k) {
            const double phase = 2.0 * kPi * k / 42.0;  // three cycles per record
            const int a = static_cast<int>(506 + amplitude * std::sin(phase) + 0.2 * amplitude * std::sin(5 * phase));
            const int b = static_cast<int>(509 + 0.6 * amplitude * std::sin(phase - 0.5) +
                                           0.1 * amplitude * std::sin(3 * phase));
            PutSample(sector, 8 + 4 * k, a);
            PutSample(sector, 8 + 4 * k + 2, b);
        }
    }
}

}  // namespace orvanta
