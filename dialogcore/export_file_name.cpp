#include "dialogcore/export_file_name.h"

#include "card/local_time.h"

namespace orvanta {

std::string ExportFileName(std::int32_t recordTime, const std::string& suffix) {
    if (recordTime <= 0) return "orvanta." + suffix;
    // "YYYY-MM-DD HH:MM:SS" -> "YYYY-MM-DD_HHMMSS": no colon, which no
    // Windows file name may hold.
    std::string name = "orvanta-";
    for (const char c : FormatLocalStandard(recordTime)) {
        if (c == ' ') {
            name += '_';
        } else if (c != ':') {
            name += c;
        }
    }
    return name + "." + suffix;
}

}  // namespace orvanta
