// Running orvanta-query once its options are parsed: the drive search, the
// shared query road, the request file, the POST and the answer page.
#pragma once

#include "tools/orvanta_query/query_options.h"

namespace orvanta {

// Returns the exit status: 0 done, 1 the request could not be made or sent or
// the server answered with an HTTP error, 2 bad drive arguments. Messages go to
// standard error; standard output carries only what --request-out "-" and the
// answer page write there.
int RunQueryCommand(const QueryOptions& options);

}  // namespace orvanta
