// orvanta-card save: the card as a sparse image file that any command and
// either window can use as the card (--drive E=IMAGE), with its SHA-256 in
// IMAGE.sha256 (cardimage/card_save.h).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "cardimage/card_save.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

struct SaveArguments {
    std::vector<std::string> drives;
    bool force = false;
    std::string image;
};

int RunSave(const Command& command, const SaveArguments& args);

}  // namespace

Command AddSaveCommand(CLI::App& program) {
    auto args = std::make_shared<SaveArguments>();
    CLI::App* app = program.add_subcommand("save", "copy the card into a sparse image file (with IMAGE.sha256)");
    cli::AddDriveOption(*app, &args->drives);
    app->add_flag("--force", args->force, "replace IMAGE when it exists");
    app->add_option("IMAGE", args->image, "the image file to write")->required();
    app->footer(
        "Copies what the client reads from the card found on the drives into IMAGE:\n"
        "the information sector (the device record), the presence test sectors 101000\n"
        "and 101001, and every sector of the ring from its base (100000) to its last\n"
        "sector, in sequential reads of 1 MiB. Sectors that read as zeros (never\n"
        "written) stay holes, so the image takes the space the recording takes.\n"
        "Use it as the card with --drive E=IMAGE (or orvanta-client --image IMAGE).\n"
        "IMAGE is written as IMAGE.part beside it, read back and checked, and only\n"
        "then renamed; IMAGE.sha256 holds its SHA-256 (check: sha256sum -c IMAGE.sha256\n"
        "in IMAGE's folder). Progress goes to standard error.\n"
        "Exit status: 0 saved, 1 no card found, IMAGE exists without --force, or the\n"
        "card or the write failed (a card pulled during the copy leaves no IMAGE),\n"
        "2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunSave(command, *args); };
    return command;
}

namespace {

int RunSave(const Command& command, const SaveArguments& args) {
    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::fprintf(stderr, "orvanta-card save: no card found on drives D: to Z:\n");
        return kExitFailed;
    }
    cardimage::CardSaveOptions options;
    options.force = args.force;
    cardimage::CardSaveResult result;
    {
        ProgressLine progress("save", "sectors copied");
        options.progress = [&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); };
        result = cardimage::SaveCardImage(CardScanSource(reader), args.image, options);
    }
    if (result.status != cardimage::CardSaveStatus::kSaved) {
        std::fprintf(stderr, "orvanta-card save: %s\n", result.message.c_str());
        return kExitFailed;
    }
    std::printf("saved drive %c: to %s: %llu sectors read, %llu written, the rest holes\n",
                static_cast<char>(reader.driveCode), args.image.c_str(),
                static_cast<unsigned long long>(result.sectorsCopied),
                static_cast<unsigned long long>(result.sectorsWritten));
    std::printf("SHA-256 %s (%s)\n", result.sha256.c_str(), cardimage::DigestPathOf(args.image).c_str());
    return kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
