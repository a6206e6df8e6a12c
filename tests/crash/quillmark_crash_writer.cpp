// Writes sv.dat or replaces dirdata.xml over and over, or adds entries to
// the submission record, the way the program does, until it is killed: the
// crash tests kill it at random moments and check what it left behind.
//
//   quillmark_crash_writer state <sv.dat> [writes]
//   quillmark_crash_writer database <dirdata.xml> <temporary folder> [writes]
//   quillmark_crash_writer record <records.db> [writes]
//
// It writes "R" to its standard output once it is about to start, then "W"
// after every write that completed. Write n puts version 1 in place when n
// is odd and version 2 when it is even; in the record, it adds the entry of
// write n after those already there (CrashFixtures.h). With a count of
// writes it stops after that many; a failed write ends it with status 2.

#include "core/common/AtomicFile.h"
#include "core/profiles/StateFile.h"
#include "core/record/SubmissionRecord.h"
#include "core/update/DatabaseDownload.h"
#include "crash/CrashFixtures.h"
#include "support/TestHttpServer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void Say(char what)
{
    while (::write(STDOUT_FILENO, &what, 1) < 0 && errno == EINTR) { }
}

int Usage()
{
    std::fputs("usage: quillmark_crash_writer state <sv.dat> [writes]\n"
               "       quillmark_crash_writer database <dirdata.xml> <temporary folder> [writes]\n"
               "       quillmark_crash_writer record <records.db> [writes]\n",
        stderr);
    return 64;
}

long WriteCount(int argc, char** argv, int at)
{
    return argc > at ? std::atol(argv[at]) : -1;
}

int WriteStates(const std::string& path, long writes)
{
    const ProfileStore stores[] = {CrashProfileStore(1), CrashProfileStore(2)};
    const std::string names[] = {CrashSelectedName(1), CrashSelectedName(2)};
    Say('R');
    for (long write = 1; writes < 0 || write <= writes; ++write) {
        const int index = CrashVersionOfWrite(write) - 1;
        // As the main window saves its state.
        const Result written =
            WriteFileAtomically(path, StateFileBytes(stores[index], &names[index]), 0600);
        if (!written) {
            std::fprintf(stderr, "write %ld failed: %s\n", write, written.Reason().c_str());
            return 2;
        }
        Say('W');
    }
    return 0;
}

int ReplaceDatabases(const std::string& path, const std::string& temporaryFolder, long writes)
{
    TestHttpServer server;
    server.server.Get(
        "/1.xml", [body = CrashDatabase(1)](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "text/xml");
        });
    server.server.Get(
        "/2.xml", [body = CrashDatabase(2)](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "text/xml");
        });
    server.Start();

    DownloadOptions options;
    options.temporaryFolder = temporaryFolder;
    options.connectTimeout = std::chrono::seconds(5);
    options.stallTimeout = std::chrono::seconds(5);
    Say('R');
    for (long write = 1; writes < 0 || write <= writes; ++write) {
        const std::string address =
            server.Url("/" + std::to_string(CrashVersionOfWrite(write)) + ".xml");
        Result outcome;
        const int code = DownloadDatabase(address, path, options, &outcome);
        if (code != UpdateSucceeded) {
            std::fprintf(stderr, "update %ld gave %d: %s\n", write, code, outcome.Reason().c_str());
            return 2;
        }
        Say('W');
    }
    return 0;
}

int AddRecordEntries(const std::string& path, long writes)
{
    const SystemWallClock clock;
    SubmissionRecord record(clock);
    const SubmissionRecord::Opening opening = record.Open(path, "Quillmark");
    std::vector<RecordEntry> entries;
    if (!opening.result || opening.notice || !record.ReadEntries(crashRecordProfile, entries)) {
        std::fprintf(stderr, "the record did not open cleanly: %s\n",
            opening.notice ? opening.notice->text.c_str() : opening.result.Reason().c_str());
        return 2;
    }
    const long first = static_cast<long>(entries.size()) + 1;
    Say('R');
    for (long write = first; writes < 0 || write < first + writes; ++write) {
        const Result noted = record.NoteSubmit(
            crashRecordProfile, CrashRecordDirectory(write), CrashRecordAddress(write));
        if (!noted) {
            std::fprintf(stderr, "entry %ld failed: %s\n", write, noted.Reason().c_str());
            return 2;
        }
        Say('W');
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "state")
        return WriteStates(argv[2], WriteCount(argc, argv, 3));
    if (mode == "record")
        return AddRecordEntries(argv[2], WriteCount(argc, argv, 3));
    if (mode == "database" && argc > 3)
        return ReplaceDatabases(argv[2], argv[3], WriteCount(argc, argv, 4));
    return Usage();
}
