// The answer page of an analysis request, and the server's other pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "server/analysis_form.h"
#include "server/page_language.h"

namespace orvanta::server {

// A time value as local time of this process (its TZ), e.g.
// "2013-12-06 12:00:00 CST"; the bare number when the C library cannot
// convert it.
std::string FormatLocalTime(std::int32_t seconds);

// "E:" for a drive letter's character code, "无卡" for 1 (no card), and
// "未知" with the code for anything else (in English on request).
std::string DriveLabel(std::int32_t driveCode, PageLanguage language = PageLanguage::kChinese);

// The complete analysis page: times, device record, waveform (the period
// analysed, samples 1 to 96, marked), the spectrum to order 40, THD, RMS and
// crest factor of each channel, the power figures, and the RMS trend. UTF-8,
// self-contained. The THD figures stand in elements with the ids "thd-b" and
// "thd-a", the RMS figures in "rms-b" and "rms-a", e.g.
// <span id="thd-b">3.21%</span>; the crest factors in "crest-b" and
// "crest-a", the power figures in "p", "s", "q1", "pf", "dpf" and "k-factor".
// Without a card (drive code 1, "no-card-note") or without a record (record
// time 0 or below, "no-record-note") the samples are placeholders: the page
// says so and shows the times and the device record, but no figures.
std::string RenderAnswerPage(const AnalysisForm& form, PageLanguage language = PageLanguage::kChinese);

// Error pages: the title, an explanation, and for a form fault the field.
std::string RenderErrorPage(int status, std::string_view title, std::string_view message,
                            std::string_view field = {}, PageLanguage language = PageLanguage::kChinese);

// The status page of GET /.
std::string RenderStatusPage(std::string_view listenUrl, std::uint64_t requestsServed,
                             PageLanguage language = PageLanguage::kChinese);

}  // namespace orvanta::server
