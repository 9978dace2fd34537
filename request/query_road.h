// The query road shared by the window and the command line: read the
// configuration afresh, query the card for the selected time, take over the
// actual time of the record found, and build the header block and the body.
// What is sent for a card and a second is made here and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "request/client_settings.h"
#include "request/request_builders.h"

namespace orvanta {

struct PreparedQuery {
    ClientSettings settings;            // as read, with actualTime and selectedTime set
    std::string headerBlock;            // 8-bit header lines, each ended by CR LF
    std::vector<std::uint8_t> body;     // the form body, no terminating zero
    BuildResult bodyResult = BuildResult::Ok;
    // The key whose value cannot be sent safely (a line break in a
    // credential, a control character in the address), or null. Then the
    // header block and the body stay empty and nothing may be sent.
    const char* unsafeKey = nullptr;
    // Why the configuration file cannot be used (a FIFO, a device, larger
    // than 1 MiB), in English, or empty. Then nothing may be sent either.
    std::string configProblem;

    // True when the card gave a record time (actualTime > 0); the caller's
    // selected time then becomes settings.selectedTime.
    bool AdoptsActualTime() const { return settings.actualTime > 0; }
};

// Runs the road for `selectedTime` on the reader, with the INI file at iniPath.
PreparedQuery PrepareQuery(CCardReader& reader, const std::string& iniPath, std::int32_t selectedTime);

}  // namespace orvanta
