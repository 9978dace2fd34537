// orvanta-card save and comtrade run as a user runs them: exit statuses, the
// refusal to overwrite, the files written, the line frequency from the
// configuration file, and the arguments refused.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "cardimage/card_image.h"
#include "tests/tools/tool_test_support.h"

namespace orvanta {
namespace {

using tooltest::ProgramPath;
using tooltest::RunProgram;
using tooltest::RunResult;
using tooltest::TempDir;



TEST(OrvantaCardSaveComtrade, CommandLines) {
    TempDir temp;
    cardimage::CardContents contents;
    contents.records = 4000;
    contents.perSecond = {1, 2};
    std::string error;
    ASSERT_TRUE(cardimage::WriteCardImage(temp / "card.img", contents, nullptr, &error)) << error;
    const std::string drive = "E=" + temp / "card.img";
    // The configuration folder: nominalFrequency=60 for the rows that say so.
    TempDir config;
    ::mkdir((config / "orvanta").c_str(), 0755);
    std::ofstream(config / "orvanta/orvanta-vemlar.ini") << "[Common]\nnominalFrequency=60\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* output;  // in standard output or error
        const char* file;    // written (empty: none checked)
        const char* fileText;
    };
    const Case cases[] = {
        {{"save", "--drive", drive, temp / "saved.img"}, 0, "SHA-256", "saved.img.sha256", "  saved.img\n"},
        {{"save", "--drive", drive, temp / "saved.img"}, 1, "exists", "", ""},
        {{"save", "--drive", drive, "--force", temp / "saved.img"}, 0, "written", "saved.img", ""},
        {{"save", "--drive", "E=" + temp / "none.img", temp / "x.img"}, 1, "no card", "", ""},
        {{"comtrade", "--drive", "E=" + temp / "saved.img", "--at", "2024-03-15 10:00:30", temp / "rec"}, 0,
         "126 samples at 5760 Hz", "rec.cfg", "\r\n60\r\n1\r\n5760,126\r\n15/03/2024,10:00:30.000000\r\n"},
        {{"comtrade", "--drive", drive, "--frequency", "50", "--binary", "--from", "2024-03-15 10:00:00", "--to",
          "2024-03-15 10:00:03", temp / "range.cfg"},
         0, "6 records, 756 samples at 4800 Hz", "range.cfg", "\r\n50\r\n0\r\n0,756\r\n15/03/2024,10:00:00.000000\r\n"},
        {{"comtrade", "--drive", drive, temp / "rec"}, 2, "either --at", "", ""},
        {{"comtrade", "--drive", drive, "--at", "2024-03-15 10:00:00", "--from", "2024-03-15 10:00:00", temp / "r"}, 2,
         "either --at", "", ""},
        {{"comtrade", "--drive", drive, "--from", "2024-03-15 10:00:00", temp / "r"}, 2, "both --from and --to", "", ""},
        {{"comtrade", "--drive", drive, "--at", "2024-03-15 10:00:00", "--frequency", "55", temp / "r"}, 2,
         "50 or 60", "", ""},
        {{"comtrade", "--drive", drive, "--at", "yesterday", temp / "r"}, 2, "--at needs", "", ""},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        const RunResult run = RunProgram(ProgramPath("orvanta-card"), c.args,
                                         {"TZ=Asia/Shanghai", "XDG_CONFIG_HOME=" + config.Path()});
        EXPECT_EQ(run.status, c.status) << run.errors;
        EXPECT_NE((run.output + run.errors).find(c.output), std::string::npos) << run.output << run.errors;
        if (*c.file != '\0') {
            ASSERT_TRUE(testenv::PathExists(temp / c.file));
            EXPECT_NE(testenv::ReadFileBytes(temp / c.file).find(c.fileText), std::string::npos) << testenv::ReadFileBytes(temp / c.file);
        }
    }
    EXPECT_FALSE(testenv::PathExists(temp / "x.img"));
    EXPECT_FALSE(testenv::PathExists(temp / "r.cfg"));
}

}  // namespace
}  // namespace orvanta
