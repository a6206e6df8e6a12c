#pragma once

#include "TestData.h"
#include "core/common/Clock.h"
#include "demo/DemoServer.h"
#include "shell/app/MainWindow.h"
#include "support/TemporaryDirectory.h"

#include <cstdint>
#include <memory>
#include <string>

// What the tests that walk the demo in the real main window share.

// The demo site, served by the test on a free port of 127.0.0.1, with
// Debian's CKEditor where the demo's pages look for it.
struct TestDemoSite
{
    DemoServer server {std::string(QUILLMARK_DEMO_DIR) + "/www"};
    // The site's address once it runs, "http://127.0.0.1:<port>".
    std::string base;

    bool Start()
    {
        server.Mount("/ckeditor/", "/usr/share/javascript/ckeditor");
        if (!server.Start("127.0.0.1", 0))
            return false;
        base = "http://127.0.0.1:" + std::to_string(server.Port());
        return true;
    }
};

// A watch clock that stands still until the test moves it past the
// watch's delay.
class ManualClock : public Clock
{
public:
    std::uint32_t Milliseconds() const override { return now; }
    std::uint32_t now = 1000;
};

// The demo's own database, its directories at the test's demo server at
// `base` instead of the demo's usual address.
inline std::string DemoDatabaseAt(const std::string& base)
{
    std::string database =
        TemporaryDirectory::Read(std::string(QUILLMARK_DEMO_DIR) + "/dirdata.xml");
    const std::string demoBase = "http://127.0.0.1:8731";
    for (auto at = database.find(demoBase); at != std::string::npos; at = database.find(demoBase))
        database.replace(at, demoBase.size(), base);
    return database;
}

// The main window's settings for a walk through the demo at `base`, with
// its data in `folder` and its watch on `clock`.
inline MainWindow::Settings DemoWindowSettings(
    const std::string& base, const TemporaryDirectory& folder, std::shared_ptr<const Clock> clock)
{
    MainWindow::Settings settings = MainWindow::Settings::defaults();
    settings.serverUrl = QString::fromStdString(base);
    settings.dataFolder = QString::fromStdString(folder.path.string());
    settings.clock = std::move(clock);
    return settings;
}
