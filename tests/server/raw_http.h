// Raw HTTP over loopback for the server's tests: connections from a chosen
// loopback address, bytes sent as they are, and the answers read back with
// whether the server closed the connection.
#pragma once

#include <string>
#include <vector>

namespace orvanta::server::testing {

// A connection to 127.0.0.1:port from `source` (any 127.x.y.z), or -1.
// Reads time out after `timeoutMs`.
int ConnectFrom(int port, const std::string& source = "127.0.0.1", int timeoutMs = 5000);

bool SendAll(int fd, const std::string& bytes);

struct RawReplies {
    std::vector<int> statuses;  // of each answer, interim ones (100) included
    bool closed = false;        // the server closed the connection
};

// Reads answers until `count` final (non-1xx) answers are in, then waits up
// to `quietMs` for the server to close; or until it closes or a read times
// out. An answer right after a head is taken for one without a body (HEAD).
RawReplies ReadReplies(int fd, std::size_t count, int quietMs);

}  // namespace orvanta::server::testing
