// orvanta-card info: what the card on the drives holds, as the client would
// see it: the drive found, the presence check, the information sector, the
// ring bounds and the oldest and newest record.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/drive_check.h"
#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

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

int RunInfo(const Command& command, const std::vector<std::string>& drives);

}  // namespace

Command AddInfoCommand(CLI::App& program) {
    auto drives = std::make_shared<std::vector<std::string>>();
    CLI::App* app =
        program.add_subcommand("info", "show the card found on the drives: presence, serial, ring, oldest and newest record");
    cli::AddDriveOption(*app, drives.get());
    app->footer(
        "Searches drives D: to Z: for a recorder's card as the client does and shows\n"
        "the drive found, the presence check, the serial number and device byte, the\n"
        "ring bounds and the oldest and newest record (local time). Without a card, it\n"
        "says for each drive why it holds none.\n"
        "Without --drive, removable media are detected under /sys/block and lettered\n"
        "D, E, F, ... Exit status: 0 card found, 1 no card found, 2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, drives] { return RunInfo(command, *drives); };
    return command;
}

namespace {

int RunInfo(const Command& command, const std::vector<std::string>& drives) {
    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(drives, &map, &error)) return UsageError(command, error);

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
        // Why each drive that names something holds no card.
        for (const std::string& line : DriveReport(*volumes, map, TextLanguage::kEnglish)) {
            std::printf("no card on %s\n", line.c_str());
        }
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

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
