#include "tests/card/card_fixture_support.h"

#include "tests/common/test_env.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "card/card_layout.h"
#include "cardimage/card_image.h"

namespace orvanta {
namespace cardtest {

std::uint8_t ToBcd(int value) { return cardimage::ToBcd(value); }

SectorBytes& WriteRecordBytes(MemoryDisk& disk, std::uint32_t sector, const std::array<std::uint8_t, 6>& bcd) {
    SectorBytes& bytes = disk.Sector(sector);
    bytes[0] = kRecordMarker;
    for (int i = 0; i < 6; ++i) bytes[1 + i] = bcd[i];
    return bytes;
}

SectorBytes& WriteRecordFields(MemoryDisk& disk, std::uint32_t sector, const LocalFields& when) {
    SectorBytes& bytes = disk.Sector(sector);
    cardimage::EncodeFields(when, bytes.data());
    return bytes;
}

SectorBytes& WriteRecord(MemoryDisk& disk, std::uint32_t sector, std::int32_t time) {
    return WriteRecordFields(disk, sector, LocalStandardFields(time));
}

void SetSamplePair(SectorBytes& sector, int pair, std::uint16_t a, std::uint16_t b) {
    cardimage::PutSamplePair(sector.data(), pair, a, b);
}

void MarkCardTestSectors(MemoryDisk& disk, std::uint32_t baseSector) {
    disk.Sector(baseSector + 1000)[0] = kRecordMarker;
    disk.Sector(baseSector + 1001)[0] = kRecordMarker;
}

void WriteInfoSector(MemoryDisk& disk, std::uint32_t serial, std::uint8_t deviceByte, std::uint32_t infoSector) {
    cardimage::BuildInfoSector(serial, deviceByte, disk.Sector(infoSector).data());
}

std::uint32_t RingLayout::PhysicalOf(std::uint32_t index) const {
    return cardimage::RingShape{baseSector, ringCount, ringStart - baseSector}.PhysicalOf(index);
}

std::int32_t RingLayout::TimeOf(std::uint32_t index) const {
    return firstTime + static_cast<std::int32_t>(index / perSecond);
}

RingLayout WriteRing(MemoryDisk& disk, std::int32_t firstTime, std::uint32_t ringCount, std::uint32_t perSecond,
                     std::uint32_t currentPass, std::uint32_t baseSector, const RecordFiller& fill) {
    if (ringCount == 0 || perSecond == 0 || currentPass >= ringCount) {
        throw std::invalid_argument("WriteRing: bad ring shape");
    }
    RingLayout ring;
    ring.baseSector = baseSector;
    ring.ringCount = ringCount;
    ring.upperSector = baseSector + ringCount - 1;
    ring.ringStart = baseSector + currentPass;
    ring.firstTime = firstTime;
    ring.perSecond = perSecond;
    ring.newestSector = ring.PhysicalOf(ringCount - 1);
    cardimage::WriteRing(
        cardimage::RingShape{baseSector, ringCount, currentPass}, [&ring](std::uint32_t i) { return ring.TimeOf(i); },
        [&](std::uint32_t i, std::uint32_t sector, std::int32_t, const std::uint8_t* header) {
            SectorBytes& bytes = disk.Sector(sector);
            std::memcpy(bytes.data(), header, 7);
            if (fill) fill(i, bytes);
        });
    return ring;
}

ScopedTempWorkDir::ScopedTempWorkDir() : previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir_.Path());
}

ScopedTempWorkDir::~ScopedTempWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

void ScopedTempWorkDir::WriteFile(const std::string& name, const std::string& content) const {
    dir_.WriteFile(name, content);
}

}  // namespace cardtest
}  // namespace orvanta
