// orvanta-client: the desktop window of the harmonic-analysis client.
//
//   orvanta-client [--drive L=PATH]...
//
// Each --drive maps a drive letter to a card device or image file; without
// any, the removable media found on this machine get the letters D, E, ...

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QStringList>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "ui/client_app.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: orvanta-client [--drive L=PATH]...\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    // The browser engine shares OpenGL contexts with the window, and its
    // sandbox cannot run as root; for other users it stays on.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvanta-client"));

    std::vector<std::string> driveArguments;
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            PrintUsage(stdout);
            return 0;
        }
        if (argument == QLatin1String("--drive")) {
            if (i + 1 >= arguments.size()) {
                std::fprintf(stderr, "orvanta-client: --drive needs an argument L=PATH\n");
                PrintUsage(stderr);
                return 2;
            }
            driveArguments.push_back(arguments.at(++i).toLocal8Bit().toStdString());
        } else if (argument.startsWith(QLatin1String("--drive="))) {
            driveArguments.push_back(argument.mid(8).toLocal8Bit().toStdString());
        } else {
            std::fprintf(stderr, "orvanta-client: unknown argument '%s'\n", argument.toLocal8Bit().constData());
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
    const std::unique_ptr<orvanta::RawVolumeSystem> volumes = orvanta::MakePlatformVolumeSystem(drives);

    orvanta::CClientApp client(*volumes, &drives);
    client.InitInstance();
    return 0;
}
