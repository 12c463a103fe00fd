#pragma once

// A libcurl easy handle for tests against loopback servers: a real HTTP/1.1 client that keeps its connection open
// between requests, never uses a proxy from the environment and never follows redirects.
#include <curl/curl.h>

#include <stdexcept>
#include <string>

namespace pellorin::test {

class CurlClient {
public:
    struct Result {
        CURLcode code = CURLE_OK;
        long status = 0;
        std::string head; // the raw header block, status line included
        std::string body;
        long connects = 0; // new connections this transfer opened: 0 when it reused one

        // The value of the first header line with that name (exact name), "" without one.
        std::string Header(const std::string& name) const
        {
            const std::string key = "\r\n" + name + ": ";
            const auto at = head.find(key);
            if (at == std::string::npos)
                return {};
            const auto from = at + key.size();
            return head.substr(from, head.find("\r\n", from) - from);
        }
    };

    CurlClient()
        : m_curl(curl_easy_init())
    {
        if (m_curl == nullptr)
            throw std::runtime_error("curl_easy_init failed");
    }
    ~CurlClient() { curl_easy_cleanup(m_curl); }
    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;

    Result Get(const std::string& url, long timeoutMs = 20'000)
    {
        Result result;
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(m_curl, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(m_curl, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &Append);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &result.body);
        curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &Append);
        curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, &result.head);
        result.code = curl_easy_perform(m_curl);
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &result.status);
        curl_easy_getinfo(m_curl, CURLINFO_NUM_CONNECTS, &result.connects);
        return result;
    }

private:
    static std::size_t Append(char* data, std::size_t size, std::size_t count, void* target)
    {
        static_cast<std::string*>(target)->append(data, size * count);
        return size * count;
    }

    CURL* m_curl;
};

} // namespace pellorin::test
