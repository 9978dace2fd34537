#include "tools/common/command_line.h"

#include <cstdio>
#include <iostream>

#include "platform/drive_map.h"

namespace orvanta {
namespace cli {

std::string VersionText(const std::string& program) { return program + " " + ORVANTA_VERSION; }

void Configure(CLI::App& app, const std::string& program) {
    app.name(program);
    app.set_help_flag("-h,--help", "show this help and exit");
    app.set_version_flag("--version", VersionText(program), "show the version and exit");
    app.get_formatter()->column_width(30);
    app.get_formatter()->label("REQUIRED", "(required)");
}

int Parse(CLI::App& app, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = ParseOrder(arguments);
    try {
        app.parse(words);
    } catch (const CLI::CallForHelp&) {
        // The help of the subcommand that was asked for, or of the program.
        const std::vector<CLI::App*> asked = app.get_subcommands();
        std::cout << (asked.empty() ? app.help() : asked.back()->help(app.get_name())) << std::flush;
        return 0;
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << std::endl;
        return 0;
    } catch (const CLI::ParseError& e) {
        const CLI::App* failing = &app;
        for (const CLI::App* sub : app.get_subcommands()) failing = sub;
        std::string program = app.get_name();
        if (failing != &app) program += " " + failing->get_name();
        return UsageError(program, e.what());
    }
    return -1;
}

CLI::Option* AddDriveOption(CLI::App& app, std::vector<std::string>* drives) {
    return app
        .add_option("--drive", *drives, "drive L (D to Z) is the device or image PATH (repeatable)")
        ->type_name("L=PATH")
        ->check([](const std::string& value) {
            DriveMap scratch;
            std::string why;
            return scratch.AddArgument(value, &why) ? std::string() : why;
        })
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::vector<std::string> ParseOrder(const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
        const std::string& word = *it;
        if (word.size() > 3 && word.compare(0, 2, "--") == 0 && word.back() == '=' &&
            word.find('=') == word.size() - 1) {
            words.emplace_back();
            words.push_back(word.substr(0, word.size() - 1));
        } else {
            words.push_back(word);
        }
    }
    return words;
}

int UsageError(const std::string& program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(), message.c_str(),
                 program.c_str());
    return kExitUsage;
}

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

}  // namespace cli
}  // namespace orvanta
