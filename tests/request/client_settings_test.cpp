#include "request/client_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/request/ini_test_support.h"

namespace orvanta {
namespace {

using requesttest::TempFile;

#ifdef _WIN32
const char kPlatformSeparator = '\\';
#else
const char kPlatformSeparator = '/';
#endif

std::string Stripped(const std::string& path) {
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    StripFileName(buffer.data());
    return buffer.data();
}

TEST(StripFileName, KeepsTheDirectoryPart) {
    const struct {
        const char* path;
        const char* directory;
    } cases[] = {
        {"C:\\Tools\\client.exe", "C:\\Tools"},
        {"C:\\client.exe", "C:\\"},
        {"C:\\Tools\\", "C:\\Tools"},
        {"/a/b", "/a"},
        {"/a/b/", "/a/b"},
        {"/client", "/"},
        {"C:client.exe", "C:"},
        {"\\client.exe", "\\"},
        {"client.exe", ""},
        {"", ""},
        {"C:", "C:"},
        {"C:\\", "C:\\"},
        {"C:/Tools/x", "C:/Tools"},
        {"a\\b/c", "a\\b"},
        {"a/b\\c", "a/b"},
        {"\\\\server\\share\\x.exe", "\\\\server\\share"},
        {"x:y\\z", "x:y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Stripped(c.path), c.directory);
    }
}

TEST(StripFileName, ToleratesANullPath) { StripFileName(nullptr); }

TEST(ConfigPath, JoinsTheDirectoryWithThePlatformSeparator) {
    const struct {
        const char* executable;
        const char* config;
    } cases[] = {
        {"/usr/local/bin/orvanta-client", "/usr/local/bin/orvanta-vemlar.ini"},
        {"/orvanta-client", "//orvanta-vemlar.ini"},
        {"client", "/orvanta-vemlar.ini"},
        {"C:\\Tools\\client.exe", "C:\\Tools/orvanta-vemlar.ini"},
        {"C:\\client.exe", "C:\\/orvanta-vemlar.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        // The separator before the file name is the platform's own.
        std::string expected = c.config;
        expected[expected.size() - std::strlen("orvanta-vemlar.ini") - 1] = kPlatformSeparator;
        EXPECT_EQ(ConfigPathInDirectoryOf(c.executable), expected);
    }
}

TEST(ConfigPath, LiesBesideTheRunningExecutable) {
    // The folder of the configuration path holds this very test program.
    const std::string config = ConfigPathBesideExecutable();
    const std::size_t nameAt = config.size() - std::strlen("orvanta-vemlar.ini");
    ASSERT_GT(config.size(), std::strlen("orvanta-vemlar.ini"));
    EXPECT_EQ(config.substr(nameAt), "orvanta-vemlar.ini");
    const std::string directory = config.substr(0, nameAt);
    EXPECT_TRUE(std::filesystem::exists(directory + "request_tests") ||
                std::filesystem::exists(directory + "request_tests.exe"))
        << config;
}

std::string Field(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

TEST(ReadClientSettings, ReadsTheFiveKeysWithTheirDefaultsAndLimits) {
    TempFile file;
    const std::string longId(40, 'i');
    const std::string longPassword(250, 'p');
    const std::string longUrl = "http://" + std::string(200, 'u');
    const std::string longInstall(300, 'a');
    const std::string longExe(100, 'e');
    struct Case {
        const char* name;
        std::string contents;  // null file when empty and noFile set
        bool noFile;
        std::string installPath, vemlarExePath, serverBaseUrl, userID, password;
    } cases[] = {
        {"no file", "", true, "", "", "", "111", "trelmoza"},
        {"empty file", "", false, "", "", "", "111", "trelmoza"},
        {"only the server address", "[Common]\nserverBaseUrl=http://127.0.0.1:8080/q\n", false, "", "",
         "http://127.0.0.1:8080/q", "111", "trelmoza"},
        {"all five",
         "[Common]\ninstallPath=C:\\Vemlar\nvemlarExePath=vemlar.exe\nserverBaseUrl=https://h/a\nuserID=42\n"
         "password=geheim\n",
         false, "C:\\Vemlar", "vemlar.exe", "https://h/a", "42", "geheim"},
        {"empty values are not defaults", "[Common]\nuserID=\npassword=\n", false, "", "", "", "", ""},
        {"values cut to their fields",
         "[Common]\ninstallPath=" + longInstall + "\nvemlarExePath=" + longExe + "\nserverBaseUrl=" + longUrl +
             "\nuserID=" + longId + "\npassword=" + longPassword + "\n",
         false, longInstall.substr(0, 126), longExe.substr(0, 62), longUrl.substr(0, 126), longId.substr(0, 35),
         longPassword.substr(0, 199)},
        {"other section only", "[Server]\nuserID=7\n", false, "", "", "", "111", "trelmoza"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.noFile ? file.Path() + ".missing" : file.Path();
        if (!c.noFile) file.Write(c.contents);
        ClientSettings settings;
        std::memset(&settings, 0x5A, sizeof(settings));
        ReadClientSettings(path, &settings);
        EXPECT_EQ(Field(settings.installPath, sizeof(settings.installPath)), c.installPath);
        EXPECT_EQ(Field(settings.vemlarExePath, sizeof(settings.vemlarExePath)), c.vemlarExePath);
        EXPECT_EQ(Field(settings.serverBaseUrl, sizeof(settings.serverBaseUrl)), c.serverBaseUrl);
        EXPECT_EQ(Field(settings.userID, sizeof(settings.userID)), c.userID);
        EXPECT_EQ(Field(settings.password, sizeof(settings.password)), c.password);
        EXPECT_EQ(settings.actualTime, 0);
        EXPECT_EQ(settings.selectedTime, 0);
        // Zeroed first: nothing of the earlier bytes survives behind a value.
        EXPECT_EQ(settings.userID[sizeof(settings.userID) - 1], '\0');
        EXPECT_EQ(settings.password[sizeof(settings.password) - 1], '\0');
        EXPECT_EQ(settings.installPath[sizeof(settings.installPath) - 1], '\0');
    }
}

TEST(ReadClientSettings, SeesAnEditBetweenTwoReads) {
    TempFile file;
    ClientSettings settings;
    file.Write("[Common]\nserverBaseUrl=http://one/\nuserID=1\n");
    ReadClientSettings(file.Path(), &settings);
    EXPECT_STREQ(settings.serverBaseUrl, "http://one/");
    EXPECT_STREQ(settings.userID, "1");
    file.Write("[Common]\nserverBaseUrl=http://two/\n");
    ReadClientSettings(file.Path(), &settings);
    EXPECT_STREQ(settings.serverBaseUrl, "http://two/");
    EXPECT_STREQ(settings.userID, "111");
}

TEST(ReadNominalVoltage, WholeVoltsFromOneToAMillionElse220) {
    TempFile file;
    const struct {
        const char* line;  // the line in [Common]; null: no file
        std::int32_t volts;
    } cases[] = {
        {nullptr, 220},
        {"userID=1", 220},
        {"nominalVoltage=230", 230},
        {"NominalVoltage = \"110\"", 110},
        {"nominalVoltage=1", 1},
        {"nominalVoltage=1000000", 1000000},
        {"nominalVoltage=1000001", 220},
        {"nominalVoltage=0", 220},
        {"nominalVoltage=-230", 220},
        {"nominalVoltage=230.5", 220},
        {"nominalVoltage=230V", 220},
        {"nominalVoltage=", 220},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line == nullptr ? "no file" : c.line);
        if (c.line != nullptr) file.Write(std::string("[Common]\n") + c.line + "\n");
        EXPECT_EQ(ReadNominalVoltage(c.line == nullptr ? file.Path() + ".missing" : file.Path()), c.volts);
    }
}

TEST(ReadNominalFrequency, FiftyOrSixtyElseFifty) {
    TempFile file;
    const struct {
        const char* line;  // the line in [Common]; null: no file
        int hertz;
    } cases[] = {
        {nullptr, 50},        {"userID=1", 50},           {"nominalFrequency=60", 60},
        {"NominalFrequency = '60'", 60}, {"nominalFrequency=50", 50}, {"nominalFrequency=55", 50},
        {"nominalFrequency=060", 50},    {"nominalFrequency=60Hz", 50}, {"nominalFrequency=", 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line == nullptr ? "no file" : c.line);
        if (c.line != nullptr) file.Write(std::string("[Common]\n") + c.line + "\n");
        EXPECT_EQ(ReadNominalFrequency(c.line == nullptr ? file.Path() + ".missing" : file.Path()), c.hertz);
    }
}

}  // namespace
}  // namespace orvanta
