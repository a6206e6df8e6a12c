#include "update/DatabaseDownload.h"

#include "common/AtomicFile.h"
#include "directorydb/XmlLoader.h"

#include <curl/curl.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sys/stat.h>

namespace {

const char* const userAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)";
const char* const webPageTags[] = {"<HTML>", "<html>"};
constexpr std::size_t longestTag = 6;

// The one client handle of the process: it keeps connections and name
// look-ups between updates. Updates never overlap; the mutex makes sure.
class ClientHandle
{
public:
    static ClientHandle& Instance()
    {
        static ClientHandle instance;
        return instance;
    }

    std::mutex mutex;
    CURL* handle = nullptr;

private:
    ClientHandle()
    {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        handle = curl_easy_init();
    }
};

struct Transfer
{
    BodyCheck check;
    std::ofstream temporary;
    std::string body;
};

std::size_t OnBody(char* data, std::size_t, std::size_t size, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    if (!transfer.check.Feed(data, size))
        return 0; // refuses the rest: the transfer ends with a write error
    transfer.temporary.write(data, static_cast<std::streamsize>(size));
    transfer.body.append(data, size);
    return size;
}

int Fail(std::string* reason, const std::string& why)
{
    if (reason)
        *reason = why;
    return UpdateFailed;
}

unsigned PermissionsOf(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return 0644;
}

} // namespace

UpdateUrl SplitUpdateUrl(const std::string& url)
{
    std::string rest = url.rfind("http://", 0) == 0 ? url.substr(7) : url;
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos)
        return {rest, "/"};
    return {rest.substr(0, slash), rest.substr(slash)};
}

bool BodyCheck::Feed(const char* data, std::size_t count)
{
    if (webPage || tooLarge)
        return false;
    size += count;
    if (size > maxBytes) {
        tooLarge = true;
        return false;
    }

    // The tail of the body before this chunk, then the chunk: a tag that
    // a chunk boundary cut in two is found all the same.
    std::string window = tail;
    window.append(data, count);
    for (const char* tag : webPageTags) {
        if (window.find(tag) != std::string::npos) {
            webPage = true;
            return false;
        }
    }
    tail = window.substr(window.size() - std::min(window.size(), longestTag - 1));
    return true;
}

int DownloadDatabase(const std::string& updateUrl, const std::string& databasePath,
    const DownloadOptions& options, std::string* reason)
{
    if (updateUrl.empty() || databasePath.empty()) {
        if (reason)
            *reason = "no update address or database path";
        return UpdateInternalError;
    }

    std::error_code error;
    const std::filesystem::path folder = options.temporaryFolder.empty()
        ? std::filesystem::temp_directory_path(error)
        : std::filesystem::path(options.temporaryFolder);
    const std::string temporaryPath = (folder / "ddupdate.xml").string();

    Transfer transfer {BodyCheck(options.maxBodyBytes), {}, {}};
    transfer.temporary.open(temporaryPath, std::ios::binary | std::ios::trunc);
    if (!transfer.temporary)
        return Fail(reason, "cannot create " + temporaryPath);

    const UpdateUrl target = SplitUpdateUrl(updateUrl);
    const std::string address = "http://" + target.host + target.path;

    ClientHandle& client = ClientHandle::Instance();
    const std::lock_guard<std::mutex> lock(client.mutex);
    if (!client.handle)
        client.handle = curl_easy_init();
    if (!client.handle)
        return Fail(reason, "no HTTP client");
    CURL* curl = client.handle;
    curl_easy_reset(curl);

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(options.stallTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    transfer.temporary.close();

    if (transfer.check.IsWebPage())
        return Fail(reason, "the server sent a web page");
    if (transfer.check.IsTooLarge())
        return Fail(
            reason, "the body is larger than " + std::to_string(options.maxBodyBytes) + " bytes");
    if (result != CURLE_OK)
        return Fail(reason,
            std::string("the download failed: ") +
                (errorText[0] ? errorText : curl_easy_strerror(result)));
    if (status < 200 || status > 299)
        return Fail(reason, "the server answered with HTTP status " + std::to_string(status));
    if (!transfer.temporary)
        return Fail(reason, "cannot write " + temporaryPath);
    if (transfer.body.empty())
        return Fail(reason, "the body is empty");

    pugi::xml_document document;
    const XmlLoadResult loaded =
        LoadXmlBuffer(transfer.body.data(), transfer.body.size(), document);
    if (!loaded)
        return Fail(reason, "the body is no XML document: " + loaded.Message());
    if (std::strcmp(document.document_element().name(), "r") != 0)
        return Fail(reason, "the body is no directory database");

    std::string replaceError;
    if (!WriteFileAtomically(
            databasePath, transfer.body, PermissionsOf(databasePath), &replaceError))
        return Fail(reason, replaceError);
    return UpdateSucceeded;
}
