#pragma once
// riffdump's results as an SQLite database a user can query: a table of files (one row per
// input) and tables of its chunks, channels, rules and metadata keyed by the file's path, with
// a schema_version in `meta`. Each file's rows are written in one transaction, so a run
// stopped at any instant leaves only whole files; a file already there is replaced.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/FileRecord.h"

struct sqlite3;

// A database that cannot be used: the reason in words.
class TDatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TResultsDatabase {
  public:
    static constexpr int SchemaVersion = 1;

    // Opens (or makes) the database at `path` with the schema; throws TDatabaseError when it
    // is not an SQLite database, is of another schema, cannot be written, or stays locked by
    // another run longer than a minute.
    explicit TResultsDatabase(const std::string& path);
    ~TResultsDatabase();
    TResultsDatabase(const TResultsDatabase&) = delete;
    TResultsDatabase& operator=(const TResultsDatabase&) = delete;

    // The files already complete: path, size and modification time as recorded.
    struct TStamp {
        std::string Path;
        std::uint64_t Size;
        std::int64_t MtimeNs;
        auto operator<=>(const TStamp&) const = default;
    };
    std::set<TStamp> CompleteFiles();

    // Writes one file's rows, replacing what was there of that path. Files are committed a
    // few hundred at a time (or every second), each whole within its transaction: a run
    // stopped at any instant leaves whole files, and the disk is synchronised once a batch.
    void Write(const TFileRecord& record);
    // Commits the files written since the last commit. A batch is also committed once it is a
    // second old, by a thread of its own, so a file that takes long to read (a slow stream)
    // does not hold the files before it back.
    void Flush();

    // Joins the databases `inputs` into this one: every input's files and their rows, as one
    // run over all their files writes them (SQL: ATTACH and INSERT ... SELECT).
    void Merge(const std::vector<std::string>& inputs);

    // The files table as CSV: a header line, then a row per file in the order of the paths.
    std::string FilesCsv();

  private:
    class TStatement;
    void Execute(const std::string& sql);
    // The prepared statement of `sql`, kept for the next file.
    TStatement& Statement(const std::string& sql);
    sqlite3* Db = nullptr;
    std::string Path;
    std::map<std::string, std::unique_ptr<TStatement>> Prepared;
    void FlushLocked();
    void CommitOldBatches();
    bool InBatch = false;
    int BatchFiles = 0;
    std::chrono::steady_clock::time_point BatchStart;
    // The connection is used under this lock: by the writer and by the committing thread.
    std::mutex Lock;
    std::condition_variable Wake;
    bool Closing = false;
    std::string CommitFailure; // a batch the committing thread could not commit
    std::thread Committer;
};

// The columns of the files table, in order (also the CSV's header).
const std::vector<std::string>& FileColumns();
