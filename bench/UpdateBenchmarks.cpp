// How soon a database update ends once it is cancelled: from the cancel to
// the return of DownloadDatabase, while the server has not answered, and
// while the body trickles in.

#include "core/update/DatabaseDownload.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

void CancelDuringTheUpdate(benchmark::State& state, const std::string& path)
{
    TestHttpServer server;
    std::atomic<int> asked {0};
    std::atomic<int> answering {0};
    server.server.Get("/silent", [&](const httplib::Request&, httplib::Response& response) {
        ++answering;
        ++asked;
        server.AwaitRelease();
        response.set_content("<r/>", "text/xml");
        --answering;
    });
    server.Trickle("/trickle", "<r>" + std::string(1000, ' '), 10);
    server.Hold();
    server.Start();

    TemporaryDirectory folder;
    const std::string databasePath = folder.Write("dirdata.xml", "<r/>");
    DownloadOptions options;
    options.temporaryFolder = folder.path.string();
    for (auto _ : state) {
        std::atomic<bool> cancel {false};
        std::atomic<std::uint64_t> received {0};
        DownloadControl control;
        control.cancel = &cancel;
        control.progress = [&](std::uint64_t now, std::uint64_t) { received = now; };
        auto download = std::async(std::launch::async, [&] {
            return DownloadDatabase(server.Url(path), databasePath, options, nullptr, control);
        });
        // Cancelled once the request is in and, for the trickle, bytes came.
        while (path == "/silent" ? asked == 0 : received == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto start = std::chrono::steady_clock::now();
        cancel = true;
        const int code = download.get();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (code != UpdateCancelled)
            state.SkipWithError("the update was not cancelled");
        // The held answer goes before the next request comes.
        server.Release();
        while (answering > 0 || server.trickling > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.Hold();
        asked = 0;
    }
    server.Release();
}

void BM_CancelWhileTheServerIsSilent(benchmark::State& state)
{
    CancelDuringTheUpdate(state, "/silent");
}
BENCHMARK(BM_CancelWhileTheServerIsSilent)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CancelWhileTheBodyTrickles(benchmark::State& state)
{
    CancelDuringTheUpdate(state, "/trickle");
}
BENCHMARK(BM_CancelWhileTheBodyTrickles)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
