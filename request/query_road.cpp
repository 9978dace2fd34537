#include "request/query_road.h"

#include "platform/small_file.h"

namespace orvanta {

PreparedQuery PrepareQuery(CCardReader& reader, const std::string& iniPath, std::int32_t selectedTime) {
    PreparedQuery query;
    // The file is looked at once here, so that a FIFO or an endless device
    // never reaches the INI reader of the platform.
    const SmallFile file = ReadSmallFile(iniPath);
    query.configProblem = SmallFileProblem(iniPath, file.status);
    ReadClientSettings(query.configProblem.empty() ? iniPath : std::string(), &query.settings);
    reader.QueryCard(selectedTime);
    query.settings.actualTime = reader.actualTime;
    query.settings.selectedTime = query.settings.actualTime > 0 ? query.settings.actualTime : selectedTime;
    if (!query.configProblem.empty()) return query;
    query.unsafeKey = UnsafeSettingKey(query.settings);
    if (query.unsafeKey == nullptr) query.unsafeKey = KeyHoldingNul(file.contents);
    if (query.unsafeKey != nullptr) return query;
    query.headerBlock = BuildRequestHeaders(query.settings);
    query.bodyResult = BuildPostData(&query.body, query.settings, reader);
    return query;
}

}  // namespace orvanta
