#pragma once

#include "core/common/MessageSink.h"
#include "core/common/Result.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Where an update address leads: the host (with a port, when the address
// names one) and the path to ask it for, over "http" or "https".
struct UpdateUrl
{
    std::string host;
    std::string path;
    std::string scheme = "http";
};

// Splits an update address of the form http://host/path or
// https://host/path. The scheme is recognised only at the very start and
// only in lower case; an address without one is plain http and is used
// whole. Without a slash after the host the path is "/". Nothing else is
// parsed.
UpdateUrl SplitUpdateUrl(const std::string& url);

// Whether the maker's server can be reached at `url`: it starts with
// "http://" or "https://" and names a host.
bool IsServerUrlSupported(const std::string& url);
// What the user is told when the maker's server is configured at an
// address that IsServerUrlSupported() refuses.
Message UnsupportedServerMessage(const std::string& url);

// What the user is told when an update ended with `exitCode` without
// success; nothing after a cancel.
std::optional<Message> UpdateFailureMessage(int exitCode);

// Watches a downloaded body as it arrives, chunk by chunk, for the signs of
// a web page ("<HTML>" or "<html>", also when a chunk boundary splits the
// tag) and for a body that grows past its limit.
class BodyCheck
{
public:
    explicit BodyCheck(std::size_t maxBytes)
        : maxBytes(maxBytes)
    {
    }

    // Takes the next chunk; false once the body is to be refused.
    bool Feed(const char* data, std::size_t size);

    bool IsWebPage() const { return webPage; }
    bool IsTooLarge() const { return tooLarge; }
    std::size_t Size() const { return size; }

private:
    std::size_t maxBytes;
    std::size_t size = 0;
    std::string tail; // the last bytes of the body so far, for split tags
    bool webPage = false;
    bool tooLarge = false;
};

struct DownloadOptions
{
    std::chrono::seconds connectTimeout {30};
    // A transfer that moves no byte for this long is given up.
    std::chrono::seconds stallTimeout {30};
    // The whole transfer, however slowly the bytes come, ends after this.
    std::chrono::milliseconds transferTimeout {std::chrono::minutes(10)};
    std::size_t maxBodyBytes = std::size_t(64) << 20;
    // Where "ddupdate.xml" goes; empty for the system's temporary folder.
    std::string temporaryFolder;
};

// The outcomes of an update, as the wait dialog reports them.
enum UpdateExitCode : int
{
    UpdateSucceeded = 0,
    UpdateFailed = 1,
    UpdateInternalError = -1,
    // The caller stopped the update; nothing was changed.
    UpdateCancelled = 2,
};

// How the caller of a download on another thread follows and stops it.
struct DownloadControl
{
    // Set from any thread to stop the transfer as soon as possible.
    const std::atomic<bool>* cancel = nullptr;
    // Called on the downloading thread whenever more of the body arrived:
    // the bytes received so far and the body's size, 0 while unknown.
    std::function<void(std::uint64_t received, std::uint64_t total)> progress;
};

// Downloads the database at `updateUrl` into "ddupdate.xml" in the
// temporary folder (left there afterwards; made afresh on every update, for
// the user's eyes only, and never through a link) and, only when the body is a
// complete directory database, replaces the file at `databasePath` with it
// in one step. Anything else leaves that file as it was: a failed
// connection, an HTTP status other than 2xx, a transfer that breaks off,
// stalls or outlasts its time, an empty or oversized body, a web page, a body that is not a
// directory database, a replace that fails, a cancel through `control`
// (UpdateCancelled). `outcome`, when given, receives the result, which says
// what went wrong; a cancel has the error number ECANCELED. Safe to call
// from a worker thread; one client handle serves every update of the
// process.
int DownloadDatabase(const std::string& updateUrl, const std::string& databasePath,
    const DownloadOptions& options = {}, Result* outcome = nullptr,
    const DownloadControl& control = {});
