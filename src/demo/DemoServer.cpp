#include "demo/DemoServer.h"

#include "demo/DemoSites.h"
#include "demo/StaticFiles.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Submissions are articles; a megabyte leaves room for long ones.
constexpr std::size_t kMaxPayload = 1024 * 1024;
// Workers for requests; every connection a browser keeps open holds one.
constexpr std::size_t kWorkers = 32;

const char kHtml[] = "text/html; charset=utf-8";

bool ReadFile(const fs::path& path, std::string& contents)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    if (file.bad())
        return false;
    contents = buffer.str();
    return true;
}

// An error page. It starts with "<html>" in lower case on purpose: the
// database update refuses any body that holds that tag, so a missing feed is
// never taken for a database.
std::string ErrorPage(int status)
{
    const char* title = status == 404 ? "Not found"
        : status == 413               ? "Too large"
        : status >= 500               ? "Server error"
                                      : "Bad request";
    const char* text = status == 404 ? "There is no page at this address."
        : status == 413              ? "The submission is larger than this site accepts."
        : status >= 500              ? "The server could not answer this request."
                                     : "The server could not understand this request.";
    return std::string("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") + title +
        "</title></head>\n<body><h1>" + title + "</h1><p>" + text + "</p></body></html>\n";
}

FormFields ReceivedFields(const httplib::Request& request)
{
    FormFields fields;
    for (const auto& [name, value] : request.params)
        fields.emplace_back(name, value);
    for (const auto& [name, part] : request.files) {
        if (part.filename.empty())
            fields.emplace_back(name, part.content);
    }
    return fields;
}

} // namespace

DemoServer::DemoServer(fs::path root)
    : root(std::move(root))
{
}

DemoServer::~DemoServer()
{
    Stop();
}

void DemoServer::Mount(std::string prefix, fs::path folder)
{
    mounts.push_back({std::move(prefix), std::move(folder), {}});
}

bool DemoServer::Start(const std::string& host, int port, std::string* error)
{
    auto fail = [error](std::string reason) {
        if (error)
            *error = std::move(reason);
        return false;
    };
    if (server)
        return fail("the server is already running");

    std::error_code fsError;
    servedRoot = fs::canonical(root, fsError);
    if (fsError || !fs::is_directory(servedRoot, fsError))
        return fail("no web site folder at " + root.string());
    for (MountedFolder& mount : mounts) {
        mount.served = fs::canonical(mount.folder, fsError);
        if (fsError || !fs::is_directory(mount.served, fsError))
            mount.served.clear();
    }

    server = std::make_unique<httplib::Server>();
    Route();

    int boundPort = -1;
    if (port == 0)
        boundPort = server->bind_to_any_port(host);
    else if (port > 0 && port <= 65535 && server->bind_to_port(host, port))
        boundPort = port;
    if (boundPort <= 0) {
        server.reset();
        return fail(
            "cannot listen on " + host + ":" + std::to_string(port) + " (is the port in use?)");
    }

    listenerDone = false;
    listener = std::thread([this] {
        server->listen_after_bind();
        listenerDone = true;
    });
    // Stop only works once the listener runs, so wait for it to start (or
    // to give up at once).
    while (!server->is_running() && !listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (listenerDone) {
        listener.join();
        server.reset();
        return fail("cannot listen on " + host + ":" + std::to_string(boundPort));
    }
    listeningPort = boundPort;
    return true;
}

void DemoServer::Stop()
{
    if (!server)
        return;
    server->stop();
    if (listener.joinable())
        listener.join();
    server.reset();
    listeningPort = 0;
}

void DemoServer::Route()
{
    // httplib's default lets a second server bind a port that is in use
    // (SO_REUSEPORT); this server wants the port to itself.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // A browser keeps several connections open between pages, and each one
    // holds a worker while it idles: with the library's few workers, the
    // next page waited for an idle connection to time out.
    server->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server->set_keep_alive_timeout(2);
    server->set_payload_max_length(kMaxPayload);
    server->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
            response.set_content(ErrorPage(response.status), kHtml);
    });
    server->set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            response.status = 500;
            response.set_content(ErrorPage(500), kHtml);
        });
    server->set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
        // Pages change while people work on the demo; never answer from a cache.
        response.set_header("Cache-Control", "no-cache");
    });

    for (const DemoSite& site : DemoSites()) {
        server->Post("/" + site.folder + "/submit",
            [this, &site](const httplib::Request& request, httplib::Response& response) {
                ServeSubmission(site, request, response);
            });
    }
    server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        ServeFile(request, response);
    });
}

void DemoServer::ServeFile(const httplib::Request& request, httplib::Response& response) const
{
    StaticTarget target;
    const MountedFolder* mounted = nullptr;
    for (const MountedFolder& mount : mounts) {
        if (!mount.served.empty() &&
            request.path.compare(0, mount.prefix.size(), mount.prefix) == 0)
            mounted = &mount;
    }
    if (mounted) {
        // The path below the mount keeps its leading "/".
        target =
            ResolveStaticPath(mounted->served, request.path.substr(mounted->prefix.size() - 1));
        if (target.kind == StaticTarget::Kind::Redirect)
            target.location = EncodeUrlPath(request.path + "/");
    } else {
        target = ResolveStaticPath(servedRoot, request.path);
    }
    std::string contents;
    switch (target.kind) {
    case StaticTarget::Kind::File:
        if (ReadFile(target.file, contents)) {
            response.set_content(contents, ContentTypeFor(target.file).c_str());
            return;
        }
        break;
    case StaticTarget::Kind::Redirect:
        response.set_redirect(target.location, 301);
        return;
    case StaticTarget::Kind::NotFound:
        break;
    }
    response.status = 404;
    response.set_content(ErrorPage(404), kHtml);
}

void DemoServer::ServeSubmission(
    const DemoSite& site, const httplib::Request& request, httplib::Response& response) const
{
    const SubmissionReply reply = ReplyToSubmission(site, ReceivedFields(request));
    std::string pageTemplate;
    ReadFile(servedRoot / site.folder / "reply.html", pageTemplate);
    response.set_content(ComposeReplyPage(pageTemplate, site.name, reply.html), kHtml);
}
