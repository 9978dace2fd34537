#include "tools/orvanta_query/query_command.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "card/card_reader.h"
#include "card/drive_check.h"
#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "request/client_settings.h"
#include "request/config_search.h"
#include "request/http_address.h"
#include "request/query_road.h"
#include "request/ratio_search.h"
#include "request/record_csv.h"
#include "request/form_poster.h"
#include "request/shown_text.h"

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace orvanta {
namespace {

const char kProgram[] = "orvanta-query";

// While it lives, what the card code prints on standard output (its one
// diagnostic line) goes to standard error, so that standard output carries
// nothing but the request and the answer page.
class StdoutToStandardError {
public:
    StdoutToStandardError() {
        std::fflush(stdout);
        saved_ = dup(fileno(stdout));
        if (saved_ >= 0) dup2(fileno(stderr), fileno(stdout));
    }
    ~StdoutToStandardError() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, fileno(stdout));
            close(saved_);
        }
    }
    StdoutToStandardError(const StdoutToStandardError&) = delete;
    StdoutToStandardError& operator=(const StdoutToStandardError&) = delete;

private:
    int saved_ = -1;
};

bool WriteAll(const std::string& target, const char* what, const void* data, std::size_t size) {
    if (target.empty() || target == "-") {
        bool ok = std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0;
        if (!ok) std::fprintf(stderr, "%s: could not write the %s to standard output\n", kProgram, what);
        return ok;
    }
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "%s: could not create %s for the %s\n", kProgram, target.c_str(), what);
        return false;
    }
    bool ok = std::fwrite(data, 1, size, file) == size;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: could not write the %s to %s\n", kProgram, what, target.c_str());
    return ok;
}

std::string TimeText(std::int32_t time) {
    if (time <= 0) return std::to_string(time) + " (no record)";
    return FormatLocalStandard(time);
}

// One line that tells what was queried and what will be sent.
void PrintSummary(const CCardReader& reader, const DriveMap& drives, const PreparedQuery& query) {
    std::string drive;
    std::int32_t code = reader.StartupDriveCode();
    if (code >= 'A' && code <= 'Z') {
        char letter = static_cast<char>(code);
        drive = std::string("card on ") + letter + ":";
        const std::string path = drives.PathOf(letter);  // none on Windows: the letter is the system's
        if (!path.empty()) drive += " (" + path + ")";
        if (reader.driveCode != code) drive += ", no longer present";
    } else {
        drive = "no card found on D: to Z:";
    }
    std::fprintf(stderr, "%s: %s; selected %s; actual %s; sector %lu\n", kProgram, drive.c_str(),
                 FormatLocalStandard(query.settings.selectedTime).c_str(), TimeText(query.settings.actualTime).c_str(),
                 static_cast<unsigned long>(reader.currentSector));
}

}  // namespace

