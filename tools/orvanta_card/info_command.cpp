// orvanta-card info: what the card on the drives holds, as the client would
// see it: the drive found, the presence check, the information sector, the
// ring bounds and the oldest and newest record.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orvanta-card info: %s\n", message.c_str());
    std::fprintf(stderr, "Run \"orvanta-card info --help\" for the options.\n");
    return kExitUsage;
}

void PrintRecord(const char* label, CCardReader& reader, std::uint32_t sector) {
    std::int32_t time = reader.ReadSector(sector);
    if (time == 0) {
        std::printf("%s: none (sector %lu holds no valid record)\n", label, static_cast<unsigned long>(sector));
    } else if (time == -1) {
        std::printf("%s: beyond 2038-01-19 (sector %lu)\n", label, static_cast<unsigned long>(sector));
    } else {
        std::printf("%s: %s (sector %lu)\n", label, FormatLocalStandard(time).c_str(),
                    static_cast<unsigned long>(sector));
    }
}

}  // namespace

void PrintInfoUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: orvanta-card info [--drive L=PATH]...\n"
                 "\n"
                 "Searches drives D: to Z: for a recorder's card as the client does and shows\n"
                 "the drive found, the presence check, the serial number and device byte, the\n"
                 "ring bounds and the oldest and newest record (local time).\n"
                 "\n"
                 "options:\n"
                 "  --drive L=PATH   map drive letter L to a device or image file, for example\n"
                 "                   --drive E=/dev/sdb1 or --drive E=card.img (repeatable).\n"
                 "                   Without any, removable media are detected under /sys/block\n"
                 "                   and lettered D, E, F, ...\n"
                 "\n"
                 "exit status: 0 card found, 1 no card found, 2 bad arguments\n");
}

int RunInfo(const std::vector<std::string>& args) {
    std::vector<std::string> drives;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            PrintInfoUsage(stdout);
            return kExitOk;
        }
        std::string value;
        OptionMatch m = TakeOptionValue(args, &i, "--drive", &value);
        if (m == OptionMatch::kMissingValue) return UsageError("option --drive needs a value L=PATH");
        if (m == OptionMatch::kYes) {
            drives.push_back(value);
            continue;
        }
        if (!word.empty() && word[0] == '-') return UsageError("unknown option \"" + word + "\"");
        return UsageError("unexpected argument \"" + word + "\"");
    }

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(drives, &map, &error)) return UsageError(error);

    if (map.Empty()) {
        std::printf("drives: none (no --drive given and no removable media found)\n");
    } else {
        for (const auto& entry : map.Entries()) {
            std::printf("drive %c: -> %s\n", entry.first, entry.second.c_str());
        }
    }

    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::printf("card: none found on drives D: to Z: (sectors 101000 and 101001 must begin with 0x20)\n");
        return kExitFailed;
    }
    const char letter = static_cast<char>(reader.driveCode);
    std::printf("card: drive %c: (%s) -> %s\n", letter, reader.devicePath, map.PathOf(letter).c_str());

    std::printf("presence check: %s\n", reader.CheckCardPresent() == 1 ? "passed" : "failed");
    reader.ReadDeviceRecord();
    // The serial is an unsigned number on the card; the device record sent to
    // the server shows it as a signed one.
    std::printf("serial: %lu", static_cast<unsigned long>(static_cast<std::uint32_t>(reader.deviceSerial)));
    if (reader.deviceSerial < 0) std::printf(" (device record: %ld)", static_cast<long>(reader.deviceSerial));
    std::printf("\n");
    std::printf("device byte: %ld\n", static_cast<long>(reader.deviceByte));

    reader.FindRingBounds();
    std::printf("ring start: %lu\n", static_cast<unsigned long>(reader.ringStart));
    std::printf("upper sector: %lu\n", static_cast<unsigned long>(reader.upperSector));
    std::printf("ring count: %lu\n", static_cast<unsigned long>(reader.ringCount));
    std::printf("wrapped: %s\n", reader.ringStart != reader.baseSector ? "yes" : "no");
    PrintRecord("oldest record", reader, reader.LogicalToPhysical(0));
    PrintRecord("newest record", reader, reader.LogicalToPhysical(reader.ringCount - 1));
    return kExitOk;
}

}  // namespace cardtool
}  // namespace orvanta
