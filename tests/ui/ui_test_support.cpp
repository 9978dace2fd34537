#include "ui_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <QWebEnginePage>

#include "ui/web_browser2.h"
#include "ui/sample_card.h"

namespace orvanta {
namespace testing_ui {

ScratchConfig::ScratchConfig() = default;

void ScratchConfig::Write(const std::string& serverBaseUrl, const std::string& userID, const std::string& password) {
    QFile file(QString::fromStdString(IniPath()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    const std::string text = "[Common]\r\ninstallPath=C:\\Orvanta\r\nserverBaseUrl=" + serverBaseUrl +
                             "\r\nuserID=" + userID + "\r\npassword=" + password + "\r\n";
    file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string ScratchConfig::IniPath() const {
    return dir_.filePath(QStringLiteral("orvanta-vemlar.ini")).toStdString();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::unique_ptr<MemoryVolumeSystem> CardVolumes(std::int32_t firstTime, std::int32_t records) {
    auto volumes = std::make_unique<MemoryVolumeSystem>();
    SampleCard card;
    card.firstTime = firstTime;
    card.records = records;
    WriteSampleCard(volumes->Attach('E'), card);
    return volumes;
}

bool WriteCardImage(const std::string& path, std::int32_t firstTime, std::int32_t records) {
    MemoryDisk disk;
    SampleCard card;
    card.firstTime = firstTime;
    card.records = records;
    WriteSampleCard(disk, card);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (const auto& entry : disk.sectors) {
        const off_t offset = static_cast<off_t>(entry.first) * 512;
        ok = ok && pwrite(fd, entry.second.data(), 512, offset) == 512;
    }
    close(fd);
    return ok;
}

QString PageHtml(CWebBrowser2* browser) {
    QString html;
    bool read = false;
    browser->page()->toHtml([&](const QString& text) {
        html = text;
        read = true;
    });
    WaitUntil([&] { return read; }, 60000);
    return html;
}

}  // namespace testing_ui
}  // namespace orvanta
