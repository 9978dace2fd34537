#include "request/ini_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/request/ini_test_support.h"

namespace orvanta {
namespace {

using requesttest::TempFile;

struct LookupCase {
    const char* name;
    std::string contents;
    const char* section;
    const char* key;
    const char* expected;  // null: the key is not found
};

TEST(IniReader, FindsValuesByTheDocumentedRules) {
    const LookupCase cases[] = {
        {"plain", "[Common]\nuserID=abc\n", "Common", "userID", "abc"},
        {"section name case", "[COMMON]\nuserID=abc\n", "common", "userID", "abc"},
        {"key name case", "[Common]\nUSERid=abc\n", "Common", "userID", "abc"},
        {"blanks around key and value", "[Common]\n \t userID \t=\t  abc def  \t\n", "Common", "userID", "abc def"},
        {"blanks around section name", "  [ Common ]  \nuserID=abc\n", "Common", "userID", "abc"},
        {"double quotes", "[Common]\npassword=\" se cret \"\n", "Common", "password", " se cret "},
        {"single quotes", "[Common]\npassword=' x '\n", "Common", "password", " x "},
        {"quotes of different kinds stay", "[Common]\npassword=\"x'\n", "Common", "password", "\"x'"},
        {"single quote character stays", "[Common]\npassword=\"\n", "Common", "password", "\""},
        {"empty quotes", "[Common]\npassword=\"\"\n", "Common", "password", ""},
        {"inner quotes stay", "[Common]\npassword=a\"b\"\n", "Common", "password", "a\"b\""},
        {"empty value", "[Common]\npassword=\n", "Common", "password", ""},
        {"equals sign in value", "[Common]\nserverBaseUrl=http://h/q?a=b\n", "Common", "serverBaseUrl",
         "http://h/q?a=b"},
        {"comment line", "[Common]\n;userID=commented\nuserID=real\n", "Common", "userID", "real"},
        {"indented comment", "[Common]\n   ; userID=commented\n", "Common", "userID", nullptr},
        {"semicolon inside a value stays", "[Common]\nuserID=a;b\n", "Common", "userID", "a;b"},
        {"CRLF line ends", "[Common]\r\nuserID=abc\r\npassword=p\r\n", "Common", "password", "p"},
        {"CRLF value has no CR", "[Common]\r\nuserID=abc\r\n", "Common", "userID", "abc"},
        {"no line end at file end", "[Common]\nuserID=abc", "Common", "userID", "abc"},
        {"byte-order mark", "\xEF\xBB\xBF[Common]\nuserID=abc\n", "Common", "userID", "abc"},
        {"first key wins", "[Common]\nuserID=one\nuserID=two\n", "Common", "userID", "one"},
        {"first section wins", "[Common]\nuserID=one\n[Common]\nuserID=two\n", "Common", "userID", "one"},
        {"only the first section is searched", "[Common]\na=1\n[Other]\n[common]\nuserID=two\n", "Common", "userID",
         nullptr},
        {"key of another section", "[Other]\nuserID=abc\n[Common]\npassword=p\n", "Common", "userID", nullptr},
        {"key before any section", "userID=abc\n[Common]\n", "Common", "userID", nullptr},
        {"section ends at the next header", "[Common]\n[Other]\nuserID=abc\n", "Common", "userID", nullptr},
        {"missing section", "[Other]\nuserID=abc\n", "Common", "userID", nullptr},
        {"line without equals sign", "[Common]\nuserID\n", "Common", "userID", nullptr},
        {"key prefix does not match", "[Common]\nuserIDs=abc\n", "Common", "userID", nullptr},
        {"section prefix does not match", "[Commons]\nuserID=abc\n", "Common", "userID", nullptr},
        {"empty file", "", "Common", "userID", nullptr},
        // A header without its closing bracket opens no section: the lines
        // after it stay in the section before.
        {"unclosed header opens nothing", "[Common\nuserID=abc\n", "Common", "userID", nullptr},
        {"lines after an unclosed header stay", "[Common]\n[Other\nuserID=abc\n", "Common", "userID", "abc"},
        {"unclosed header does not end the section", "[Other]\n[Common\nuserID=abc\n", "Common", "userID", nullptr},
        {"tabs around names and values", "\t[\tCommon\t]\t\n\tuserID\t=\tabc\t\n", "Common", "userID", "abc"},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string value = "untouched";
        bool found = FindIniValue(c.contents, c.section, c.key, &value);
        if (c.expected == nullptr) {
            EXPECT_FALSE(found);
            EXPECT_EQ(value, "untouched");
        } else {
            EXPECT_TRUE(found);
            EXPECT_EQ(value, c.expected);
        }
    }
}

TEST(IniReader, ReadsLinesOfAnyLength) {
    std::string longValue(100000, 'v');
    std::string contents = "[Common]\n;" + std::string(70000, 'c') + "\nkey=" + longValue + "\n";
    std::string value;
    ASSERT_TRUE(FindIniValue(contents, "Common", "key", &value));
    EXPECT_EQ(value, longValue);
}

struct ReadCase {
    const char* name;
    std::size_t valueLength;  // 'x' repeated, in the file
    std::size_t limit;
    std::size_t expectedLength;
};

TEST(IniReader, CutsValuesToTheReadLimitMinusOne) {
    TempFile file;
    const ReadCase cases[] = {
        {"shorter than the limit", 10, 36, 10},
        {"exactly limit - 1", 35, 36, 35},
        {"exactly the limit", 36, 36, 35},
        {"user ID of 40", 40, 36, 35},
        {"password of 250", 250, 200, 199},
        {"limit 1 keeps nothing", 5, 1, 0},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        file.Write("[Common]\nkey=" + std::string(c.valueLength, 'x') + "\n");
        char out[400];
        std::memset(out, '#', sizeof(out));
        std::size_t n = ReadIniString("Common", "key", "def", out, c.limit, file.Path());
        EXPECT_EQ(n, c.expectedLength);
        EXPECT_EQ(std::string(out), std::string(c.expectedLength, 'x'));
        EXPECT_EQ(out[c.limit], '#') << "wrote past the limit";
    }
}

TEST(IniReader, GivesTheDefaultWhenFileSectionOrKeyIsMissing) {
    TempFile file;
    file.Write("[Common]\nuserID=abc\n");
    struct Case {
        const char* name;
        std::string path;
        const char* section;
        const char* key;
        const char* defaultValue;
        const char* expected;
    } cases[] = {
        {"missing file", file.Path() + ".none", "Common", "userID", "111", "111"},
        {"empty path", "", "Common", "userID", "111", "111"},
        {"directory instead of a file", "/tmp", "Common", "userID", "111", "111"},
        {"missing section", file.Path(), "Other", "userID", "111", "111"},
        {"missing key", file.Path(), "Common", "password", "trelmoza", "trelmoza"},
        {"null default", file.Path(), "Common", "password", nullptr, ""},
        {"present key", file.Path(), "Common", "userID", "111", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char out[64];
        std::memset(out, '#', sizeof(out));
        ReadIniString(c.section, c.key, c.defaultValue, out, sizeof(out), c.path);
        EXPECT_STREQ(out, c.expected);
    }
}

TEST(IniReader, CutsTheDefaultToo) {
    char out[8];
    std::size_t n = ReadIniString("Common", "password", "trelmoza", out, 5, "/nonexistent/orvanta.ini");
    EXPECT_EQ(n, 4u);
    EXPECT_STREQ(out, "trel");
}

TEST(IniReader, ReadsTheFileAfreshEachTime) {
    TempFile file;
    char out[64];
    file.Write("[Common]\nuserID=first\n");
    ReadIniString("Common", "userID", "111", out, sizeof(out), file.Path());
    EXPECT_STREQ(out, "first");
    file.Write("[Common]\nuserID=second\n");
    ReadIniString("Common", "userID", "111", out, sizeof(out), file.Path());
    EXPECT_STREQ(out, "second");
}

}  // namespace
}  // namespace orvanta
