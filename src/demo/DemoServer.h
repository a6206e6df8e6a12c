#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib
struct DemoSite;

// The stand-in for the maker's web server: serves the files of a web site
// folder (start page, user guide, support page, update feed, the demo
// directories' pages) and answers the demo directories' form submissions.
// It listens on its own thread from Start until Stop.
class DemoServer
{
public:
    explicit DemoServer(std::filesystem::path root);
    ~DemoServer();

    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    // Serves the files of `folder` under the path `prefix`, which begins and
    // ends with "/" ("/ckeditor/"), ahead of the web site folder's own. A
    // folder that is missing when the server starts is left out. Call before
    // Start.
    void Mount(std::string prefix, std::filesystem::path folder);

    // Listens on `host` and `port`; port 0 picks a free port. False, with
    // the reason in `error` when given, if the folder is missing, the
    // address cannot be bound (the port is in use, for one) or the server
    // already runs.
    bool Start(const std::string& host, int port, std::string* error = nullptr);
    // The port listened on; 0 while not running.
    int Port() const { return listeningPort; }
    bool IsRunning() const { return server != nullptr; }
    // Stops listening and waits for the listener thread. Safe to call twice.
    void Stop();

private:
    void Route();
    void ServeFile(const httplib::Request& request, httplib::Response& response) const;
    void ServeSubmission(
        const DemoSite& site, const httplib::Request& request, httplib::Response& response) const;

    struct MountedFolder
    {
        std::string prefix;
        std::filesystem::path folder;
        std::filesystem::path served; // `folder` made canonical by Start; empty if missing
    };

    std::filesystem::path root;
    std::filesystem::path servedRoot; // `root` made canonical by Start
    std::vector<MountedFolder> mounts;
    std::unique_ptr<httplib::Server> server;
    std::thread listener;
    std::atomic<bool> listenerDone {false};
    int listeningPort = 0;
};
