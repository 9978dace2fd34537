#include "server/server_options.h"

namespace orvanta::server {

bool ParseListenAddress(std::string_view text, std::string& host, int& port) {
    std::string_view hostPart;
    std::string_view portPart;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return false;
        }
        hostPart = text.substr(1, close - 1);
        portPart = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos) {
            return false;
        }
        hostPart = text.substr(0, colon);
        portPart = text.substr(colon + 1);
        if (hostPart.find(':') != std::string_view::npos) {
            return false;  // a bare IPv6 address needs brackets
        }
    }
    if (hostPart.empty() || portPart.empty() || portPart.size() > 5) {
        return false;
    }
    int value = 0;
    for (char c : portPart) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 65535) {
        return false;
    }
    host = std::string(hostPart);
    port = value;
    return true;
}

OptionsResult ParseServerOptions(const std::vector<std::string>& args) {
    OptionsResult result;
    ServerOptions& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasInlineValue = false;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                hasInlineValue = true;
            }
        }
        if (name == "--help" || name == "-h") {
            if (hasInlineValue) {
                result.error = "--help takes no value";
                return result;
            }
            options.help = true;
            continue;
        }
        if (name != "--listen" && name != "--user" && name != "--password" && name != "--record") {
            result.error = "unknown argument: " + args[i];
            return result;
        }
        if (!hasInlineValue) {
            if (i + 1 >= args.size()) {
                result.error = name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        if (name == "--listen") {
            if (!ParseListenAddress(value, options.host, options.port)) {
                result.error = "--listen wants HOST:PORT with a port from 0 to 65535, got \"" + value + "\"";
                return result;
            }
        } else if (name == "--user") {
            options.user = value;
        } else if (name == "--password") {
            options.password = value;
        } else {
            if (value.empty()) {
                result.error = "--record needs a file name";
                return result;
            }
            options.recordPath = value;
        }
    }
    result.ok = true;
    return result;
}

std::string UsageText() {
    return "usage: orvanta-server [--listen HOST:PORT] [--user ID] [--password PASSWORD] [--record FILE]\n"
           "\n"
           "The reference analysis server: answers POST /analysis (and POST /) with the\n"
           "harmonic analysis page of the posted record.\n"
           "\n"
           "  --listen HOST:PORT  address to listen on (default 127.0.0.1:8080); port 0 picks a\n"
           "                      free port. The server prints \"listening on http://HOST:PORT\".\n"
           "  --user ID           expected User-ID header (default 111)\n"
           "  --password TEXT     expected Password header (default trelmoza)\n"
           "  --record FILE       append every received request to FILE as one JSON line\n"
           "                      (method, path, headers, body; bytes outside printable ASCII\n"
           "                      as \\u00XX)\n"
           "  --help              show this text\n"
           "\n"
           "SIGINT or SIGTERM stops the server.\n";
}

}  // namespace orvanta::server
