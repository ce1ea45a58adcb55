// riffdump's results database: the split into shards, the rows against the JSON of the same
// files, runs killed part-way and resumed, shards merged into what one run writes, and the
// databases it refuses.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <sqlite3.h>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "cli/ShardSplit.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TRun Riffdump(const TTempDir& dir, const std::vector<std::string>& arguments,
              const TRunOptions& options = {}) {
    return RunProgram(RIFFDUMP_PATH, dir, arguments, options);
}

// Stereo 16-bit files of `frames` frames, each a little different; their names in a list.
std::string WriteFiles(const TTempDir& dir, int count, int frames) {
    std::string list;
    for (int f = 0; f < count; ++f) {
        std::vector<std::pair<std::int16_t, std::int16_t>> samples;
        for (int i = 0; i < frames; ++i)
            samples.push_back({std::int16_t((i * (f + 3)) % 20000 - 10000),
                               std::int16_t(f == 3 && i < 10 ? 32767 : i % 300)});
        list += dir.Write("take" + std::to_string(f) + ".wav",
                          TWaveBytes()
                              .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 16))
                              .Chunk("data", TWaveBytes::Frames(samples))
                              .Bytes()) +
                "\n";
    }
    std::ofstream(dir.File("list.txt")) << list;
    return dir.File("list.txt");
}

// Every row of a table as text, in the order of its key.
std::vector<std::string> Rows(const std::string& database, const std::string& table) {
    sqlite3* db = nullptr;
    // Read-write: a run killed mid-transaction leaves a journal that the next opener rolls back.
    sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::vector<std::string> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, ("SELECT * FROM " + table + " ORDER BY 1, 2").c_str(), -1,
                           &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                row += (text ? reinterpret_cast<const char*>(text) : "NULL") + std::string("|");
            }
            rows.push_back(row);
        }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

const char* const Tables[] = {"files", "chunks", "channels", "rules", "metadata"};

void ExpectSameRows(const std::string& a, const std::string& b) {
    for (const char* table : Tables)
        EXPECT_EQ(Rows(a, table), Rows(b, table)) << table;
}

TEST(ResultsDatabase, ShardsSplitTheListOnceAndAlike) {
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i)
        names.push_back("/archive/reel " + std::to_string(i) + ".wav");
    for (std::uint64_t count : {1u, 2u, 3u, 4u, 7u, 64u}) {
        std::multiset<std::string> seen;
        for (std::uint64_t index = 0; index < count; ++index)
            for (const std::string& name : NamesInShard(names, {index, count}))
                seen.insert(name);
        EXPECT_EQ(seen, std::multiset<std::string>(names.begin(), names.end())) << count;
    }
    // A name's part depends on the name alone: the same in a shorter list.
    const std::vector<std::string> shorter(names.begin() + 100, names.begin() + 200);
    for (const std::string& name : NamesInShard(shorter, {1, 4}))
        EXPECT_EQ(ShardOf(name, 4), 1u);
    for (const char* wrong : {"4/4", "5/4", "-1/4", "1/0", "1", "a/b", "1/4x", ""})
        EXPECT_FALSE(ParseShard(wrong)) << wrong;
    EXPECT_EQ(ParseShard("3/4")->Index, 3u);
}

// The database holds what the JSON of the same run says: format, MD5, chunks, channels.
TEST(ResultsDatabase, RowsAgreeWithTheJson) {
    TTempDir dir;
    const std::string list = WriteFiles(dir, 4, 2000);
    const TRun run =
        Riffdump(dir, {"--report", "--json", "--db", dir.File("r.db"), "--files-from", list});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const std::vector<std::string> files = Rows(dir.File("r.db"), "files");
    ASSERT_EQ(files.size(), 4u);
    std::size_t at = 0;
    for (int f = 0; f < 4; ++f) {
        const std::size_t end = run.Out.find('\n', at);
        const std::string json = run.Out.substr(at, end - at);
        at = end + 1;
        const std::string md5 = json.substr(json.find("\"computed\":\"") + 12, 32);
        const std::string& row = files[std::size_t(f)];
        EXPECT_NE(row.find("|" + md5 + "|"), std::string::npos) << row;
        EXPECT_NE(row.find("|RIFF|pcm|1|2|48000|16|"), std::string::npos) << row;
    }
    EXPECT_EQ(Rows(dir.File("r.db"), "chunks").size(), 8u) << "fmt and data of each";
    EXPECT_EQ(Rows(dir.File("r.db"), "channels").size(), 8u) << "two channels each";
    // take3 clips: its clipping rule is in the rules table as a warning.
    bool clipping = false;
    for (const std::string& row : Rows(dir.File("r.db"), "rules"))
        clipping = clipping || (row.find("take3.wav|") != std::string::npos &&
                                row.find("|level.clipping|warning|warn|") != std::string::npos);
    EXPECT_TRUE(clipping);
    const TRun csv = Riffdump(dir, {"--db", dir.File("r.db"), "--format", "csv"});
    EXPECT_EQ(csv.Out.substr(0, 25), "path,size,mtime_ns,status");
    EXPECT_EQ(std::count(csv.Out.begin(), csv.Out.end(), '\n'), 5);
}