int RunQueryCommand(const QueryOptions& options) {
    DriveMap drives;
    std::string error;
    if (!DriveMap::FromArguments(options.driveArguments, &drives, &error)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return 2;
    }
    const std::int32_t selected = options.hasTime ? options.selectedTime : ToTime32(std::time(nullptr));
    const ConfigLookup config = options.configPath.empty() ? FindClientConfig() : ConfigAt(options.configPath);
    const std::string& iniPath = config.iniPath;

    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(drives);
    std::unique_ptr<CCardReader> reader;
    PreparedQuery query;
    {
        StdoutToStandardError redirect;
        reader = std::make_unique<CCardReader>(*volumes);  // ratio.txt, then the drive search
        UseRatioFile(*reader, config);                      // else ratio.txt beside the configuration file
        query = PrepareQuery(*reader, iniPath, selected);
    }
    PrintSummary(*reader, drives, query);
    if (reader->driveCode == kNoCardDriveCode) {
        for (const std::string& line : DriveReport(*volumes, drives, TextLanguage::kEnglish)) {
            std::fprintf(stderr, "%s: no card on %s\n", kProgram, line.c_str());
        }
    }
    if (!reader->RatioFile().error.empty()) {
        std::fprintf(stderr, "%s: ratio.txt is refused; the request is not sent\n", kProgram);
        return 1;
    }

    if (!query.configProblem.empty()) {
        std::fprintf(stderr, "%s: the configuration file cannot be used: %s; the request is not sent\n", kProgram,
                     query.configProblem.c_str());
        return 1;
    }
    if (query.unsafeKey != nullptr) {
        std::fprintf(stderr,
                     "%s: key \"%s\" in section [Common] of %s holds a line break or another control character "
                     "(only the tab is allowed); the request is not sent\n",
                     kProgram, query.unsafeKey, iniPath.c_str());
        return 1;
    }

    if (query.bodyResult != BuildResult::Ok) {
        std::fprintf(stderr, "%s: the request body could not be built (out of memory)\n", kProgram);
        return 1;
    }
    if (!options.requestOut.empty()) {
        std::string request = query.headerBlock + "\r\n";
        request.append(query.body.begin(), query.body.end());
        if (!WriteAll(options.requestOut, "request", request.data(), request.size())) return 1;
    }
    if (!options.csvOut.empty() && query.settings.actualTime <= 0) {
        // Without a record the CSV would hold the no-card placeholder texts
        // as if they were measurements.
        std::fprintf(stderr, "%s: no record was found for the selected time (%s); no CSV is written\n", kProgram,
                     reader->driveCode == kNoCardDriveCode ? "no card" : "the card gave no valid record");
        return 1;
    }
    if (!options.csvOut.empty()) {
        // Three files named after FILE; on standard output the three tables
        // one after the other, each after a blank line but the first.
        const bool toStdout = options.csvOut == "-";
        std::string joined;
        for (const RecordCsvFile& file : BuildRecordCsv(*reader, ReadNominalFrequency(iniPath))) {
            if (toStdout) {
                joined += (joined.empty() ? "" : "\n") + file.text;
            } else if (!WriteAll(RecordCsvPath(options.csvOut, file.suffix), "record CSV", file.text.data(),
                                 file.text.size())) {
                return 1;
            }
        }
        if (toStdout && !WriteAll("-", "record CSV", joined.data(), joined.size())) return 1;
    }
    if (options.noSend) return 0;

    const std::string url = query.settings.serverBaseUrl;
    if (url.empty() && !config.found) {
        std::string places;
        for (const std::string& candidate : config.candidates) places += "\n  " + candidate;
        std::fprintf(stderr, "%s: no server address: no configuration file found; looked for:%s\n", kProgram,
                     places.c_str());
        return 1;
    }
    if (url.empty()) {
        std::fprintf(stderr,
                     "%s: no server address: key \"serverBaseUrl\" in section [Common] of %s is missing or empty\n",
                     kProgram, iniPath.c_str());
        return 1;
    }
    if (!ParseHttpAddress(url, nullptr)) {
        std::fprintf(stderr,
                     "%s: key \"serverBaseUrl\" in section [Common] of %s is \"%s\", not an http or https address "
                     "(for example http://analysis.example/analysis); the request is not sent\n",
                     kProgram, iniPath.c_str(), url.c_str());
        return 1;
    }
    PostAnswer answer = PostForm(url, query.headerBlock, query.body);
    if (!answer.transported) {
        std::fprintf(stderr, "%s: could not post the request to %s: %s\n", kProgram, url.c_str(),
                     ShownText(answer.error).c_str());
        return 1;
    }
    if (answer.status >= 400) {
        std::fprintf(stderr, "%s: the server at %s answered with HTTP status %ld\n", kProgram, url.c_str(),
                     answer.status);
        return 1;
    }
    return WriteAll(options.answerOut, "answer page", answer.page.data(), answer.page.size()) ? 0 : 1;
}

}  // namespace orvanta
