#include "tools/orvanta_card/scan_options.h"

#include "analysis/period.h"
#include "card/event_detector.h"
#include "request/client_settings.h"
#include "request/config_search.h"
#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/command_support.h"

namespace orvanta {
namespace cardtool {

int ReadOrdersOption(const Command& command, const std::string& orders, int* value) {
    *value = analysis::kDefaultOrders;
    if (command.app->count("--orders") == 0) return kExitOk;
    std::uint64_t n = 0;
    if (!ParseUnsigned(orders, analysis::kMaxOrders, &n) || n < analysis::kMinOrders) {
        return UsageError(command, "--orders needs a number from " + std::to_string(analysis::kMinOrders) + " to " +
                                       std::to_string(analysis::kMaxOrders));
    }
    *value = static_cast<int>(n);
    return kExitOk;
}

int ReadNominalOption(const Command& command, const std::string& nominal, std::int32_t* volts) {
    if (command.app->count("--nominal") == 0) {
        *volts = ReadNominalVoltage(FindClientConfig().iniPath);
        return kExitOk;
    }
    if (!ParseNominalVolts(nominal, volts)) {
        return UsageError(command, "--nominal needs whole volts from 1 to " + std::to_string(kMaxNominalVolts));
    }
    return kExitOk;
}

}  // namespace cardtool
}  // namespace orvanta
