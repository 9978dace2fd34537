// The pages the window makes itself (start page, local pages, the local
// analysis, the report) as files for the browser control, which shows a
// page from a file: %TEMP%\STEM-PID.html, one file per stem and process,
// rewritten for each page.
#pragma once

#include <string>

namespace orvanta {

// Writes `html` to the stem's file and gives its path; empty when it could
// not be written.
std::wstring WritePageFile(const wchar_t* stem, const std::string& html);

// The file:/// address of a page file for the control.
std::string PageFileAddress(const std::wstring& path);

}  // namespace orvanta
