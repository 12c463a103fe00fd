#include "web/WebAccess.h"

#include "web/CancelToken.h"
#include "web/Cookies.h"
#include "web/HeaderBlock.h"
#include "web/Url.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <vector>

namespace pellorin::web {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What arrives while the request runs.
struct Transfer {
    ByteArray body;
    std::vector<std::string> headerLines; // of the latest response only
};

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + bytes > kMaxBodyBytes)
        return 0; // ends the transfer with a write error
    transfer->body.append(data, bytes);
    return bytes;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    // Every response of a redirect chain (and any interim 1xx answer) passes through here;
    // only the last one counts.
    if (line.starts_with("HTTP/"))
        transfer->headerLines.clear();
    if (!line.empty())
        transfer->headerLines.emplace_back(line);
    return bytes;
}

std::unique_ptr<curl_slist, HeaderListDeleter> HeaderList(std::string_view block)
{
    curl_slist* list = nullptr;
    auto append = [&list](const std::string& line) {
        if (curl_slist* longer = curl_slist_append(list, line.c_str()))
            list = longer;
    };
    for (const Text& line : SplitKeepingEmpty(block, "\r\n")) {
        if (!line.empty())
            append(line);
    }
    append("Expect:"); // no "Expect: 100-continue" of libcurl's own before a body
    return std::unique_ptr<curl_slist, HeaderListDeleter>(list);
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines) {
        if (!joined.empty())
            joined += "\r\n";
        joined += line;
    }
    return joined.substr(0, joined.find('\0'));
}

// Runs the transfer on a multi handle of its own, so that a cancel can wake its wait.
CURLcode Perform(CURL* easy, CancelToken* cancel)
{
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_FAILED_INIT;

    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        CURLM* wakeable = multi.get();
        const CancelRegistration registration(cancel, [wakeable] { curl_multi_wakeup(wakeable); });
        for (int running = 1;;) {
            if (cancel && cancel->IsCancelled())
                break;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                break;
            if (running == 0) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                    if (message->msg == CURLMSG_DONE)
                        result = message->data.result;
                }
                break;
            }
            if (curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr) != CURLM_OK)
                break;
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

} // namespace

void InitializeWebAccess()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

ByteArray WebAccess(WebRequest& request)
{
    InitializeWebAccess();
    const bool https = IsHttpsUrl(request.url);
    const Text host = UrlHost(request.url);
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy || host.empty())
        return {}; // the request cannot be opened: nothing is changed

    CURL* handle = easy.get();
    const std::string target =
        (https ? "https://" : "http://") + host + ":" + std::to_string(UrlPort(request.url)) + UrlPath(request.url);
    const Text agent = UserAgentOf(request.headers);
    CompleteHeaderBlock(request.headers, request.url, request.cookies);
    const auto headerList = HeaderList(request.headers);

    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str()); // a User-Agent line of the block wins
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.noRedirect ? 0L : 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count()));
    // An empty proxy means direct, as does none; the environment's proxy is not used either.
    const bool viaProxy = request.proxy && !request.proxy->empty() && !https;
    const std::string proxy = viaProxy ? "http://" + *request.proxy : std::string();
    curl_easy_setopt(handle, CURLOPT_PROXY, proxy.c_str());
    if (!request.caFile.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, request.caFile.c_str());

    if (request.method != 0) {
        if (request.postBytes.empty())
            request.postBytes = request.postText;
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.postBytes.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.postBytes.data());
        if (request.method != 1)
            curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, "GET");
    } else {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    }

    Transfer transfer;
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);

    const bool succeeded = Perform(handle, request.cancel) == CURLE_OK;
    request.rawHeaders = succeeded ? JoinLines(transfer.headerLines) : Text();
    ReadResponseHeaders(request.rawHeaders, request.location, request.newCookies, request.cookies);
    return succeeded ? std::move(transfer.body) : ByteArray();
}

} // namespace pellorin::web
