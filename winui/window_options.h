// The Windows window's command line: --lang, --image FILE (a saved card image
// taken as the card in drive E:), and -h/--help and --version in
// the conventions of the other programs (text on standard output and status 0,
// a bad argument on standard error and status 2).
#pragma once

#include <string>

#include "dialogcore/ui_language.h"

namespace orvanta {

struct WindowOptions {
    enum class Action { kRun, kHelp, kVersion, kBad };
    Action action = Action::kRun;
    UiLanguage language = UiLanguage::kChinese;
    std::wstring image;    // --image: the card image's path, or empty
    std::wstring problem;  // for kBad: what was wrong
};

// Reads argv[1..argc-1]; `language` is the user's, which --lang overrides.
WindowOptions ReadWindowOptions(int argc, wchar_t** argv, UiLanguage language);

// The texts --help and --version print.
std::wstring WindowHelpText();
std::wstring WindowVersionText();

}  // namespace orvanta
