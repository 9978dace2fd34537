// orvanta-card create: a synthetic recorder card as a sparse image file.
#include <cstdio>
#include <string>
#include <vector>

#include "card/local_time.h"
#include "tools/orvanta_card/arguments.h"
#include "cardimage/card_image.h"
#include "cardimage/query_image.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orvanta-card create: %s\n", message.c_str());
    std::fprintf(stderr, "Run \"orvanta-card create --help\" for the options.\n");
    return kExitUsage;
}

}  // namespace

void PrintCreateUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: orvanta-card create IMAGE [options]\n"
                 "\n"
                 "Writes a recorder card as a sparse image file: the information sector, a ring\n"
                 "of records from sector 100000 on (marker, BCD timestamp in local time, 126\n"
                 "sample pairs of a 50 Hz feeder), and the test sectors 101000 and 101001.\n"
                 "\n"
                 "options:\n"
                 "  --start \"YYYY-MM-DD HH:MM:SS\"  local time of the oldest record (2024-03-15 10:00:00)\n"
                 "  --records N         records in the ring (5000)\n"
                 "  --per-second LIST   records per second, one number or a list taken in turn,\n"
                 "                      for example 1,3,2; a 0 leaves a second empty (1)\n"
                 "  --gap-every N       after every N seconds with records ...\n"
                 "  --gap-seconds N     ... leave N seconds without records (no gaps)\n"
                 "  --wrap N            the ring has wrapped: its newest N records overwrote the\n"
                 "                      start of the ring, so the oldest record lies at sector\n"
                 "                      100000 + N and the ring ends at 100000 + records - 1 (0)\n"
                 "  --sectors N         size of the card in sectors (60000001, about 30 GB, sparse)\n"
                 "  --serial N          recorder serial number, decimal or 0x hex (123456)\n"
                 "  --device-byte N     device byte of the information sector, 0 to 255 (7)\n"
                 "  --no-presence       no marker in the test sectors 101000 and 101001, so the\n"
                 "                      card is not recognised\n"
                 "  --only-for-query \"YYYY-MM-DD HH:MM:SS\"\n"
                 "                      write only the sectors that a query of this local time\n"
                 "                      reads (repeatable; every query runs on drive E:), plus\n"
                 "                      the information and test sectors: a card of millions\n"
                 "                      of records in a small file. Needs one record in every\n"
                 "                      second (--per-second 1, no gaps)\n");
}

int RunCreate(const std::vector<std::string>& args) {
    cardimage::CardContents contents;
    std::string image;
    std::vector<std::int32_t> queryTimes;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            PrintCreateUsage(stdout);
            return kExitOk;
        }
        if (word == "--no-presence") {
            contents.presence = false;
            continue;
        }
        std::string value;
        std::uint64_t number = 0;
        auto option = [&](const char* name) {
            OptionMatch m = TakeOptionValue(args, &i, name, &value);
            if (m == OptionMatch::kMissingValue) throw std::string("option ") + name + " needs a value";
            return m == OptionMatch::kYes;
        };
        auto count = [&](const char* name, std::uint64_t max) {
            if (!ParseUnsigned(value, max, &number)) {
                throw std::string("bad value \"") + value + "\" for " + name + ": expected a number from 0 to " +
                    std::to_string(max);
            }
            return number;
        };
        try {
            if (option("--start")) {
                if (!ParseLocalFields(value, &contents.start)) {
                    throw "bad value \"" + value + "\" for --start: expected \"YYYY-MM-DD HH:MM:SS\"";
                }
            } else if (option("--records")) {
                contents.records = static_cast<std::uint32_t>(count("--records", 0xFFFFFFFFULL - kBaseSector));
            } else if (option("--per-second")) {
                if (!ParseUnsignedList(value, 1000000, &contents.perSecond)) {
                    throw "bad value \"" + value +
                        "\" for --per-second: expected a number or a comma-separated list such as 1,3,2";
                }
            } else if (option("--gap-every")) {
                contents.gapEvery = static_cast<std::uint32_t>(count("--gap-every", 0xFFFFFFFFULL));
            } else if (option("--gap-seconds")) {
                contents.gapSeconds = static_cast<std::uint32_t>(count("--gap-seconds", 0x7FFFFFFFULL));
            } else if (option("--wrap")) {
                contents.wrap = static_cast<std::uint32_t>(count("--wrap", 0xFFFFFFFFULL));
            } else if (option("--sectors")) {
                contents.sectors = count("--sectors", 0x100000000ULL);
            } else if (option("--serial")) {
                contents.serial = static_cast<std::uint32_t>(count("--serial", 0xFFFFFFFFULL));
            } else if (option("--device-byte")) {
                contents.deviceByte = static_cast<std::uint8_t>(count("--device-byte", 255));
            } else if (option("--only-for-query")) {
                LocalFields fields;
                std::int32_t time = -1;
                if (ParseLocalFields(value, &fields)) time = LocalStandardTime(fields);
                if (time == -1) {
                    throw "bad value \"" + value + "\" for --only-for-query: expected \"YYYY-MM-DD HH:MM:SS\"";
                }
                queryTimes.push_back(time);
            } else if (!word.empty() && word[0] == '-') {
                throw "unknown option \"" + word + "\"";
            } else if (image.empty()) {
                image = word;
            } else {
                throw "more than one image name (\"" + image + "\" and \"" + word + "\")";
            }
        } catch (const std::string& message) {
            return UsageError(message);
        }
    }
    if (image.empty()) return UsageError("no image file named");
    if ((contents.gapEvery == 0) != (contents.gapSeconds == 0)) {
        return UsageError("--gap-every and --gap-seconds go together, both above 0");
    }
    std::string error;
    if (!cardimage::Validate(contents, &error)) return UsageError(error);
    if (!queryTimes.empty() && !cardimage::VirtualCard::Supports(contents, &error)) {
        return UsageError("--only-for-query: " + error);
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

}  // namespace cardtool
}  // namespace orvanta
