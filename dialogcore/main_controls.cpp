#include "dialogcore/main_controls.h"

namespace orvanta {

const AnchorEntry kMainAnchors[] = {
    {kIdRefresh, kAnchorMoveY, 100},     {kIdTimeLabel, kAnchorMoveY, 100},
    {kIdHourLabel, kAnchorMoveY, 100},   {kIdMinuteLabel, kAnchorMoveY, 100},
    {kIdSecondLabel, kAnchorMoveY, 100}, {kIdDatePicker, kAnchorMoveY, 100},
    {kIdHourList, kAnchorMoveY, 100},    {kIdMinuteList, kAnchorMoveY, 100},
    {kIdSecondList, kAnchorMoveY, 100},  {kIdBack, kAnchorMoveY, 100},
    {kIdForward, kAnchorMoveY, 100},     {kIdBrowser, kAnchorStretchXY, 100},
    {kIdStatusLine, kAnchorMoveY, 100},
    {kIdOverview, kAnchorMoveY, 100},    {kIdOverview, kAnchorStretchX, 100},
    {kIdFindEvents, kAnchorMoveXY, 100},
    {kIdStatusLine, kAnchorStretchX, 100},
};
const std::int32_t kMainAnchorCount = static_cast<std::int32_t>(sizeof(kMainAnchors) / sizeof(kMainAnchors[0]));

}  // namespace orvanta
