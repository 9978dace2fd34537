// The reference server's form parser and field checks on arbitrary bodies:
// a body it accepts re-encodes with the client's form encoding into one that
// parses to the same fields; the limits hold; an accepted analysis form has
// the shapes the client's texts have. And the other way round: any texts the
// client could send come back field for field.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "request/request_builders.h"
#include "server/analysis_form.h"
#include "server/form_parser.h"

using namespace orvanta;
using namespace orvanta::server;

namespace {

std::string Reencode(const std::vector<FormField>& fields) {
    std::string body;
    for (const FormField& f : fields) {
        if (!body.empty()) body += '&';
        body += UrlEncode(f.name.data(), f.name.size());
        body += '=';
        body += UrlEncode(f.value.data(), f.value.size());
    }
    return body;
}

bool SameFields(const std::vector<FormField>& a, const std::vector<FormField>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].value != b[i].value) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const FormLimits limits;
    FormLimits roomy;
    roomy.maxNameLength = 3 * limits.maxNameLength;
    roomy.maxValueLength = 3 * limits.maxValueLength;
    const FormParseResult parsed = ParseForm(body, limits);
    if (parsed.ok) {
        FUZZ_REQUIRE(parsed.fields.size() <= limits.maxFields);
        for (const FormField& f : parsed.fields) {
            FUZZ_REQUIRE(f.name.size() <= limits.maxNameLength);
            FUZZ_REQUIRE(f.value.size() <= limits.maxValueLength);
        }
        // A pair without '=' comes back with '=' and an empty value, which
        // parses the same; so does everything else. The client escapes bytes
        // the body may have carried bare, so the encoded lengths may triple.
        const FormParseResult again = ParseForm(Reencode(parsed.fields), roomy);
        FUZZ_REQUIRE(again.ok);
        FUZZ_REQUIRE(SameFields(parsed.fields, again.fields));
    } else {
        FUZZ_REQUIRE(!parsed.message.empty() && !parsed.messageEnglish.empty());
    }

    const AnalysisFormResult analysis = ParseAnalysisForm(body);
    if (analysis.ok) {
        FUZZ_REQUIRE(parsed.ok);
        FUZZ_REQUIRE(analysis.form.channelA.size() == kWaveSamples);
        FUZZ_REQUIRE(analysis.form.channelB.size() == kWaveSamples);
        FUZZ_REQUIRE(analysis.form.trend.size() <= kMaxTrendPoints);
    } else {
        FUZZ_REQUIRE(!analysis.message.empty() && !analysis.messageEnglish.empty());
    }

    // The body as the client would encode arbitrary field values.
    std::vector<FormField> sent(3);
    sent[0].name = "data";
    sent[1].name = "data1";
    sent[2].name = "data2";
    const std::size_t third = size / 3;
    sent[0].value.assign(body.substr(0, third));
    sent[1].value.assign(body.substr(third, third));
    sent[2].value.assign(body.substr(2 * third));
    const FormParseResult back = ParseForm(Reencode(sent), roomy);
    FUZZ_REQUIRE(back.ok);
    FUZZ_REQUIRE(SameFields(sent, back.fields));
    return 0;
}
