#include "request/form_poster.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "request/http_address.h"
#include "request/request_builders.h"

namespace orvanta {
namespace {

struct PageSink {
    std::string* page;
    std::size_t limit;
    bool overflow = false;
};

size_t CollectPage(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<PageSink*>(target);
    const size_t n = size * count;
    if (sink->page->size() + n > sink->limit) {
        sink->overflow = true;
        return 0;  // ends the transfer
    }
    sink->page->append(data, n);
    return n;
}

struct CurlHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// One request of a redirect chain: the status, the page and the absolute
// Location when the answer is a redirect; *error says why none came.
HttpExchange PerformOnce(const std::string& url, bool post, curl_slist* headers, const std::vector<std::uint8_t>& body,
                     const PostLimits& limits, const RequestDeadline& deadline, std::string* page,
                     std::string* error) {
    HttpExchange exchange;
    const long leftMs = deadline.LeftMs();
    if (leftMs == 0) {
        *error = NoCompleteAnswer(limits);
        return exchange;
    }
    std::unique_ptr<CURL, CurlHandleDeleter> handle(curl_easy_init());
    if (!handle) {
        *error = "libcurl could not be initialised";
        return exchange;
    }
    static const char kEmpty[] = "";
    char errorText[CURL_ERROR_SIZE] = {0};
    PageSink sink{page, limits.maxPageBytes};
    page->clear();
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects are judged here, one at a time, never by libcurl.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, std::min(limits.connectSeconds * 1000, leftMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, leftMs);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "orvanta-query/1.0.0");
    if (post) {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.empty() ? kEmpty : reinterpret_cast<const char*>(body.data()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    } else {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, CollectPage);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

    const CURLcode result = curl_easy_perform(h);
    if (sink.overflow) {
        *error = "the answer page is larger than " + std::to_string(limits.maxPageBytes / (1024 * 1024)) +
                         " MiB; it is not taken";
        page->clear();
        return exchange;
    }
    if (result == CURLE_OPERATION_TIMEDOUT) {
        curl_off_t connected = 0;
        curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
        *error = connected == 0 && limits.connectSeconds * 1000 <= leftMs
                     ? "could not connect within " + std::to_string(limits.connectSeconds) + " s"
                     : NoCompleteAnswer(limits);
        return exchange;
    }
    if (result != CURLE_OK) {
        *error = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
        return exchange;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &exchange.status);
    char* location = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location != nullptr) {
        exchange.location = location;
    }
    exchange.ok = true;
    return exchange;
}

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

PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body,
                    const PostLimits& limits) {
    PostAnswer answer;
    curl_slist* raw = nullptr;
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
    const std::unique_ptr<curl_slist, CurlListDeleter> headers(raw);

    const RequestDeadline deadline(limits.totalSeconds);
    const std::string noPage = FollowRedirects(
        url,
        [&](const std::string& address, bool post) {
            return PerformOnce(address, post, headers.get(), body, limits, deadline, &answer.page, &answer.error);
        },
        &answer.status);
    return SettledAnswer(std::move(answer), noPage);
}

}  // namespace orvanta
