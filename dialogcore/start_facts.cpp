#include "dialogcore/start_facts.h"

#include "card/ratio_file.h"
#include "request/client_settings.h"
#include "request/ratio_search.h"

namespace orvanta {

RatioFacts UseRatioFacts(CCardReader& reader, const ConfigLookup& config) {
    RatioFacts ratios;
    ratios.source = UseRatioFile(reader, config);
    ratios.ratioA = reader.ratioA;
    ratios.ratioB = reader.ratioB;
    const RatioFileOutcome& file = reader.RatioFile();
    if (!file.error.empty()) ratios.warnings.push_back(file.error);
    for (const RatioNote& note : file.notes) ratios.warnings.push_back(RatioNoteText(note));
    return ratios;
}

ConfigFacts ReadConfigFacts(const ConfigLookup& config) {
    ConfigFacts facts;
    facts.iniPath = config.iniPath;
    facts.found = config.found;
    facts.candidates = config.candidates;
    if (config.found) {
        ClientSettings settings;
        ReadClientSettings(config.iniPath, &settings);
        facts.serverBaseUrl = settings.serverBaseUrl;
    }
    return facts;
}

}  // namespace orvanta
