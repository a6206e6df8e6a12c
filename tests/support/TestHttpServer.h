#pragma once

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
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

    // Binds a free port and serves from a thread of its own. A server that
    // cannot bind or does not come up is an error of the test's machine,
    // never a server that quietly refuses every request.
    void Start()
    {
        port = server.bind_to_any_port("127.0.0.1");
        if (port <= 0)
            throw std::runtime_error("the test server could not bind a port on 127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!server.is_running())
            throw std::runtime_error("the test server did not start");
    }

    void Stop()
    {
        Release();
        if (!thread.joinable())
            return;
        stopping = true;
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

    // Answers GET `path` slowly: `piece` every `intervalMs` milliseconds.
    // With a `length` the body has that size and says so; without one it
    // never ends. Either way it stops when the client goes away.
    void Trickle(const std::string& path, std::string piece, int intervalMs, std::size_t length = 0)
    {
        server.Get(path,
            [this, piece = std::move(piece), intervalMs, length](
                const httplib::Request&, httplib::Response& response) {
                ++trickling;
                const auto release = [this](bool) { --trickling; };
                const auto send = [this, piece, intervalMs](
                                      httplib::DataSink& sink, std::size_t size) {
                    if (stopping || !sink.write(piece.data(), std::min(size, piece.size())))
                        return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
                    return true;
                };
                if (length == 0) {
                    response.set_chunked_content_provider(
                        "text/xml",
                        [send, piece](std::size_t, httplib::DataSink& sink) {
                            return send(sink, piece.size());
                        },
                        release);
                } else {
                    response.set_content_provider(
                        length, "text/xml",
                        [send](std::size_t, std::size_t left, httplib::DataSink& sink) {
                            return send(sink, left);
                        },
                        release);
                }
            });
    }

    // Between Hold() and Release(), handlers that call AwaitRelease() wait:
    // a slow answer that comes exactly when the test lets it, however slowly
    // either side runs, rather than after a pause that a busy machine may
    // outlast. Stop() releases them too.
    void Hold()
    {
        const std::lock_guard<std::mutex> lock(holdMutex);
        held = true;
    }
    void Release()
    {
        {
            const std::lock_guard<std::mutex> lock(holdMutex);
            held = false;
        }
        holdEnded.notify_all();
    }
    void AwaitRelease()
    {
        std::unique_lock<std::mutex> lock(holdMutex);
        holdEnded.wait(lock, [this] { return !held; });
    }

    httplib::Server server;
    int port = 0;
    // How many trickling answers are being sent right now.
    std::atomic<int> trickling {0};

private:
    std::mutex holdMutex;
    std::condition_variable holdEnded;
    bool held = false;
    std::atomic<bool> stopping {false};
    std::thread thread;
};
