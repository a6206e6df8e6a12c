#include "core/update/DatabaseDownload.h"

#include "core/common/AtomicFile.h"
#include "core/directorydb/XmlLoader.h"

#include <curl/curl.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const userAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)";
// A cancel is told apart from other failures by its error number, ECANCELED.
const char* const cancelledReason = "the update was cancelled";
const char* const webPageTags[] = {"<HTML>", "<html>"};
constexpr std::size_t longestTag = 6;

// How often a running transfer looks at its cancel flag at the least.
constexpr int cancelPollMs = 50;

// The one client handle of the process, with the multi handle that runs
// its transfers: together they keep connections and name look-ups between
// updates. Updates never overlap; the mutex makes sure.
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
    CURLM* multi = nullptr;

private:
    ClientHandle()
    {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        handle = curl_easy_init();
        multi = curl_multi_init();
    }
};

// The download's copy in the shared temporary folder. Whatever has that
// name already, a file of an earlier update or a link that someone else
// put there, is removed, and the file is made anew: only this call can
// have created it, links are not followed, and only the user may read it.
class TemporaryFile
{
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() { Close(); }

    Result Create(const std::string& path)
    {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return Result::SystemFailure("cannot remove the old " + path, errno);
        descriptor = ::open(
            path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
        // The umask may only have taken bits away; the mode is exact now.
        if (descriptor < 0 || ::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0) {
            const Result failure = Result::SystemFailure("cannot create " + path, errno);
            Close();
            return failure;
        }
        return {};
    }

    bool Write(const char* data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(descriptor, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    bool Close()
    {
        if (descriptor < 0)
            return true;
        const bool closed = ::close(descriptor) == 0;
        descriptor = -1;
        return closed;
    }

private:
    int descriptor = -1;
};

bool IsCancelled(const DownloadControl& control)
{
    return control.cancel && control.cancel->load();
}

// Runs the transfer of `curl` to its end. libcurl's own progress calls come
// only about once a second while nothing arrives; this loop looks at the
// cancel flag every few milliseconds as well, so a cancel takes at once.
CURLcode Perform(CURLM* multi, CURL* curl, const DownloadControl& control)
{
    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_OK;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running > 0 && IsCancelled(control)) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (running > 0 && curl_multi_poll(multi, nullptr, 0, cancelPollMs, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

struct Transfer
{
    BodyCheck check;
    TemporaryFile temporary;
    std::string body;
    const DownloadControl& control;
    std::string temporaryPath;
    Result written;
    curl_off_t reportedNow = -1;
    curl_off_t reportedTotal = -1;
};

std::size_t OnBody(char* data, std::size_t, std::size_t size, void* context)
{
    // Returning less than `size` ends the transfer with a write error.
    auto& transfer = *static_cast<Transfer*>(context);
    if (IsCancelled(transfer.control) || !transfer.check.Feed(data, size))
        return 0;
    if (!transfer.temporary.Write(data, size)) {
        transfer.written = Result::SystemFailure("cannot write " + transfer.temporaryPath, errno);
        return 0;
    }
    transfer.body.append(data, size);
    return size;
}

// libcurl calls this often while bytes arrive: a non-zero answer ends the
// transfer.
int OnProgress(void* context, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(context);
    if (IsCancelled(transfer.control))
        return 1;
    if (transfer.control.progress &&
        (now != transfer.reportedNow || total != transfer.reportedTotal)) {
        transfer.reportedNow = now;
        transfer.reportedTotal = total;
        transfer.control.progress(std::uint64_t(std::max<curl_off_t>(now, 0)),
            std::uint64_t(std::max<curl_off_t>(total, 0)));
    }
    return 0;
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
    UpdateUrl result;
    std::string rest = url;
    for (const char* scheme : {"http", "https"}) {
        const std::string prefix = std::string(scheme) + "://";
        if (url.rfind(prefix, 0) == 0) {
            result.scheme = scheme;
            rest = url.substr(prefix.size());
        }
    }
    const std::size_t slash = rest.find('/');
    result.host = rest.substr(0, slash);
    result.path = slash == std::string::npos ? "/" : rest.substr(slash);
    return result;
}

bool IsServerUrlSupported(const std::string& url)
{
    for (const char* prefix : {"http://", "https://"}) {
        const std::size_t length = std::strlen(prefix);
        if (url.compare(0, length, prefix) == 0)
            return url.size() > length && url[length] != '/';
    }
    return false;
}

Message UnsupportedServerMessage(const std::string& url)
{
    return {"The address of the maker's server, \"" + url +
            "\", is not supported: it must start with http:// or https://. The article "
            "directory database cannot be updated.",
        "Error", MessageIcon::Error};
}

std::optional<Message> UpdateFailureMessage(int exitCode)
{
    switch (exitCode) {
    case UpdateInternalError:
        return Message {"Internal error", "Error", MessageIcon::Error};
    case UpdateFailed:
        return Message {"The update could not be retrieved", "Error", MessageIcon::Exclamation};
    default:
        return std::nullopt;
    }
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

namespace {

// Everything DownloadDatabase does between checking its arguments and
// choosing its exit code.
Result FetchDatabase(const std::string& updateUrl, const std::string& databasePath,
    const DownloadOptions& options, const DownloadControl& control)
{
    std::error_code error;
    const std::filesystem::path folder = options.temporaryFolder.empty()
        ? std::filesystem::temp_directory_path(error)
        : std::filesystem::path(options.temporaryFolder);
    const std::string temporaryPath = (folder / "ddupdate.xml").string();

    if (IsCancelled(control))
        return Result::Failure(cancelledReason, ECANCELED);

    Transfer transfer {BodyCheck(options.maxBodyBytes), {}, {}, control, temporaryPath, {}};
    if (Result created = transfer.temporary.Create(temporaryPath); !created)
        return created;

    const UpdateUrl target = SplitUpdateUrl(updateUrl);
    const std::string address = target.scheme + "://" + target.host + target.path;

    ClientHandle& client = ClientHandle::Instance();
    const std::lock_guard<std::mutex> lock(client.mutex);
    if (!client.handle)
        client.handle = curl_easy_init();
    if (!client.multi)
        client.multi = curl_multi_init();
    if (!client.handle || !client.multi)
        return Result::Failure("no HTTP client");
    CURL* curl = client.handle;
    curl_easy_reset(curl);

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(options.stallTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(options.transferTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode result = Perform(client.multi, curl, control);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    const int closeError = transfer.temporary.Close() ? 0 : errno;

    if (IsCancelled(control))
        return Result::Failure(cancelledReason, ECANCELED);
    if (!transfer.written)
        return transfer.written;
    if (transfer.check.IsWebPage())
        return Result::Failure("the server sent a web page");
    if (transfer.check.IsTooLarge())
        return Result::Failure(
            "the body is larger than " + std::to_string(options.maxBodyBytes) + " bytes");
    if (result != CURLE_OK)
        return Result::Failure(std::string("the download failed: ") +
            (errorText[0] ? errorText : curl_easy_strerror(result)));
    if (status < 200 || status > 299)
        return Result::Failure("the server answered with HTTP status " + std::to_string(status));
    if (closeError != 0)
        return Result::SystemFailure("cannot write " + temporaryPath, closeError);
    if (transfer.body.empty())
        return Result::Failure("the body is empty");

    pugi::xml_document document;
    const XmlLoadResult loaded =
        LoadXmlBuffer(transfer.body.data(), transfer.body.size(), document);
    if (!loaded)
        return Result::Failure("the body is no XML document: " + loaded.Reason());
    if (std::strcmp(document.document_element().name(), "r") != 0)
        return Result::Failure("the body is no directory database");

    // The last moment a cancel still leaves everything as it was.
    if (IsCancelled(control))
        return Result::Failure(cancelledReason, ECANCELED);
    return WriteFileAtomically(databasePath, transfer.body, PermissionsOf(databasePath));
}

} // namespace

int DownloadDatabase(const std::string& updateUrl, const std::string& databasePath,
    const DownloadOptions& options, Result* outcome, const DownloadControl& control)
{
    if (updateUrl.empty() || databasePath.empty()) {
        if (outcome)
            *outcome = Result::Failure("no update address or database path");
        return UpdateInternalError;
    }
    const Result result = FetchDatabase(updateUrl, databasePath, options, control);
    if (outcome)
        *outcome = result;
    if (result)
        return UpdateSucceeded;
    return result.ErrorNumber() == ECANCELED ? UpdateCancelled : UpdateFailed;
}
