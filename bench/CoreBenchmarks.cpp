// Speed of the core on large inputs: a directory database of 10,000
// directories, a state file of 1,000 profiles with 200 sent marks each, a
// submission record of 10,000 entries, and link checks of 200 published
// pages on 20 local sites.

#include "RecordRows.h"
#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "core/record/LinkChecker.h"
#include "core/record/SubmissionRecord.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int directoryCount = 10000;

std::string DirectoryName(int i)
{
    return "Directory " + std::to_string(i);
}

// A database file of 10,000 directories with 10 items and 2 variables each,
// written once per run.
const std::string& DatabasePath()
{
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() /
            ("quillmark-bench-" + std::to_string(::getpid()) + ".xml");
        std::ofstream out(file, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n";
        for (int i = 0; i < directoryCount; ++i) {
            out << "<directory name=\"" << DirectoryName(i) << "\" submiturl=\"http://dir" << i
                << ".test/submit.php?cat=CATID&amp;s=SUBID\" onsubmit=\"Thank you for "
                   "submitting\">\n"
                << "<variable name=\"CATID\"><cond category=\"Small Business\" value=\"12\"/>"
                << "<cond category=\"Marketing and Advertising\" value=\"7\"/><cond value=\"1\"/>"
                << "</variable>\n"
                << "<variable name=\"SUBID\"><cond subcategory=\"Home\" value=\"3\"/>"
                << "<cond value=\"0\"/></variable>\n";
            const char* values[] = {"#title#", "#desc#", "#url#", "#email#", "#fname#", "#lname#",
                "#keywords#", "#password#", "CATID", "#cat# / #subcat#"};
            for (int item = 0; item < 10; ++item)
                out << "<item name=\"field" << item << "\" index=\"0\" type=\"edit\" value=\""
                    << values[item] << "\"/>\n";
            out << "</directory>\n";
        }
        out << "</r>\n";
        std::atexit([] { std::remove(DatabasePath().c_str()); });
        return file.string();
    }();
    return path;
}

void BM_LoadDatabase(benchmark::State& state)
{
    MessageLog log;
    DirectoryDatabase database(log);
    for (auto _ : state)
        benchmark::DoNotOptimize(database.Load(DatabasePath()));
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMillisecond);

class LoadedDatabase : public benchmark::Fixture
{
public:
    void SetUp(const benchmark::State&) override
    {
        if (!database.HasDocument())
            database.Load(DatabasePath());
    }

    MessageLog log;
    DirectoryDatabase database {log};
    const std::string last = DirectoryName(directoryCount - 1);
};

BENCHMARK_DEFINE_F(LoadedDatabase, AllNames)(benchmark::State& state)
{
    std::vector<std::string> names;
    for (auto _ : state) {
        database.GetDirectoryNames(names);
        benchmark::DoNotOptimize(names.data());
    }
    state.counters["names"] = double(names.size());
}
BENCHMARK_REGISTER_F(LoadedDatabase, AllNames)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LoadedDatabase, SubmitPageOfLastDirectory)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(database.GetDirectorySubmitPage(last, "Small Business", "Home"));
}
BENCHMARK_REGISTER_F(LoadedDatabase, SubmitPageOfLastDirectory)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LoadedDatabase, ItemsOfLastDirectory)(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<DirectoryItem> items;
        database.GetDirectoryItems(last, "Small Business", "Home", items);
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK_REGISTER_F(LoadedDatabase, ItemsOfLastDirectory)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LoadedDatabase, MarkerOfLastDirectory)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(database.GetDirectoryOnSubmit(last));
}
BENCHMARK_REGISTER_F(LoadedDatabase, MarkerOfLastDirectory)->Unit(benchmark::kMillisecond);

ProfileStore LargeStore()
{
    ProfileStore store;
    for (int p = 0; p < 1000; ++p) {
        Profile profile;
        profile.name = "Profile " + std::to_string(p);
        profile.url = "http://example.test/articles/" + std::to_string(p);
        profile.articleTitle = "A title of modest length for article " + std::to_string(p);
        profile.articleContent = std::string(2000, 'c') + "\r\n" + std::string(1000, 'd');
        profile.authorInfo = "About the author,\r\nin two lines.";
        profile.email = "author@example.test";
        profile.firstName = "Ann";
        profile.lastName = "Lee";
        profile.password = "secret";
        for (int d = 0; d < 200; ++d)
            profile.sentDirectories.insert(DirectoryName(d * 37 % directoryCount));
        store.AddProfile(std::move(profile));
    }
    return store;
}

