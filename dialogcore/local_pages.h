// The pages a window shows in its browser when a query cannot be sent, in
// the window's language: complete HTML documents in UTF-8. Paths and values
// are UTF-8 and are escaped here.
#pragma once

#include <string>

#include "dialogcore/ui_language.h"
#include "request/config_search.h"

namespace orvanta {

// The configured server address cannot be navigated to: names the file read,
// or every place looked in when no file exists.
std::string NoServerPage(UiLanguage language, const ConfigLookup& config, const std::string& serverBaseUrl);

// A configured value (`key`) cannot go into a request (a line break or
// another control character).
std::string UnsafeSettingPage(UiLanguage language, const std::string& iniPath, const std::string& key);

// The server at `serverBaseUrl` could not be reached (no answer, a refused
// connection, a name that does not resolve, a port the browser engine
// blocks): the address, the configuration file it came from, the engine's
// words for the failure (`engineError`, may be empty) and what to check.
std::string UnreachableServerPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                                  const std::string& engineError);

// The server at `serverBaseUrl` accepted no connection or gave no answer
// within `seconds` (the window's limit): the unreachable page naming the
// time-out.
std::string ServerTimedOutPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                               long seconds);

// The server answered with the HTTP error `status` and an empty body: the
// status, the address, the configuration file and what to check.
std::string EmptyErrorPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                           int status);

// The request could not be built for lack of memory.
std::string NoMemoryPage(UiLanguage language);

// The configuration file is not read (a FIFO, a device, larger than 1 MiB):
// `problem` says why, in English as the query road gives it.
std::string ConfigProblemPage(UiLanguage language, const std::string& problem);

// The card's drive `letter` could not be opened for lack of rights (on
// Windows a raw volume opens only for an administrator).
std::string NoAccessPage(UiLanguage language, char letter);

}  // namespace orvanta
