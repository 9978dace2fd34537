// The command line of orvanta-server.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080;               // 0: any free port
    std::string user = "111";      // expected User-ID header
    std::string password = "trelmoza";  // expected Password header
    std::string recordPath;        // --record FILE; empty: no recording
    bool help = false;             // --help or -h: print the usage and stop
    bool version = false;          // --version: print the version and stop
};

struct OptionsResult {
    bool ok = false;
    ServerOptions options;
    std::string error;  // when not ok: what was wrong, one line
};

// "HOST:PORT" or "[IPv6]:PORT"; the port 0 to 65535 in decimal digits.
bool ParseListenAddress(std::string_view text, std::string& host, int& port);

// The arguments after the program name, read by CLI11 with the programs'
// shared conventions (tools/common/command_line.h). Options take their value
// either as the next argument or after '=' ("--listen=127.0.0.1:0").
OptionsResult ParseServerOptions(const std::vector<std::string>& args);

std::string UsageText();

// "orvanta-server VERSION".
std::string VersionText();

}  // namespace orvanta::server
