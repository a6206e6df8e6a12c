// Speed of the core on large inputs: a directory database of 10,000
// directories and a state file of 1,000 profiles with 200 sent marks each.

#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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

} // namespace
