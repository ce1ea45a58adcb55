// riffdump's results database, each against a baseline in the same run:
// - `riffdump --report --db` over 2,000 small files (0.1 s of 48 kHz stereo each) against
//   `riffdump --report --json` over the same list, whole processes;
// - the same on the 600 MB 24-bit file: the report's throughput with and without --db;
// - `riffdump --merge` of 4 shard databases of 100,000 files each against copying the four
//   files (`cp`), and against copying their rows into one database with plain SQL.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/BenchWaveFile.h"
#include "bench/WholeProcess.h"
#include "cli/ResultsDatabase.h"

namespace {

namespace fs = std::filesystem;

const fs::path Folder = fs::temp_directory_path() / "riffscope-bench-db";

// 2,000 small files and their list, written once.
std::string SmallFiles() {
    const fs::path list = Folder / "small.txt";
    if (fs::exists(list))
        return list.string();
    fs::create_directories(Folder / "small");
    std::ofstream names(list);
    for (int f = 0; f < 2000; ++f) {
        std::vector<std::pair<std::int16_t, std::int16_t>> frames;
        for (int i = 0; i < 4800; ++i)
            frames.push_back({std::int16_t((i * (f + 1)) % 20000 - 10000), std::int16_t(i % 300)});
        const TBytes bytes = TWaveBytes()
                                 .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 16))
                                 .Chunk("data", TWaveBytes::Frames(frames))
                                 .Bytes();
        const fs::path name = Folder / "small" / ("take" + std::to_string(f) + ".wav");
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        names << name.string() << "\n";
    }
    return list.string();
}

void Run(benchmark::State& state, std::vector<std::string> arguments, const std::string& db = {}) {
    for (auto _ : state) {
        if (!db.empty())
            fs::remove(db);
        RunToEnd(arguments, "/dev/null");
    }
}

void BM_Baseline_ReportJsonSmallFiles(benchmark::State& state) {
    Run(state, {RIFFDUMP_PATH, "--report", "--json", "--files-from", SmallFiles()});
}
void BM_ReportDbSmallFiles(benchmark::State& state) {
    const std::string db = (Folder / "small.db").string();
    Run(state, {RIFFDUMP_PATH, "--report", "--db", db, "--files-from", SmallFiles()}, db);
}
void BM_Baseline_ReportLargeFile(benchmark::State& state) {
    const std::string file = BigFile(Frames24, 24, false);
    WarmUp(file);
    Run(state, {RIFFDUMP_PATH, "--report", file});
}
void BM_ReportDbLargeFile(benchmark::State& state) {
    const std::string file = BigFile(Frames24, 24, false);
    WarmUp(file);
    const std::string db = (Folder / "large.db").string();
    Run(state, {RIFFDUMP_PATH, "--report", "--db", db, file}, db);
}

// A shard database of `files` files as a report writes them: two chunks, two channels, eight
// rules and three metadata rows a file. Written once.
std::string ShardDatabase(int shard, int files) {
    const fs::path name = Folder / ("shard" + std::to_string(shard) + ".db");
    if (fs::exists(name))
        return name.string();
    fs::create_directories(Folder);
    const fs::path part = name.string() + ".part";
    fs::remove(part);
    {
        TResultsDatabase db(part.string());
        TFileRecord record;
        record.Status = "wsOk";
        record.Facts.IsWave = true;
        record.Facts.Container = "RIFF";
        record.Facts.HasFormat = record.Facts.HasData = true;
        record.Facts.Format.Encoding = sePcm;
        record.Facts.Format.Channels = 2;
        record.Facts.Format.SampleRate = 48000;
        record.Facts.Format.BitsPerSample = 24;
        record.Facts.Frames = 480000;
        record.Facts.Chunks = {{"fmt ", 12, 16, false, {}}, {"data", 36, 2880000, false, {}}};
        record.Metadata = {
            {"LIST", "INAM", "Take"}, {"LIST", "IART", "Someone"}, {"bext", "Version", "1"}};
        TQualityReport report;
        report.Measured = true;
        report.Md5.Computed = TMd5{};
        report.Levels.Channels.resize(2);
        for (int r = 0; r < 8; ++r)
            report.Rules.push_back({"level.clipping",
                                    svWarning,
                                    vdPass,
                                    "No clipped runs of 3 or more samples at full scale.",
                                    {}});
        record.Report = report;
        for (int f = 0; f < files; ++f) {
            record.Path =
                "/archive/shard" + std::to_string(shard) + "/take" + std::to_string(f) + ".wav";
            record.Size = 2880044 + std::uint64_t(f);
            record.MtimeNs = 1700000000000000000 + f;
            db.Write(record);
        }
    }
    fs::rename(part, name);
    return name.string();
}

std::vector<std::string> Shards() {
    std::vector<std::string> shards;
    for (int s = 0; s < 4; ++s)
        shards.push_back(ShardDatabase(s, 100000));
    return shards;
}

void BM_MergeShards(benchmark::State& state) {
    std::vector<std::string> arguments = {RIFFDUMP_PATH, "--merge",
                                          (Folder / "merged.db").string()};
    for (const std::string& shard : Shards())
        arguments.push_back(shard);
    for (const std::string& shard : Shards())
        WarmUp(shard);
    Run(state, arguments, (Folder / "merged.db").string());
}
void BM_Baseline_CopyShardFiles(benchmark::State& state) {
    std::vector<std::string> arguments = {"/bin/cp"};
    for (const std::string& shard : Shards())
        arguments.push_back(shard);
    fs::create_directories(Folder / "copies");
    arguments.push_back((Folder / "copies").string());
    for (const std::string& shard : Shards())
        WarmUp(shard);
    Run(state, arguments);
}
// The rows copied into one fresh database with nothing but INSERT ... SELECT.
void BM_Baseline_CopyShardRows(benchmark::State& state) {
    const std::string out = (Folder / "rows.db").string();
    std::string sql;
    for (const std::string& shard : Shards()) {
        sql += "ATTACH '" + shard + "' AS s; BEGIN;";
        for (const char* table : {"files", "chunks", "channels", "rules", "metadata"})
            sql += std::string("CREATE TABLE IF NOT EXISTS ") + table + " AS SELECT * FROM s." +
                   table + " WHERE 0; INSERT INTO " + table + " SELECT * FROM s." + table + ";";
        sql += "COMMIT; DETACH s;";
    }
    Run(state, {"/usr/bin/sqlite3", out, sql}, out);
}

} // namespace

BENCHMARK(BM_Baseline_ReportJsonSmallFiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(BM_ReportDbSmallFiles)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Baseline_ReportLargeFile)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_ReportDbLargeFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Baseline_CopyShardFiles)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Baseline_CopyShardRows)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_MergeShards)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

BENCHMARK_MAIN();
