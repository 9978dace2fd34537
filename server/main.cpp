// orvanta-server: the reference analysis server for the demo and the
// end-to-end tests. See server_options.cpp for the command line.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "server/analysis_server.h"
#include "server/request_log.h"
#include "server/server_options.h"
#include "tools/common/command_line.h"

int main(int argc, char** argv) {
    using namespace orvanta::server;

    std::vector<std::string> args(argv + 1, argv + argc);
    const OptionsResult parsed = ParseServerOptions(args);
    if (!parsed.ok) return orvanta::cli::UsageError("orvanta-server", parsed.error);
    const ServerOptions& options = parsed.options;
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", VersionText().c_str());
        return 0;
    }

    // SIGINT and SIGTERM are taken by one waiting thread, which stops the
    // server in an orderly way; they are blocked before any thread starts so
    // that no other thread receives them. A vanished client must not kill
    // the server with SIGPIPE.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    RequestLog log;
    if (!options.recordPath.empty() && !log.Open(options.recordPath)) {
        std::fprintf(stderr, "orvanta-server: cannot open the record file %s: %s\n", options.recordPath.c_str(),
                     std::strerror(errno));
        return 1;
    }

    AnalysisServer server(Credentials{options.user, options.password},
                          options.recordPath.empty() ? nullptr : &log);
    if (server.Bind(options.host, options.port) < 0) {
        std::fprintf(stderr, "orvanta-server: cannot listen on %s:%d: %s\n", options.host.c_str(), options.port,
                     std::strerror(errno));
        return 1;
    }
    std::printf("listening on %s\n", server.BaseUrl().c_str());
    std::fflush(stdout);

    std::atomic<bool> serving{true};
    std::thread signalWaiter([&] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        if (serving.exchange(false)) {
            std::fprintf(stderr, "orvanta-server: stopping (signal %d)\n", signalNumber);
            server.Stop();
        }
    });

    const bool ran = server.Run();
    const bool endedBySignal = !serving.exchange(false);
    if (!endedBySignal) {
        // Run ended without a signal: wake the waiting thread.
        pthread_kill(signalWaiter.native_handle(), SIGTERM);
    }
    signalWaiter.join();
    if (!ran && !endedBySignal) {
        std::fprintf(stderr, "orvanta-server: the server stopped unexpectedly\n");
        return 1;
    }
    return 0;
}
