// Timestamp decoding of arbitrary sectors: DecodeSectorTimestamp on any 512
// bytes under several time zones, and ReadSector of the same bytes from an
// in-memory card at any sector number, whole or cut short by the device.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/timestamp.h"
#include "fuzz/fuzz_support.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"

using namespace orvanta;

namespace {

const char* const kZones[] = {"Asia/Shanghai", "Europe/Berlin", "UTC", "America/New_York"};

struct Card {
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    MemoryDisk* disk = nullptr;
    std::unique_ptr<CCardReader> reader;
    Card() {
        disk = &memory.Attach('E');
        disk->Sector(kTestSector1)[0] = kRecordMarker;
        disk->Sector(kTestSector2)[0] = kRecordMarker;
        reader = std::make_unique<CCardReader>(volumes);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Card card;
    static int zoneInUse = -1;
    fuzz::InputReader in(data, size);
    const std::uint32_t sectorNumber = in.U32();
    const int zone = in.Byte() % 4;
    const std::uint8_t cut = in.Byte();  // 0: whole read; otherwise a short read
    const std::uint16_t cutBytes = in.U16();
    std::uint8_t bytes[512] = {};
    const std::string content = in.Bytes(512);
    std::memcpy(bytes, content.data(), content.size());

    if (zone != zoneInUse) {
        setenv("TZ", kZones[zone], 1);
        tzset();
        zoneInUse = zone;
    }

    const std::int32_t t = DecodeSectorTimestamp(bytes);
    const SectorDate date = DecodeSectorDate(bytes);
    if (!IsValidSectorDate(date)) {
        FUZZ_REQUIRE(t == 0);
    } else {
        // 2013-01-01 minus a day of zone offset, or the -1 of a moment past
        // the 32-bit range.
        FUZZ_REQUIRE(t == -1 || t >= 1356912000 - 86400);
    }
    // Only bytes 1 to 6 count.
    std::uint8_t other[512];
    std::memcpy(other, bytes, sizeof other);
    other[0] ^= 0xFF;
    other[7] ^= 0xFF;
    other[300] ^= 0x55;
    FUZZ_REQUIRE(DecodeSectorTimestamp(other) == t);

    // The same bytes through ReadSector, the device delivering all of them or
    // only a prefix; what it does not deliver reads as zeros.
    card.disk->sectors.clear();
    std::memcpy(card.disk->Sector(sectorNumber).data(), bytes, sizeof bytes);
    card.volumes.faults = FaultPlan();
    std::size_t delivered = 512;
    if (cut != 0) {
        delivered = cutBytes % 513;
        card.volumes.faults.shortReadBytes = static_cast<long long>(delivered);
    }
    std::memset(card.reader->sectorBuffer, 0xA5, sizeof card.reader->sectorBuffer);
    const std::int32_t read = card.reader->ReadSector(sectorNumber);
    // Sectors at or past the device's end deliver nothing.
    std::uint8_t expected[512] = {};
    if (sectorNumber < card.disk->sizeInSectors) std::memcpy(expected, bytes, delivered);
    FUZZ_REQUIRE(std::memcmp(card.reader->sectorBuffer, expected, sizeof expected) == 0);
    FUZZ_REQUIRE(read == DecodeSectorTimestamp(expected));
    return 0;
}
