#include "tests/card/card_fixture_support.h"

#include "tests/common/test_env.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

namespace orvanta {
namespace cardtest {

std::uint8_t ToBcd(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

SectorBytes& WriteRecordBytes(MemoryDisk& disk, std::uint32_t sector, const std::array<std::uint8_t, 6>& bcd) {
    SectorBytes& bytes = disk.Sector(sector);
    bytes[0] = 0x20;
    for (int i = 0; i < 6; ++i) bytes[1 + i] = bcd[i];
    return bytes;
}

SectorBytes& WriteRecordFields(MemoryDisk& disk, std::uint32_t sector, const LocalFields& when) {
    return WriteRecordBytes(disk, sector,
                            {ToBcd(when.year - 2000), ToBcd(when.month), ToBcd(when.day), ToBcd(when.hour),
                             ToBcd(when.minute), ToBcd(when.second)});
}

SectorBytes& WriteRecord(MemoryDisk& disk, std::uint32_t sector, std::int32_t time) {
    return WriteRecordFields(disk, sector, LocalStandardFields(time));
}

void SetSamplePair(SectorBytes& sector, int pair, std::uint16_t a, std::uint16_t b) {
    const int at = 8 + 4 * pair;
    sector[at] = static_cast<std::uint8_t>(a & 0xFF);
    sector[at + 1] = static_cast<std::uint8_t>(a >> 8);
    sector[at + 2] = static_cast<std::uint8_t>(b & 0xFF);
    sector[at + 3] = static_cast<std::uint8_t>(b >> 8);
}

void MarkCardTestSectors(MemoryDisk& disk, std::uint32_t baseSector) {
    disk.Sector(baseSector + 1000)[0] = 0x20;
    disk.Sector(baseSector + 1001)[0] = 0x20;
}

void WriteInfoSector(MemoryDisk& disk, std::uint32_t serial, std::uint8_t deviceByte, std::uint32_t infoSector) {
    SectorBytes& bytes = disk.Sector(infoSector);
    bytes[0] = static_cast<std::uint8_t>(serial >> 24);
    bytes[1] = static_cast<std::uint8_t>(serial >> 16);
    bytes[2] = static_cast<std::uint8_t>(serial >> 8);
    bytes[3] = static_cast<std::uint8_t>(serial);
    bytes[4] = deviceByte;
}

std::uint32_t RingLayout::PhysicalOf(std::uint32_t index) const {
    std::uint32_t p = ringStart + index;
    if (p > upperSector) p -= ringCount;
    return p;
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
    // Records of one second share their bytes 0..6; convert each second once.
    std::int32_t lastTime = 0;
    LocalFields fields;
    for (std::uint32_t i = 0; i < ringCount; ++i) {
        const std::int32_t t = ring.TimeOf(i);
        if (i == 0 || t != lastTime) {
            fields = LocalStandardFields(t);
            lastTime = t;
        }
        SectorBytes& bytes = WriteRecordFields(disk, ring.PhysicalOf(i), fields);
        if (fill) fill(i, bytes);
    }
    return ring;
}

ScopedTempWorkDir::ScopedTempWorkDir() {
    previous_ = std::filesystem::current_path().string();
    path_ = testenv::MakeTemporaryDirectory("orvanta-card-");
    std::filesystem::current_path(path_);
}

ScopedTempWorkDir::~ScopedTempWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void ScopedTempWorkDir::WriteFile(const std::string& name, const std::string& content) const {
    const std::string full = path_ + "/" + name;
    std::FILE* f = std::fopen(full.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot write " + full);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

}  // namespace cardtest
}  // namespace orvanta
