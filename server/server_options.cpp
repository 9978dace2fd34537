#include "server/server_options.h"

#include <memory>

#include "tools/common/command_line.h"

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

namespace {

// The command line as CLI11 reads it, into `options` and `listen`.
std::unique_ptr<CLI::App> MakeApp(ServerOptions* options, std::string* listen) {
    auto app = std::make_unique<CLI::App>(
        "The reference analysis server: answers POST /analysis (and POST /) with the\n"
        "harmonic analysis page of the posted record.");
    cli::Configure(*app, "orvanta-server");
    app->add_option("--listen", *listen, "address to listen on (default 127.0.0.1:8080); port 0: any free port")
        ->type_name("HOST:PORT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->check([](const std::string& value) {
            std::string host;
            int port = 0;
            return ParseListenAddress(value, host, port)
                       ? std::string()
                       : "wants HOST:PORT with a port from 0 to 65535, got \"" + value + "\"";
        });
    app->add_option("--user", options->user, "expected User-ID header (default 111)")
        ->type_name("ID")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app->add_option("--password", options->password, "expected Password header (default trelmoza)")
        ->type_name("TEXT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app->add_option("--record", options->recordPath, "append every received request to FILE as one JSON line")
        ->type_name("FILE")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->check([](const std::string& value) { return value.empty() ? "needs a file name" : std::string(); });
    app->footer(
        "The server prints \"listening on http://HOST:PORT\" once it listens. A recorded\n"
        "line holds the method, path, headers and body, bytes outside printable ASCII\n"
        "as \\u00XX. SIGINT or SIGTERM stops the server. Exit status: 0 stopped by a\n"
        "signal, 1 the server could not start or failed, 2 bad arguments.");
    return app;
}

}  // namespace

OptionsResult ParseServerOptions(const std::vector<std::string>& args) {
    OptionsResult result;
    ServerOptions& options = result.options;
    std::string listen;
    std::unique_ptr<CLI::App> app = MakeApp(&options, &listen);
    try {
        app->parse(cli::ParseOrder(args));
    } catch (const CLI::CallForHelp&) {
        options.help = true;
    } catch (const CLI::CallForVersion&) {
        options.version = true;
    } catch (const CLI::ParseError& e) {
        result.error = e.what();
        return result;
    }
    if (!listen.empty()) ParseListenAddress(listen, options.host, options.port);
    result.ok = true;
    return result;
}

std::string UsageText() {
    ServerOptions options;
    std::string listen;
    return MakeApp(&options, &listen)->help();
}

std::string VersionText() { return cli::VersionText("orvanta-server"); }

}  // namespace orvanta::server
