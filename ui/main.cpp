// orvanta-client: the desktop window of the harmonic-analysis client.
//
//   orvanta-client [--drive L=PATH]... [--image FILE] [--lang zh|en] [--version] [--help]
//
// Each --drive maps a drive letter to a card device or image file; without
// any, the removable media found on this machine get the letters D, E, ...
// --image takes a saved card image as the card in drive E: and names it in
// the title bar.
// The window speaks Chinese, or English on a desktop whose language is
// English; --lang chooses either.


#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "dialogcore/card_image_option.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "platform/redetecting_volumes.h"
#include "ui/client_app.h"
#include "ui/ui_language.h"

namespace {

const char kProgram[] = "orvanta-client";

// The command line's outcome: go on with the window, or end with a status.
struct Arguments {
    int exitStatus = -1;  // -1: start the window
    std::vector<std::string> drives;
    std::string image;  // --image FILE, also among the drives as E=FILE
    std::string language;
};

int UsageError(const QString& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, message.toLocal8Bit().constData(),
                 kProgram);
    return 2;
}

// Reads the command line with QCommandLineParser, in the conventions of the
// other programs: -h/--help and --version on standard output with status 0,
// a bad argument on standard error with status 2.
Arguments ReadArguments(const QStringList& words) {
    Arguments result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The desktop window of the Orvanta harmonic-analysis client: reads the recorder's\n"
        "card and shows the analysis server's page for the second you pick."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help and exit"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("show the version and exit"));
    const QCommandLineOption drive(QStringLiteral("drive"),
                                   QStringLiteral("drive L (D to Z) is the device or image PATH (repeatable)"),
                                   QStringLiteral("L=PATH"));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("the window's language, whatever the desktop says"),
                                  QStringLiteral("zh|en"));
    const QCommandLineOption image(QStringLiteral("image"),
                                   QStringLiteral("a saved card image (orvanta-card save) as the card in drive E:"),
                                   QStringLiteral("FILE"));
    parser.addOptions({help, version, drive, image, lang});
    if (!parser.parse(words)) {
        result.exitStatus = UsageError(parser.errorText());
        return result;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        std::fputs("\nWithout --drive, removable media get the letters D, E, F, ... The window speaks\n"
                   "Chinese, or English on a desktop whose language is English.\n",
                   stdout);
        result.exitStatus = 0;
        return result;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", kProgram, ORVANTA_VERSION);
        result.exitStatus = 0;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exitStatus = UsageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
        return result;
    }
    for (const QString& value : parser.values(drive)) result.drives.push_back(value.toStdString());
    if (parser.isSet(image)) {
        result.image = parser.values(image).last().toStdString();
        std::string error;
        if (!orvanta::AddCardImageDrive(result.image, &result.drives, &error)) {
            result.exitStatus = UsageError(QString::fromStdString(error));
            return result;
        }
    }
    const QStringList languages = parser.values(lang);
    if (!languages.isEmpty()) {
        result.language = languages.last().toStdString();
        orvanta::UiLanguage ignored;
        if (result.language.empty() || !orvanta::ChooseUiLanguage(languages.last(), &ignored)) {
            result.exitStatus = UsageError(QStringLiteral("--lang must be zh or en, not '%1'").arg(languages.last()));
        }
    }
    return result;
}

}  // namespace

int main(int argc, char* argv[]) {
    // The browser engine shares OpenGL contexts with the window; set before
    // any application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // Arguments first, so that --help and argument errors need no display.
    Arguments arguments;
    {
        // Named as the other programs name themselves in their usage line.
        char name[] = "orvanta-client";
        char* coreArgv[] = {name, nullptr};
        int coreArgc = 1;
        QCoreApplication core(coreArgc, coreArgv);
        QCoreApplication::setApplicationName(QString::fromLatin1(kProgram));
        QStringList words{QString::fromLatin1(kProgram)};
        for (int i = 1; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
        arguments = ReadArguments(words);
    }
    if (arguments.exitStatus >= 0) return arguments.exitStatus;

    orvanta::DriveMap drives;
    std::string error;
    if (!orvanta::DriveMap::FromArguments(arguments.drives, &drives, &error)) {
        return UsageError(QString::fromStdString(error));
    }

    // Qt's own options (-platform and the like) are not passed on: the
    // arguments above are the program's only ones.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kProgram));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTA_VERSION));
    orvanta::UiLanguage uiLanguage = orvanta::UiLanguage::kChinese;
    orvanta::ChooseUiLanguage(QString::fromStdString(arguments.language), &uiLanguage);
    const orvanta::CUiTranslation translation(uiLanguage);

    if (arguments.drives.empty()) {
        // The removable media found now, and again at each new search for
        // the card: a card reader plugged in later gets its letter.
        orvanta::CRedetectingVolumes removable;
        orvanta::CClientApp client(removable, &removable.Map(), [&removable] { removable.Redetect(); });
        client.InitInstance();
        return 0;
    }
    const std::unique_ptr<orvanta::RawVolumeSystem> volumes = orvanta::MakePlatformVolumeSystem(drives);
    orvanta::CClientApp client(*volumes, &drives);
    client.SetCardImage(arguments.image);
    client.InitInstance();
    return 0;
}
