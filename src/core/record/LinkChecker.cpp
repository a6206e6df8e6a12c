#include "core/record/LinkChecker.h"

#include "core/record/PageInspection.h"
#include "core/record/PageText.h"
#include "core/record/WebAddress.h"

#include <curl/curl.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

const char* const userAgent = "Mozilla/5.0 (compatible; Quillmark link check)";
// How often the cancel flag is looked at while transfers wait.
constexpr int cancelPollMs = 50;

bool IsCancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

void InitialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct MultiDeleter
{
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};

bool IsHtmlType(std::string_view type)
{
    std::string lower(type.substr(0, type.find(';')));
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    lower.erase(std::remove(lower.begin(), lower.end(), ' '), lower.end());
    return lower.empty() || lower == "text/html" || lower == "application/xhtml+xml";
}

// The charset a Content-Type names; "" for none.
std::string CharsetOf(std::string_view type)
{
    std::string lower(type);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t at = lower.find("charset=");
    if (at == std::string::npos)
        return {};
    std::string charset = lower.substr(at + 8);
    charset = charset.substr(0, charset.find(';'));
    charset.erase(std::remove(charset.begin(), charset.end(), '"'), charset.end());
    charset.erase(std::remove(charset.begin(), charset.end(), ' '), charset.end());
    return charset;
}

std::string MegabytesText(std::size_t bytes)
{
    const std::size_t megabytes = bytes >> 20;
    if (megabytes << 20 == bytes)
        return std::to_string(megabytes) + " MB";
    return std::to_string(bytes) + " bytes";
}

// One page on its way.
struct Transfer
{
    std::unique_ptr<CURL, EasyDeleter> handle;
    const LinkCheckTarget* target = nullptr;
    std::string site;
    std::string body;
    std::size_t maxBytes = 0;
    const std::atomic<bool>* cancel = nullptr;
    bool tooLarge = false;
    std::string refusedType; // the Content-Type of a body that is not HTML
};

std::size_t OnBody(char* data, std::size_t, std::size_t size, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    if (IsCancelled(transfer.cancel))
        return 0;
    // Only a page that is there is read; the status says the rest.
    long status = 0;
    curl_easy_getinfo(transfer.handle.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300)
        return size;
    if (transfer.body.empty()) {
        // The headers of the final answer are in: a body that is no page
        // is not worth its bytes.
        const char* type = nullptr;
        curl_easy_getinfo(transfer.handle.get(), CURLINFO_CONTENT_TYPE, &type);
        if (type && !IsHtmlType(type)) {
            transfer.refusedType = type;
            return 0;
        }
    }
    if (transfer.body.size() + size > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.body.append(data, size);
    return size;
}

int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return IsCancelled(static_cast<Transfer*>(context)->cancel) ? 1 : 0;
}

std::string ReasonOf(CURLcode code, const Transfer& transfer, std::size_t maxBytes)
{
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return "too large (over " + MegabytesText(maxBytes) + ")";
    if (!transfer.refusedType.empty())
        return "not HTML (" + transfer.refusedType + ")";
    switch (code) {
    case CURLE_COULDNT_CONNECT:
        return "connection refused";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "host not found";
    case CURLE_OPERATION_TIMEDOUT:
        return "timed out";
    case CURLE_TOO_MANY_REDIRECTS:
        return "redirect loop";
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "not a web address";
    default:
        return curl_easy_strerror(code);
    }
}

} // namespace

LinkCheck LinkCheckReport::ToLinkCheck(RecordTime time) const
{
    LinkCheck check {time, result, reason};
    if (check.detail.empty() && !titleFound && result != LinkResult::PageGone)
        check.detail = "the article title is not on the page";
    return check;
}

LinkChecker::LinkChecker(LinkCheckOptions options)
    : options(std::move(options))
{
    InitialiseCurl();
}

