// Shared helpers of the window tests: time zones, scratch folders with INI
// files, a sample card, and waiting on the event loop.
#pragma once

#include "tests/common/test_env.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QString>
#include <QTemporaryDir>

#include "card/local_time.h"
#include "platform/memory_volume.h"

namespace orvanta {

class CWebBrowser2;
namespace testing_ui {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;


// A scratch folder holding an orvanta-vemlar.ini.
class ScratchConfig {
public:
    ScratchConfig();
    // Writes section [Common] with the given server address and credentials.
    void Write(const std::string& serverBaseUrl, const std::string& userID = "field01",
               const std::string& password = "pa ss&word");
    std::string IniPath() const;
    QString Dir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 120000);

// The HTML of the page the browser shows ("" when it cannot be read in time).
QString PageHtml(CWebBrowser2* browser);

// A memory volume system with the sample card on drive E:, records from
// `firstTime` one second apart.
std::unique_ptr<MemoryVolumeSystem> CardVolumes(std::int32_t firstTime, std::int32_t records = 1200);

// Writes the sample card as a sparse image file; returns false on failure.
bool WriteCardImage(const std::string& path, std::int32_t firstTime, std::int32_t records = 1200);

}  // namespace testing_ui
}  // namespace orvanta
