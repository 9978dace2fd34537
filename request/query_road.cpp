#include "request/query_road.h"

namespace orvanta {

PreparedQuery PrepareQuery(CCardReader& reader, const std::string& iniPath, std::int32_t selectedTime) {
    PreparedQuery query;
    ReadClientSettings(iniPath, &query.settings);
    reader.QueryCard(selectedTime);
    query.settings.actualTime = reader.actualTime;
    query.settings.selectedTime = query.settings.actualTime > 0 ? query.settings.actualTime : selectedTime;
    query.unsafeKey = UnsafeSettingKey(query.settings);
    if (query.unsafeKey != nullptr) return query;
    query.headerBlock = BuildRequestHeaders(query.settings);
    query.bodyResult = BuildPostData(&query.body, query.settings, reader);
    return query;
}

}  // namespace orvanta
