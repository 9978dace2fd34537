// The whole card query over an in-memory card built from the fuzzer's bytes:
// an orderly ring of records (wrapped or not, several per second) or none,
// then arbitrary sectors anywhere on the card with arbitrary timestamps and
// samples, arbitrary (also extreme) calibration ratios, any selected time,
// and optionally one device fault. Checks that the texts keep their shapes,
// stay inside their buffers, and come from the sector the query claims.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/local_time.h"
#include "card/timestamp.h"
#include "cardimage/card_image.h"
#include "fuzz/fuzz_support.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"

using namespace orvanta;

namespace {

const char* const kZones[] = {"Asia/Shanghai", "Europe/Berlin"};

enum Flags : std::uint8_t {
    kOrderlyRing = 1,
    kWrapped = 2,
    kFault = 4,
    kOwnRatios = 8,
    kMarkTestSectors = 16,
    kWithInfoSector = 32,
};

void FillSamples(std::uint8_t* sector, const std::string& seed, std::uint32_t salt) {
    for (int i = 8; i < 512; ++i) {
        const std::uint8_t s = seed.empty() ? 0 : static_cast<std::uint8_t>(seed[static_cast<std::size_t>(i) % seed.size()]);
        sector[i] = static_cast<std::uint8_t>(s ^ (i % 2 == 0 ? salt & 0xFF : 0));
    }
}

// Checks the shape of a trend text: "0 0 ", P points, max(0, 999 - P) zeros.
void CheckTrend(const char* text, std::size_t capacity) {
    const long n = fuzz::CountNumbers(text, capacity);
    FUZZ_REQUIRE(n >= 1001 && (n <= 2000 || n == 2002));
    static long long numbers[2002];
    fuzz::ParseNumbers(text, numbers, 2002);
    const long points = n == 2002 ? 1000 : n - 1001;
    FUZZ_REQUIRE(numbers[0] == 0 && numbers[1] == 0);
    for (long i = 2 + 2 * points; i < n; ++i) FUZZ_REQUIRE(numbers[i] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int zoneInUse = -1;
    fuzz::InputReader in(data, size);
    const std::uint8_t flags = in.Byte();
    const int zone = in.Byte() % 2;
    if (zone != zoneInUse) {
        setenv("TZ", kZones[zone], 1);
        tzset();
        zoneInUse = zone;
    }
    double ratioA = 1.0, ratioB = 1.0;
    if (flags & kOwnRatios) {
        ratioA = in.Double();
        ratioB = in.Double();
    }
    const std::uint8_t timeMode = in.Byte();
    const std::uint32_t timeValue = in.U32();

    MemoryVolumeSystem memory;

    FaultVolumeSystem volumes{memory};
    MemoryDisk& disk = memory.Attach('E');

    // An orderly ring: records in time order from the base sector, the
    // newest `currentPass` of them at the base when it has wrapped.
    std::uint32_t ringCount = 0, currentPass = 0, perSecond = 1;
    std::int32_t firstTime = 0;
    if (flags & kOrderlyRing) {
        ringCount = 1 + in.U16() % 1500;
        perSecond = 1 + in.Byte() % 6;
        currentPass = (flags & kWrapped) ? in.U16() % ringCount : 0;
        // 2013-02-01 .. about 2037
        firstTime = 1359676800 + static_cast<std::int32_t>(in.U32() % 757000000u);
        const std::string seed = in.Bytes(in.Byte() % 24);
        cardimage::WriteRing(
            cardimage::RingShape{kBaseSector, ringCount, currentPass},
            [&](std::uint32_t index) { return firstTime + static_cast<std::int32_t>(index / perSecond); },
            [&](std::uint32_t, std::uint32_t physical, std::int32_t, const std::uint8_t* header) {
                std::uint8_t* sector = disk.Sector(physical).data();
                std::memcpy(sector, header, 7);
                FillSamples(sector, seed, physical);
            });
    }
    if (flags & kMarkTestSectors) {
        disk.Sector(kTestSector1)[0] = kRecordMarker;
        disk.Sector(kTestSector2)[0] = kRecordMarker;
    }
    if (flags & kWithInfoSector) {
        const std::string info = in.Bytes(5);
        std::memcpy(disk.Sector(kInfoSector).data(), info.data(), info.size());
    }
    // Fault to inject into the query (not into the drive search).
    const std::uint8_t faultKind = (flags & kFault) ? in.Byte() % 5 : 0;
    const std::uint16_t faultAt = in.U16();
    const std::uint32_t shortBytes = in.U32() % 512001u;

    // Arbitrary sectors: near the base or anywhere on the card.
    while (in.Remaining() >= 8) {
        const std::uint8_t where = in.Byte();
        std::uint32_t sector;
        if (where & 0x80) {
            sector = in.U32() % 60000001u;
        } else {
            sector = kBaseSector + in.U16();
        }
        const std::string header = in.Bytes(7);
        const std::string seed = in.Bytes(where & 0x0F);
        std::uint8_t* bytes = disk.Sector(sector).data();
        std::memcpy(bytes, header.data(), header.size());
        FillSamples(bytes, seed, sector);
    }

    CCardReader reader(volumes);
    reader.ratioA = ratioA;
    reader.ratioB = ratioB;

    std::int32_t selected = static_cast<std::int32_t>(timeValue);
    if (timeMode % 4 != 0 && ringCount > 0) {
        selected = firstTime + static_cast<std::int32_t>((timeValue % ringCount) / perSecond) +
                   static_cast<std::int32_t>(timeMode % 4) - 2;
    }

    volumes.ResetCounters();
    switch (faultKind) {
        case 1: volumes.faults.failOpenAt = faultAt % 500 + 1; break;
        case 2: volumes.faults.failPositionAt = faultAt % 500 + 1; break;
        case 3: volumes.faults.failReadAt = faultAt % 500 + 1; break;
        case 4:
            volumes.faults.shortReadAt = faultAt % 500 + 1;
            volumes.faults.shortReadBytes = shortBytes;
            break;
        default: break;
    }
    reader.QueryCard(selected);
    const VolumeCounters counts = volumes.counters;

    // Operation bounds of one query: presence, device record, then at most
    // four searches (bounds, time search, backward scan, the record, the
    // neighbour checks and the record again), then the trend.
    FUZZ_REQUIRE(counts.opens <= 2 + 1 + 4 * (241 + 92 + 60 + 1 + 30 + 1) + 1);
    FUZZ_REQUIRE(counts.closes == counts.opens - counts.failedOpens);

    // Ring fields consistent with each other, the record inside the ring.
    FUZZ_REQUIRE(reader.baseSector == kBaseSector);
    FUZZ_REQUIRE(reader.upperSector >= reader.baseSector && reader.upperSector <= 60000000u);
    FUZZ_REQUIRE(reader.ringCount == reader.upperSector - reader.baseSector + 1);
    FUZZ_REQUIRE(reader.ringStart >= reader.baseSector && reader.ringStart <= reader.upperSector);
    FUZZ_REQUIRE(reader.currentSector >= reader.baseSector && reader.currentSector <= reader.upperSector);

    // The buffer holds a prefix of the claimed sector's bytes, zeros behind.
    const auto stored = disk.sectors.find(reader.currentSector);
    std::size_t same = 0;
    while (same < 512 && stored != disk.sectors.end() && reader.sectorBuffer[same] == stored->second[same]) ++same;
    for (std::size_t i = same; i < 512; ++i) FUZZ_REQUIRE(reader.sectorBuffer[i] == 0);
    // Without a fault and with the card found at start-up, all of it.
    const bool cardFound = reader.StartupDriveCode() == 'E';
    if (faultKind == 0 && cardFound) FUZZ_REQUIRE(same == 512 || stored == disk.sectors.end());
    if (!cardFound) {
        // The path names nothing: every read gives zeros.
        FUZZ_REQUIRE(reader.driveCode == 1 && reader.actualTime == 0);
        for (unsigned char b : reader.sectorBuffer) FUZZ_REQUIRE(b == 0);
    }
    FUZZ_REQUIRE(reader.actualTime == DecodeSectorTimestamp(reader.sectorBuffer));

    // Texts: terminated inside their buffers, exact shapes.
    const long wave = fuzz::CountNumbers(reader.waveText, sizeof reader.waveText);
    FUZZ_REQUIRE(wave >= 0 && wave % 2 == 0 && wave <= 252);
    if (std::isfinite(ratioA) && std::isfinite(ratioB) && std::fabs(ratioA) <= 1000 && std::fabs(ratioB) <= 1000) {
        FUZZ_REQUIRE(wave == 252);
    }
    CheckTrend(reader.trendText, sizeof reader.trendText);
    FUZZ_REQUIRE(fuzz::CountNumbers(reader.infoText, sizeof reader.infoText) == 5);

    // No hidden state: on a healthy device the same query gives the same texts.
    if (faultKind == 0) {
        static char wave1[sizeof reader.waveText], trend1[sizeof reader.trendText];
        std::memcpy(wave1, reader.waveText, sizeof wave1);
        std::memcpy(trend1, reader.trendText, sizeof trend1);
        const std::uint32_t sector1 = reader.currentSector;
        reader.QueryCard(selected);
        FUZZ_REQUIRE(reader.currentSector == sector1);
        FUZZ_REQUIRE(std::strcmp(wave1, reader.waveText) == 0);
        FUZZ_REQUIRE(std::strcmp(trend1, reader.trendText) == 0);
    }
    return 0;
}