void BM_StateFileSaveAndLoad(benchmark::State& state)
{
    const ProfileStore store = LargeStore();
    const std::string selected = "Profile 0";
    const auto file = std::filesystem::temp_directory_path() /
        ("quillmark-bench-" + std::to_string(::getpid()) + ".dat");
    for (auto _ : state) {
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            WriteState(out, store, &selected);
        }
        std::ifstream in(file, std::ios::binary);
        ProfileStore loaded;
        benchmark::DoNotOptimize(ReadState(in, loaded));
    }
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
BENCHMARK(BM_StateFileSaveAndLoad)->Unit(benchmark::kMillisecond);

// The state file of 1,000 profiles read as the window reads it at start.
void BM_StateFileLoadAtStart(benchmark::State& state)
{
    const ProfileStore store = LargeStore();
    const std::string selected = "Profile 0";
    TemporaryDirectory folder;
    const std::string path = folder.Write("sv.dat", StateFileBytes(store, &selected));
    for (auto _ : state) {
        ProfileStore loaded;
        benchmark::DoNotOptimize(LoadStateFile(path, loaded, "Quillmark"));
    }
}
BENCHMARK(BM_StateFileLoadAtStart)->Unit(benchmark::kMillisecond);

// One new entry in a record file on disk: a transaction, written through
// the write-ahead log and synced, as every change of the record is.
void BM_RecordNewEntry(benchmark::State& state)
{
    TemporaryDirectory folder;
    const SystemWallClock clock;
    SubmissionRecord record(clock);
    if (!record.Open(folder.FilePath(SubmissionRecord::fileName), "Quillmark").result) {
        state.SkipWithError("the record did not open");
        return;
    }
    long entry = 0;
    for (auto _ : state) {
        const Result noted = record.NoteSubmit(
            "Garden Tips", DirectoryName(int(++entry)), "http://dir.test/submit.php?cat=12&s=3");
        if (!noted)
            state.SkipWithError(noted.Reason().c_str());
    }
}
BENCHMARK(BM_RecordNewEntry)->Unit(benchmark::kMillisecond);

// All 10,000 entries of a record (10 profiles of 1,000 directories), as the
// submissions window reads them when it opens.
void BM_RecordReadAllEntries(benchmark::State& state)
{
    TemporaryDirectory folder;
    const std::string path = folder.FilePath(SubmissionRecord::fileName);
    std::vector<std::string> profiles;
    for (int profile = 0; profile < 10; ++profile)
        profiles.push_back("Profile " + std::to_string(profile));
    if (!WriteRecordRows(path, profiles, 1000, DirectoryName)) {
        state.SkipWithError("the record did not open");
        return;
    }
    const SystemWallClock clock;
    SubmissionRecord record(clock);
    record.Open(path, "Quillmark");
    std::size_t read = 0;
    for (auto _ : state) {
        std::vector<RecordEntry> entries;
        record.ReadAllEntries(entries);
        read = entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    state.counters["entries"] = double(read);
}
BENCHMARK(BM_RecordReadAllEntries)->Unit(benchmark::kMillisecond);

long PeakResidentKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Link checks of 200 published pages on 20 local sites, 10 pages each,
// every page answering after 40 ms: with one page at a time per site and
// four in all, the pauses alone take 2 s. The peak memory of the process
// is read after the first and the last round: flat when they agree.
void BM_LinkCheck200Pages(benchmark::State& state)
{
    constexpr int sites = 20;
    constexpr int pagesPerSite = 10;
    const std::string page = "<html><body><h1>Ten Herbs for Shade</h1>" + std::string(20000, 'x') +
        "<a rel=nofollow href='http://garden.example/'>J</a></body>";
    std::vector<std::unique_ptr<TestHttpServer>> servers;
    std::vector<LinkCheckTarget> targets;
    for (int site = 0; site < sites; ++site) {
        auto server = std::make_unique<TestHttpServer>();
        server->server.Get(R"(/article/(\d+)\.html)",
            [&page](const httplib::Request&, httplib::Response& response) {
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
                response.set_content(page, "text/html");
            });
        server->Start();
        for (int article = 0; article < pagesPerSite; ++article) {
            const std::string path = "/article/" + std::to_string(article) + ".html";
            targets.push_back({std::to_string(site) + path, server->Url(path)});
        }
        servers.push_back(std::move(server));
    }
    const LinkChecker checker;
    long firstPeak = 0;
    int nofollow = 0;
    for (auto _ : state) {
        nofollow = 0;
        checker.Check(targets, "Ten Herbs for Shade", "http://garden.example/",
            [&](const LinkCheckReport& report) {
                nofollow += report.result == LinkResult::Nofollow ? 1 : 0;
            });
        if (firstPeak == 0)
            firstPeak = PeakResidentKilobytes();
    }
    state.counters["pages"] = double(nofollow);
    state.counters["peak_kb_first"] = double(firstPeak);
    state.counters["peak_kb_last"] = double(PeakResidentKilobytes());
}
BENCHMARK(BM_LinkCheck200Pages)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
