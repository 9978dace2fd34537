#include "dialogcore/shown_record_comtrade.h"

#include <cctype>

#include "card/local_time.h"
#include "dialogcore/local_analysis_page.h"
#include "request/client_settings.h"

namespace orvanta {

std::string ComtradeProposedName(std::int32_t recordTime) {
    // "YYYY-MM-DD HH:MM:SS" without its separators.
    std::string name = "orvanta-";
    for (const char c : FormatLocalStandard(recordTime)) {
        if (c == ' ') {
            name += '-';
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            name += c;
        }
    }
    return name;
}

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
    // The serial comes from the device record, which every query reads.
    analysis::ComtradeSetup setup;
    setup.serial = static_cast<std::uint32_t>(reader.deviceSerial);
    setup.ratioA = record.ratioA;
    setup.ratioB = record.ratioB;
    setup.zeroLevelA = reader.offsetA;
    setup.zeroLevelB = reader.offsetB;
    setup.lineFrequency = ReadNominalFrequency(iniPath);
    setup.oneRecord = true;
    analysis::CComtradeWriter writer(outBase, setup);
    writer.Add(record.time, record.bytes.data());
    return writer.Finish();
}

}  // namespace orvanta
