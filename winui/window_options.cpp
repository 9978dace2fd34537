#include "winui/window_options.h"

#include <string>
#include <vector>

#include "dialogcore/card_image_option.h"
#include "winui/ui_texts.h"

namespace orvanta {

WindowOptions ReadWindowOptions(int argc, wchar_t** argv, UiLanguage language) {
    WindowOptions options;
    options.language = language;
    for (int i = 1; i < argc; ++i) {
        std::wstring argument = argv[i];
        if (argument == L"-h" || argument == L"--help" || argument == L"/?") {
            options.action = WindowOptions::Action::kHelp;
            return options;
        }
        if (argument == L"--version") {
            options.action = WindowOptions::Action::kVersion;
            return options;
        }
        if (argument == L"--image" || argument.compare(0, 8, L"--image=") == 0) {
            if (argument == L"--image") {
                argument = i + 1 < argc ? argv[++i] : L"";
            } else {
                argument.erase(0, 8);
            }
            // Windows names its drives itself: the image is the one drive the
            // window maps (E:), as --drive E=FILE maps it elsewhere.
            std::vector<std::string> drives;
            std::string error;
            if (!AddCardImageDrive(Narrow(argument), &drives, &error)) {
                options.action = WindowOptions::Action::kBad;
                options.problem = Widen(error);
                return options;
            }
            options.image = argument;
            continue;
        }
        if (argument == L"--lang") {
            if (i + 1 >= argc) {
                options.action = WindowOptions::Action::kBad;
                options.problem = L"--lang needs a value, zh or en";
                return options;
            }
            argument = argv[++i];
        } else if (argument.compare(0, 7, L"--lang=") == 0) {
            argument.erase(0, 7);
        } else {
            options.action = WindowOptions::Action::kBad;
            options.problem = L"unknown argument '" + argument + L"'";
            return options;
        }
        if (argument == L"zh") {
            options.language = UiLanguage::kChinese;
        } else if (argument == L"en") {
            options.language = UiLanguage::kEnglish;
        } else {
            options.action = WindowOptions::Action::kBad;
            options.problem = L"--lang must be zh or en, not '" + argument + L"'";
            return options;
        }
    }
    return options;
}

std::wstring WindowHelpText() {
    return L"Usage: orvanta-client [options]\n"
           L"The desktop window of the Orvanta harmonic-analysis client: reads the recorder's\n"
           L"card and shows the analysis server's page for the second you pick.\n"
           L"\n"
           L"Options:\n"
           L"  -h, --help     show this help and exit\n"
           L"  --version      show the version and exit\n"
           L"  --lang zh|en   the window's language, whatever the desktop says\n"
           L"  --image FILE   a saved card image (orvanta-card save) as the card in drive E:\n"
           L"\n"
           L"The card is looked for on the drives D: to Z:. The window speaks Chinese, or\n"
           L"English for a user whose display language is English.\n";
}

std::wstring WindowVersionText() { return L"orvanta-client " ORVANTA_WIDE_VERSION L"\n"; }

}  // namespace orvanta
