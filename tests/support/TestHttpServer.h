#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

// An HTTP server on 127.0.0.1 and a free port, for one test. Add handlers to
// `server` before Start(); the server stops when the object goes.
class TestHttpServer
{
public:
    TestHttpServer()
    {
        // One request a connection: a browser's idle keep-alive connection
        // would hold Stop() up for seconds.
        server.set_keep_alive_max_count(1);
    }
    ~TestHttpServer() { Stop(); }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    void Start()
    {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    void Stop()
    {
        if (!thread.joinable())
            return;
        server.stop();
        thread.join();
    }

    std::string Url(const std::string& path = "") const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    // Answers GET `path` with a fixed HTML page.
    void Page(const std::string& path, std::string html)
    {
        server.Get(
            path, [html = std::move(html)](const httplib::Request&, httplib::Response& response) {
                response.set_content(html, "text/html; charset=utf-8");
            });
    }

    httplib::Server server;
    int port = 0;

private:
    std::thread thread;
};