bool LinkChecker::Check(const std::vector<LinkCheckTarget>& targets,
    const std::string& articleTitle, const std::string& webAddress, const Finished& finished,
    const std::atomic<bool>* cancel) const
{
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    std::deque<const LinkCheckTarget*> waiting;
    for (const LinkCheckTarget& target : targets)
        waiting.push_back(&target);
    std::map<CURL*, std::unique_ptr<Transfer>> running;
    std::map<std::string, std::size_t> perSite;

    const auto report = [&](LinkCheckReport result) {
        if (finished)
            finished(result);
    };
    const auto start = [&](const LinkCheckTarget& target, const std::string& site) {
        auto transfer = std::make_unique<Transfer>();
        transfer->handle.reset(curl_easy_init());
        transfer->target = &target;
        transfer->site = site;
        transfer->maxBytes = options.maxPageBytes;
        transfer->cancel = cancel;
        CURL* curl = transfer->handle.get();
        curl_easy_setopt(curl, CURLOPT_URL, target.address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
        curl_easy_setopt(curl, CURLOPT_AUTOREFERER, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(options.pageTimeout.count()));
        curl_easy_setopt(
            curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxPageBytes));
        curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
        curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer.get());
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, transfer.get());
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        if (curl_multi_add_handle(multi.get(), curl) != CURLM_OK) {
            report({target.key, target.address, {}, 0, LinkResult::Unreachable,
                "the transfer could not be started", false});
            return;
        }
        ++perSite[site];
        running.emplace(curl, std::move(transfer));
    };
    // Starts what waits, in order, as far as the limits allow; a page whose
    // site is busy lets later pages of other sites go first.
    const auto startWaiting = [&] {
        for (auto next = waiting.begin();
             next != waiting.end() && running.size() < options.maxTransfers;) {
            const auto address = WebAddress::Parse((*next)->address);
            if (!address) {
                report({(*next)->key, (*next)->address, {}, 0, LinkResult::Unreachable,
                    "not a web address", false});
                next = waiting.erase(next);
                continue;
            }
            const std::string site = address->SiteKey();
            if (perSite[site] >= std::max<std::size_t>(options.maxPerSite, 1)) {
                ++next;
                continue;
            }
            const LinkCheckTarget& target = **next;
            next = waiting.erase(next);
            start(target, site);
        }
    };
    const auto complete = [&](CURL* curl, CURLcode code) {
        const auto found = running.find(curl);
        if (found == running.end())
            return;
        std::unique_ptr<Transfer> transfer = std::move(found->second);
        running.erase(found);
        curl_multi_remove_handle(multi.get(), curl);
        --perSite[transfer->site];
        // A page cut short by the cancel has nothing to say.
        if (IsCancelled(cancel))
            return;

        LinkCheckReport result;
        result.key = transfer->target->key;
        result.address = transfer->target->address;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
        const char* effective = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
            result.finalAddress = effective;
        const char* type = nullptr;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);

        if (code != CURLE_OK) {
            result.reason = ReasonOf(code, *transfer, options.maxPageBytes);
        } else if (result.httpStatus == 404 || result.httpStatus == 410) {
            result.result = LinkResult::PageGone;
        } else if (result.httpStatus < 200 || result.httpStatus >= 300) {
            result.reason = "HTTP " + std::to_string(result.httpStatus);
        } else if (type && !IsHtmlType(type)) {
            result.reason = "not HTML (" + std::string(type) + ")";
        } else {
            const std::string html =
                SanitisedUtf8(transfer->body, type ? CharsetOf(type) : std::string());
            const PageInspection page = InspectPage(html,
                result.finalAddress.empty() ? result.address : result.finalAddress, articleTitle,
                webAddress);
            result.titleFound = page.titleFound;
            result.result = page.link.value_or(LinkResult::Missing);
            if (!page.read) {
                result.result = LinkResult::Unreachable;
                result.reason = "nested too deeply to read";
            }
        }
        report(std::move(result));
    };

    startWaiting();
    while (!running.empty()) {
        if (IsCancelled(cancel))
            break;
        int active = 0;
        if (curl_multi_perform(multi.get(), &active) != CURLM_OK)
            break;
        int left = 0;
        bool completed = false;
        while (const CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
            if (message->msg == CURLMSG_DONE) {
                complete(message->easy_handle, message->data.result);
                completed = true;
            }
        }
        if (completed) {
            startWaiting();
            continue;
        }
        if (curl_multi_poll(multi.get(), nullptr, 0, cancelPollMs, nullptr) != CURLM_OK)
            break;
    }
    const bool done = running.empty() && waiting.empty();
    for (const auto& [curl, transfer] : running)
        curl_multi_remove_handle(multi.get(), curl);
    running.clear();
    return done && !IsCancelled(cancel);
}
