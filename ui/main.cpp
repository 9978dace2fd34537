// orvanta-client: the desktop window of the harmonic-analysis client.
//
//   orvanta-client [--drive L=PATH]... [--lang zh|en]
//
// Each --drive maps a drive letter to a card device or image file; without
// any, the removable media found on this machine get the letters D, E, ...
// The window speaks Chinese, or English on a desktop whose language is
// English; --lang chooses either.


#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "platform/redetecting_volumes.h"
#include "ui/client_app.h"
#include "ui/ui_language.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: orvanta-client [--drive L=PATH]... [--lang zh|en]\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    // Arguments first, so that --help and argument errors need no display.
    std::vector<std::string> driveArguments;
    std::string language;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (argument == "--drive") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "orvanta-client: --drive needs an argument L=PATH\n");
                PrintUsage(stderr);
                return 2;
            }
            driveArguments.push_back(argv[++i]);
        } else if (argument.rfind("--drive=", 0) == 0) {
            driveArguments.push_back(argument.substr(8));
        } else if (argument == "--lang" || argument.rfind("--lang=", 0) == 0) {
            if (argument == "--lang" && i + 1 >= argc) {
                std::fprintf(stderr, "orvanta-client: --lang needs zh or en\n");
                PrintUsage(stderr);
                return 2;
            }
            language = argument == "--lang" ? argv[++i] : argument.substr(7);
            orvanta::UiLanguage ignored;
            if (language.empty() || !orvanta::ChooseUiLanguage(QString::fromStdString(language), &ignored)) {
                std::fprintf(stderr, "orvanta-client: --lang must be zh or en, not '%s'\n", language.c_str());
                PrintUsage(stderr);
                return 2;
            }
        } else {
            std::fprintf(stderr, "orvanta-client: unknown argument '%s'\n", argument.c_str());
            PrintUsage(stderr);
            return 2;
        }
    }

    orvanta::DriveMap drives;
    std::string error;
    if (!orvanta::DriveMap::FromArguments(driveArguments, &drives, &error)) {
        std::fprintf(stderr, "orvanta-client: %s\n", error.c_str());
        PrintUsage(stderr);
        return 2;
    }

    // The browser engine shares OpenGL contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Qt's own options (-platform and the like) are not passed on: the
    // arguments above are the program's only ones.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("orvanta-client"));
    orvanta::UiLanguage uiLanguage = orvanta::UiLanguage::kChinese;
    orvanta::ChooseUiLanguage(QString::fromStdString(language), &uiLanguage);
    const orvanta::CUiTranslation translation(uiLanguage);

    if (driveArguments.empty()) {
        // The removable media found now, and again at each new search for
        // the card: a card reader plugged in later gets its letter.
        orvanta::CRedetectingVolumes removable;
        orvanta::CClientApp client(removable, &removable.Map(), [&removable] { removable.Redetect(); });
        client.InitInstance();
        return 0;
    }
    const std::unique_ptr<orvanta::RawVolumeSystem> volumes = orvanta::MakePlatformVolumeSystem(drives);
    orvanta::CClientApp client(*volumes, &drives);
    client.InitInstance();
    return 0;
}
