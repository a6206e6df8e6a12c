// quillmark-demo-server: serves the demo web site (the start page, the user
// guide, the support page, the update feed and the demo article directories)
// on 127.0.0.1 until it receives SIGINT or SIGTERM.

#include "demo/DemoServer.h"
#include "demo/ServerOptions.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <string>
#include <vector>

#ifndef QUILLMARK_DEMO_WWW
#error "QUILLMARK_DEMO_WWW must name the demo web site folder"
#endif

namespace {

const char kProgram[] = "quillmark-demo-server";
const char kHost[] = "127.0.0.1";

// The folder of the running program; empty when it cannot be told.
std::string ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

} // namespace

int main(int argc, char* argv[])
{
    ServerOptions options;
    // Installed, the program serves the installed site; from the build
    // tree, the source tree's.
    options.root = DefaultSiteFolder(ProgramFolder(), QUILLMARK_DEMO_WWW);
    std::string error;
    if (!ParseServerArguments(std::vector<std::string>(argv + 1, argv + argc), options, &error)) {
        std::cerr << kProgram << ": " << error << " (" << ServerUsage() << ")" << std::endl;
        return 2;
    }
    if (options.showHelp) {
        std::cout << ServerUsage() << std::endl;
        return 0;
    }

    // The signals are taken with sigwait below; block them before the
    // server's threads start so that none of those threads receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    DemoServer server(options.root);
    server.Mount("/ckeditor/", options.ckeditor);
    if (!server.Start(kHost, options.port, &error)) {
        std::cerr << kProgram << ": " << error << std::endl;
        return 1;
    }
    std::cout << kProgram << ": serving " << options.root << " at http://" << kHost << ':'
              << server.Port() << "/updates/ (Ctrl+C stops it)" << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    return 0;
}
