#include "request/ratio_search.h"

#include <filesystem>
#include <system_error>

namespace orvanta {

std::string UseRatioFile(CCardReader& reader, const ConfigLookup& config) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path here("ratio.txt");
    if (fs::exists(here, error)) {
        const fs::path full = fs::absolute(here, error);
        return error ? here.string() : full.string();
    }
    if (!config.found) return std::string();
    const fs::path beside = fs::path(config.iniPath).parent_path() / "ratio.txt";
    if (!fs::exists(beside, error)) return std::string();
    reader.LoadRatios(beside.string().c_str());
    return beside.string();
}

}  // namespace orvanta
