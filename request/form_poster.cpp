#include "request/form_poster.h"

#include <curl/curl.h>

#include <memory>

#include "request/request_builders.h"

namespace orvanta {
namespace {

size_t CollectPage(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

struct CurlHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

std::vector<std::string> CurlHeaderLines(const std::string& headerBlock) {
    std::vector<std::string> lines;
    for (std::string line : HeaderBlockLines(headerBlock)) {
        std::size_t colon = line.find(':');
        if (colon != std::string::npos && line.find_first_not_of(" \t", colon + 1) == std::string::npos) {
            line = line.substr(0, colon) + ";";
        }
        lines.push_back(line);
    }
    return lines;
}

bool StartPosting(std::string* error) {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) return true;
    if (error) *error = "libcurl could not be initialised";
    return false;
}

void StopPosting() { curl_global_cleanup(); }

PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body) {
    PostAnswer answer;
    std::unique_ptr<CURL, CurlHandleDeleter> handle(curl_easy_init());
    if (!handle) {
        answer.error = "libcurl could not be initialised";
        return answer;
    }
    curl_slist* raw = nullptr;
    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    std::vector<std::string> lines = CurlHeaderLines(headerBlock);
    lines.push_back("Expect:");  // send the body at once, without waiting for 100 Continue
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(raw, line.c_str());
        if (grown == nullptr) {
            curl_slist_free_all(raw);
            answer.error = "out of memory while preparing the header lines";
            return answer;
        }
        raw = grown;
    }
    headers.reset(raw);

    static const char kEmpty[] = "";
    char errorText[CURL_ERROR_SIZE] = {0};
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 600L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "orvanta-query/1.0.0");
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.empty() ? kEmpty : reinterpret_cast<const char*>(body.data()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, CollectPage);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer.page);

    CURLcode result = curl_easy_perform(h);
    if (result != CURLE_OK) {
        answer.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
        return answer;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.transported = true;
    return answer;
}

}  // namespace orvanta
