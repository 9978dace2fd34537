// The reference server's request parser on arbitrary bytes, as a connection
// delivers them: a step never claims more bytes than it was given, a body
// never exceeds the limit, the outcome does not depend on how the bytes were
// split into arrivals, and each request found in a stream is found the same
// on its own (so pipelined requests are taken one after the other).
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "server/http_request_parser.h"

using namespace orvanta::server;

namespace {

constexpr std::size_t kMaxBody = 4096;

bool SameRequest(const HttpRequest& a, const HttpRequest& b) {
    return a.method == b.method && a.target == b.target && a.path == b.path && a.minorVersion == b.minorVersion &&
           a.headers == b.headers && a.body == b.body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string stream(reinterpret_cast<const char*>(data), size);
    std::size_t offset = 0;
    for (int requests = 0; requests < 16 && offset < stream.size(); ++requests) {
        const std::string rest = stream.substr(offset);
        const ParseStep step = ParseHttpRequest(rest, kMaxBody);
        if (step.kind != ParseStep::kRequest) {
            FUZZ_REQUIRE(step.kind == ParseStep::kNeedMore || step.status >= 400);
            break;
        }
        FUZZ_REQUIRE(step.consumed > 0 && step.consumed <= rest.size());
        FUZZ_REQUIRE(step.request.body.size() <= kMaxBody);
        FUZZ_REQUIRE(!step.request.path.empty());
        // Exactly its own bytes give the same request.
        const ParseStep alone = ParseHttpRequest(rest.substr(0, step.consumed), kMaxBody);
        FUZZ_REQUIRE(alone.kind == ParseStep::kRequest && alone.consumed == step.consumed);
        FUZZ_REQUIRE(SameRequest(alone.request, step.request));
        // Any shorter arrival of those bytes is either not complete yet or
        // already the same failure the whole would give.
        const std::size_t cut = static_cast<std::size_t>(data[0]) % step.consumed;
        const ParseStep partial = ParseHttpRequest(rest.substr(0, cut), kMaxBody);
        FUZZ_REQUIRE(partial.kind == ParseStep::kNeedMore);
        offset += step.consumed;
    }
    return 0;
}