// Shards merged give the rows one run over the whole list gives; a run killed at any point
// and run again with --resume ends with every file once, and the same rows.
TEST(ResultsDatabase, ShardsMergeAndKilledRunsResume) {
    TTempDir dir;
    const std::string list = WriteFiles(dir, 30, 96000);
    ASSERT_EQ(
        Riffdump(dir, {"--report", "--db", dir.File("one.db"), "--files-from", list}).ExitStatus,
        0);

    std::vector<std::string> merge = {"--merge", dir.File("merged.db")};
    for (int i = 0; i < 4; ++i) {
        const std::string part = dir.File("part" + std::to_string(i) + ".db");
        ASSERT_EQ(Riffdump(dir, {"--report", "--shard", std::to_string(i) + "/4", "--db", part,
                                 "--files-from", list})
                      .ExitStatus,
                  0);
        merge.push_back(part);
    }
    ASSERT_EQ(Riffdump(dir, merge).ExitStatus, 0);
    ExpectSameRows(dir.File("one.db"), dir.File("merged.db"));

    const TRun whole = Riffdump(dir, {"--report", "--db", dir.File("t.db"), "--files-from", list});
    for (double fraction : {0.05, 0.3, 0.7}) {
        const std::string db = dir.File("killed" + std::to_string(int(fraction * 100)) + ".db");
        const pid_t pid = fork();
        if (pid == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(RIFFDUMP_PATH, RIFFDUMP_PATH, "--report", "--db", db.c_str(), "--files-from",
                  list.c_str(), nullptr);
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(whole.Seconds * fraction));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        const std::size_t before = Rows(db, "files").size();
        const TRun resumed =
            Riffdump(dir, {"--report", "--resume", "--db", db, "--files-from", list});
        EXPECT_EQ(resumed.ExitStatus, 0) << resumed.Err;
        // A file complete before the kill gets no status line again.
        EXPECT_EQ(std::size_t(std::count(resumed.Err.begin(), resumed.Err.end(), '\n')),
                  30 - before)
            << fraction;
        ExpectSameRows(dir.File("one.db"), db);
    }
}

TEST(ResultsDatabase, DatabasesThatCannotBeUsedAreRefusedUntouched) {
    TTempDir dir;
    const std::string list = WriteFiles(dir, 3, 1000);
    // Not a database: refused, its bytes kept.
    dir.Write("notes.db", TBytes{'n', 'o', 't', 'e', 's'});
    TRun run = Riffdump(dir, {"--report", "--db", dir.File("notes.db"), "--files-from", list});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_NE(run.Err.find("file is not a database"), std::string::npos) << run.Err;
    EXPECT_EQ(TTempDir::Read(dir.File("notes.db")), "notes");
    // Shards and merges out of range or of nothing.
    EXPECT_EQ(Riffdump(dir, {"--shard", "4/4", "--files-from", list}).ExitStatus, 2);
    EXPECT_EQ(Riffdump(dir, {"--resume", "--files-from", list}).ExitStatus, 2)
        << "--resume needs --db";
    EXPECT_EQ(Riffdump(dir, {"--merge", dir.File("m.db"), dir.File("missing.db")}).ExitStatus, 2);
    EXPECT_EQ(Riffdump(dir, {"--merge", dir.File("m.db"), dir.File("notes.db")}).ExitStatus, 2);

    // Read-only for the user running it: refused.
    ASSERT_EQ(Riffdump(dir, {"--db", dir.File("r.db"), "--files-from", list}).ExitStatus, 0);
    chmod(dir.File("").c_str(), 0755);
    chmod(dir.File("r.db").c_str(), 0444);
    chmod(list.c_str(), 0644);
    run = Riffdump(dir, {"--db", dir.File("r.db"), dir.File("take0.wav")}, {nullptr, 0, true});
    if (run.ExitStatus != 126) {
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_NE(run.Err.find("read-only"), std::string::npos) << run.Err;
    }

    // Two runs on one database take turns: every file once, nothing lost.
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stderr);
        execl(RIFFDUMP_PATH, RIFFDUMP_PATH, "--report", "--db", dir.File("both.db").c_str(),
              "--files-from", list.c_str(), nullptr);
        _exit(127);
    }
    run = Riffdump(dir, {"--report", "--db", dir.File("both.db"), "--files-from", list});
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Rows(dir.File("both.db"), "files").size(), 3u);

    // A disk that fills: the run stops with the reason, the database keeps whole files.
    const std::string disk = dir.File("disk");
    std::filesystem::create_directory(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=96k") == 0) {
        const std::string big = WriteFiles(dir, 40, 1000);
        run = Riffdump(dir, {"--report", "--db", disk + "/full.db", "--files-from", big});
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_NE(run.Err.find("full"), std::string::npos) << run.Err;
        for (const std::string& file : Rows(disk + "/full.db", "files")) {
            const std::string path = file.substr(0, file.find('|'));
            int chunks = 0;
            for (const std::string& chunk : Rows(disk + "/full.db", "chunks"))
                chunks += chunk.rfind(path + "|", 0) == 0;
            EXPECT_EQ(chunks, 2) << path;
        }
        umount2(disk.c_str(), MNT_DETACH);
    }
}

} // namespace
