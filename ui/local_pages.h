// The local pages the window's browser shows instead of a server's answer,
// in the window's current language (CurrentUiLanguage). Their texts live in
// dialogcore/, shared with the Win32 window.
#pragma once

#include <string>

#include <QString>

#include "request/config_search.h"

namespace orvanta {

// The configured server address cannot be navigated to.
QString NoServerPage(const ConfigLookup& config, const char* serverBaseUrl);
// A configured value cannot go into a request.
QString UnsafeSettingPage(const std::string& iniPath, const char* key);
// The configured server could not be reached.
QString UnreachableServerPage(const ConfigLookup& config, const QString& serverBaseUrl, const QString& engineError);
// The request could not be built for lack of memory.
QString NoMemoryPage();
// The configuration file is not read; `problem` says why.
QString ConfigProblemPage(const std::string& problem);

}  // namespace orvanta
