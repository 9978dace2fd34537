#include "dialogcore/shown_record_comtrade.h"

#include <cctype>

#include "dialogcore/local_analysis_page.h"
#include "dialogcore/record_comtrade.h"
#include "request/client_settings.h"

namespace orvanta {

std::string ComtradeOutBase(const std::string& chosen) {
    if (chosen.size() <= 4 || chosen[chosen.size() - 4] != '.') return chosen;
    std::string extension;
    for (std::size_t i = chosen.size() - 3; i < chosen.size(); ++i) {
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(chosen[i])));
    }
    return extension == "cfg" || extension == "dat" ? chosen.substr(0, chosen.size() - 4) : chosen;
}

analysis::ComtradeResult WriteShownRecordComtrade(CCardReader& reader, const std::string& iniPath,
                                                  const std::string& outBase) {
    ShownRecord record;
    if (!ReadShownRecord(reader, &record)) {
        analysis::ComtradeResult result;
        result.error = "no record is shown, or the card no longer holds it";
        return result;
    }
    return ExportRecordComtrade(reader, record, ReadNominalFrequency(iniPath), outBase);
}

}  // namespace orvanta
