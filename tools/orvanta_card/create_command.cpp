// orvanta-card create: a synthetic recorder card as a sparse image file.
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "card/local_time.h"
#include "tools/orvanta_card/arguments.h"
#include "cardimage/card_image.h"
#include "cardimage/query_image.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

// The options as given; numbers and times are checked once all are read.
struct CreateArguments {
    std::string image;
    std::string start, records, perSecond, gapEvery, gapSeconds, wrap, sectors, serial, deviceByte;
    bool noPresence = false;
    std::vector<std::string> onlyForQuery;
};

int RunCreate(const Command& command, const CreateArguments& args);

}  // namespace

Command AddCreateCommand(CLI::App& program) {
    auto args = std::make_shared<CreateArguments>();
    CLI::App* app = program.add_subcommand("create", "write a synthetic recorder card as a sparse image file");
    app->add_option("IMAGE", args->image, "the image file to write");
    app->add_option("--start", args->start, "local time of the oldest record (2024-03-15 10:00:00)")
        ->type_name("\"YYYY-MM-DD HH:MM:SS\"");
    app->add_option("--records", args->records, "records in the ring (5000)")->type_name("N");
    app->add_option("--per-second", args->perSecond,
                    "records per second, one number or a list taken in turn, e.g. 1,3,2; 0 leaves a second empty (1)")
        ->type_name("LIST");
    app->add_option("--gap-every", args->gapEvery, "after every N seconds with records ...")->type_name("N");
    app->add_option("--gap-seconds", args->gapSeconds, "... leave N seconds without records (no gaps)")
        ->type_name("N");
    app->add_option("--wrap", args->wrap,
                    "the newest N records overwrote the start of the ring: the oldest lies at 100000 + N (0)")
        ->type_name("N");
    app->add_option("--sectors", args->sectors, "size of the card in sectors (60000001, about 30 GB, sparse)")
        ->type_name("N");
    app->add_option("--serial", args->serial, "recorder serial number, decimal or 0x hex (123456)")->type_name("N");
    app->add_option("--device-byte", args->deviceByte, "device byte of the information sector, 0 to 255 (7)")
        ->type_name("N");
    app->add_flag("--no-presence", args->noPresence,
                  "no marker in the test sectors 101000 and 101001: the card is not recognised");
    app->add_option("--only-for-query", args->onlyForQuery,
                    "write only the sectors a query of this local time reads on drive E: (repeatable)")
        ->type_name("\"YYYY-MM-DD HH:MM:SS\"")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app->footer(
        "Writes a recorder card as a sparse image file: the information sector, a ring\n"
        "of records from sector 100000 on (marker, BCD timestamp in local time, 126\n"
        "sample pairs of a 50 Hz feeder, 96 to a period: pairs 1 to 96 are one period\n"
        "and the rest go on with the wave), and the test sectors 101000 and 101001.\n"
        "--only-for-query writes, besides the information and test sectors, only what the\n"
        "queries read: a card of millions of records in a small file. It needs one\n"
        "record in every second (--per-second 1, no gaps).\n"
        "Exit status: 0 written, 1 the image could not be written, 2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunCreate(command, *args); };
    return command;
}

namespace {

int RunCreate(const Command& command, const CreateArguments& args) {
    cardimage::CardContents contents;
    std::vector<std::int32_t> queryTimes;
    const CLI::App& app = *command.app;
    auto count = [&](const char* name, const std::string& value, std::uint64_t max, auto* target) {
        if (app.count(name) == 0) return true;
        std::uint64_t number = 0;
        if (!ParseUnsigned(value, max, &number)) {
            UsageError(command, std::string("bad value \"") + value + "\" for " + name +
                                    ": expected a number from 0 to " + std::to_string(max));
            return false;
        }
        *target = static_cast<std::remove_pointer_t<decltype(target)>>(number);
        return true;
    };
    if (app.count("--start") > 0 && !ParseLocalFields(args.start, &contents.start)) {
        return UsageError(command, "bad value \"" + args.start + "\" for --start: expected \"YYYY-MM-DD HH:MM:SS\"");
    }
    if (app.count("--per-second") > 0 && !ParseUnsignedList(args.perSecond, 1000000, &contents.perSecond)) {
        return UsageError(command, "bad value \"" + args.perSecond +
                                       "\" for --per-second: expected a number or a comma-separated list such as 1,3,2");
    }
    if (!count("--records", args.records, 0xFFFFFFFFULL - kBaseSector, &contents.records) ||
        !count("--gap-every", args.gapEvery, 0xFFFFFFFFULL, &contents.gapEvery) ||
        !count("--gap-seconds", args.gapSeconds, 0x7FFFFFFFULL, &contents.gapSeconds) ||
        !count("--wrap", args.wrap, 0xFFFFFFFFULL, &contents.wrap) ||
        !count("--sectors", args.sectors, 0x100000000ULL, &contents.sectors) ||
        !count("--serial", args.serial, 0xFFFFFFFFULL, &contents.serial) ||
        !count("--device-byte", args.deviceByte, 255, &contents.deviceByte)) {
        return kExitUsage;
    }
    contents.presence = !args.noPresence;
    for (const std::string& value : args.onlyForQuery) {
        LocalFields fields;
        std::int32_t time = -1;
        if (ParseLocalFields(value, &fields)) time = LocalStandardTime(fields);
        if (time == -1) {
            return UsageError(command,
                              "bad value \"" + value + "\" for --only-for-query: expected \"YYYY-MM-DD HH:MM:SS\"");
        }
        queryTimes.push_back(time);
    }
    const std::string& image = args.image;
    if (image.empty()) return UsageError(command, "no image file named");
    if ((contents.gapEvery == 0) != (contents.gapSeconds == 0)) {
        return UsageError(command, "--gap-every and --gap-seconds go together, both above 0");
    }
    std::string error;
    if (!cardimage::Validate(contents, &error)) return UsageError(command, error);
    if (!queryTimes.empty() && !cardimage::VirtualCard::Supports(contents, &error)) {
        return UsageError(command, "--only-for-query: " + error);
    }

    cardimage::CardLayout layout;
    cardimage::QueryImageResult queryImage;
    const bool written = queryTimes.empty()
                             ? cardimage::WriteCardImage(image, contents, &layout, &error)
                             : cardimage::WriteQueryImage(image, contents, queryTimes, &queryImage, &error);
    if (!written) {
        std::fprintf(stderr, "orvanta-card create: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!queryTimes.empty()) layout = queryImage.layout;
    std::printf("image: %s\n", image.c_str());
    std::printf("sectors: %llu\n", static_cast<unsigned long long>(contents.sectors));
    std::printf("serial: %lu\n", static_cast<unsigned long>(contents.serial));
    std::printf("device byte: %u\n", static_cast<unsigned>(contents.deviceByte));
    std::printf("presence markers: %s\n", contents.presence ? "yes" : "no");
    std::printf("ring start: %lu\n", static_cast<unsigned long>(layout.ringStart));
    std::printf("upper sector: %lu\n", static_cast<unsigned long>(layout.upperSector));
    std::printf("ring count: %lu\n", static_cast<unsigned long>(layout.ringCount));
    std::printf("wrapped: %s\n", layout.wrapped ? "yes" : "no");
    std::printf("oldest record: %s (sector %lu)\n", FormatLocalStandard(layout.oldestTime).c_str(),
                static_cast<unsigned long>(layout.ringStart));
    std::printf("newest record: %s (sector %lu)\n", FormatLocalStandard(layout.newestTime).c_str(),
                static_cast<unsigned long>(layout.newestSector));
    if (!queryTimes.empty()) {
        std::printf("sectors written: %llu (only those the queries read)\n",
                    static_cast<unsigned long long>(queryImage.sectorsWritten));
    }
    return kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
