// The client's configuration: the INI file "orvanta-vemlar.ini" beside the
// executable, section "Common", read afresh at every query.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

// The five settings of one query plus its two times. Every text field is
// NUL-terminated and cut to its read limit minus one.
struct ClientSettings {
    char installPath[128];
    char vemlarExePath[64];
    char serverBaseUrl[128];
    char userID[37];
    char password[200];
    std::int32_t actualTime;
    std::int32_t selectedTime;
};

// Shortens a path in place to its directory part: "C:\Tools\client.exe" ->
// "C:\Tools", "C:\client.exe" -> "C:\", "/a/b" -> "/a", "client.exe" -> "".
void StripFileName(char* path);

// The configuration file in the directory of an executable path:
// StripFileName of the path, the platform's separator, "orvanta-vemlar.ini".
std::string ConfigPathInDirectoryOf(const std::string& executablePath);

// The configuration file beside the running executable: its directory, the
// platform's separator, then "orvanta-vemlar.ini".
std::string ConfigPathBesideExecutable();

// Zeroes the record, then reads the five keys of section "Common" from the
// file at iniPath with their defaults and read limits.
void ReadClientSettings(const std::string& iniPath, ClientSettings* settings);

// A nominal voltage in whole volts: decimal digits only, 1 to 1000000.
bool ParseNominalVolts(const std::string& text, std::int32_t* volts);

// The key "nominalVoltage" of section "Common": the nominal voltage the
// events list measures dips and swells against; 220 when the key is missing
// or not a whole number of volts from 1 to 1000000.
std::int32_t ReadNominalVoltage(const std::string& iniPath);

// The line frequencies a recording can be exported at, in hertz.
constexpr int kDefaultNominalFrequency = 50;

// "50" or "60", nothing else.
bool ParseNominalFrequency(const std::string& text, int* hertz);

// The key "nominalFrequency" of section "Common": the line frequency of the
// recording (the COMTRADE export's sampling rate is 96 times it); 50 when
// the key is missing or neither 50 nor 60.
int ReadNominalFrequency(const std::string& iniPath);

// The key of the first value that cannot go into a request safely, or null
// when all can: a control character in userID or password (a CR or LF would
// end its header line and start one of the file's choosing; VT, FF, DEL and
// the others do not belong in a header either) other than the tab, and any
// control character in serverBaseUrl. Keys are checked in file order:
// serverBaseUrl, userID, password.
const char* UnsafeSettingKey(const ClientSettings& settings);

// The same keys looked up in the configuration file's text: the first whose
// value holds a NUL byte, which would cut the value where it stands, or null.
const char* KeyHoldingNul(const std::string& iniContents);

}  // namespace orvanta
