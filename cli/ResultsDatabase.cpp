#include "cli/ResultsDatabase.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <sqlite3.h>

#include <sys/stat.h>

#include "report/AudioDigest.h"
#include "wave/WaveFormat.h"

namespace {

constexpr int BusyMs = 60000; // another run's transaction is waited for this long

const char* const Schema = R"SQL(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS files(
  path TEXT PRIMARY KEY, size INTEGER, mtime_ns INTEGER, status TEXT NOT NULL, reason TEXT,
  container TEXT, encoding TEXT, format_tag INTEGER, channels INTEGER, sample_rate INTEGER,
  bits INTEGER, valid_bits INTEGER, channel_mask INTEGER, frames INTEGER, seconds REAL,
  data_offset INTEGER, data_size INTEGER,
  md5 TEXT, md5_stored TEXT, md5_agree INTEGER,
  integrated_lufs REAL, loudness_range_lu REAL, momentary_max_lufs REAL,
  short_term_max_lufs REAL, true_peak_dbtp REAL, verdict TEXT, rules_not_passed INTEGER
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS chunks(
  path TEXT NOT NULL, ordinal INTEGER NOT NULL, id TEXT NOT NULL, offset INTEGER NOT NULL,
  size INTEGER NOT NULL, padded INTEGER NOT NULL, PRIMARY KEY(path, ordinal)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS channels(
  path TEXT NOT NULL, channel INTEGER NOT NULL, min REAL, max REAL, peak_dbfs REAL,
  rms_dbfs REAL, dc_offset REAL, crest REAL, clipped_samples INTEGER, clipped_runs INTEGER,
  silence_head_frames INTEGER, silence_tail_frames INTEGER, bits_in_use INTEGER,
  nan INTEGER, inf INTEGER, overs INTEGER, true_peak_dbtp REAL, PRIMARY KEY(path, channel)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS rules(
  path TEXT NOT NULL, ordinal INTEGER NOT NULL, rule TEXT NOT NULL, severity TEXT NOT NULL,
  verdict TEXT NOT NULL, message TEXT NOT NULL, chunk TEXT, offset INTEGER, frame INTEGER,
  channel INTEGER, PRIMARY KEY(path, ordinal)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS metadata(
  path TEXT NOT NULL, ordinal INTEGER NOT NULL, chunk TEXT NOT NULL, key TEXT NOT NULL,
  value TEXT NOT NULL, PRIMARY KEY(path, ordinal)
) WITHOUT ROWID;
)SQL";

// The tables that hold a file's rows, the files table last (its row says the file is whole).
const char* const FileTables[] = {"chunks", "channels", "rules", "metadata", "files"};

} // namespace

// A prepared statement, finalised when it goes.
class TResultsDatabase::TStatement {
  public:
    TStatement(sqlite3* db, const std::string& sql) : Db(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &Handle, nullptr) != SQLITE_OK)
            throw TDatabaseError(sqlite3_errmsg(db));
    }
    ~TStatement() { sqlite3_finalize(Handle); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Text(int at, const std::string& text) {
        sqlite3_bind_text(Handle, at, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    TStatement& Int(int at, std::int64_t value) {
        sqlite3_bind_int64(Handle, at, value);
        return *this;
    }
    TStatement& Real(int at, double value) {
        if (std::isfinite(value))
            sqlite3_bind_double(Handle, at, value);
        else
            sqlite3_bind_null(Handle, at); // the level of silence: none
        return *this;
    }
    template <typename T> TStatement& Maybe(int at, const std::optional<T>& value) {
        if (!value)
            sqlite3_bind_null(Handle, at);
        else if constexpr (std::is_floating_point_v<T>)
            Real(at, *value);
        else if constexpr (std::is_same_v<T, std::string>)
            Text(at, *value);
        else
            Int(at, std::int64_t(*value));
        return *this;
    }
    // Runs it to its end; true while it gives rows (then call again for the next).
    bool Step() {
        const int result = sqlite3_step(Handle);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            throw TDatabaseError(sqlite3_errmsg(Db));
        sqlite3_reset(Handle);
        sqlite3_clear_bindings(Handle);
        return false;
    }
    sqlite3_stmt* Handle = nullptr;

  private:
    sqlite3* Db;
};

namespace {

std::string Placeholders(int count) {
    std::string text = "?";
    for (int i = 1; i < count; ++i)
        text += ",?";
    return text;
}

std::optional<double> Finite(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

bool FileStamp(const std::string& path, std::uint64_t& size, std::int64_t& mtimeNs) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = std::uint64_t(info.st_size);
    mtimeNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

const std::vector<std::string>& FileColumns() {
    static const std::vector<std::string> Columns = {"path",
                                                     "size",
                                                     "mtime_ns",
                                                     "status",
                                                     "reason",
                                                     "container",
                                                     "encoding",
                                                     "format_tag",
                                                     "channels",
                                                     "sample_rate",
                                                     "bits",
                                                     "valid_bits",
                                                     "channel_mask",
                                                     "frames",
                                                     "seconds",
                                                     "data_offset",
                                                     "data_size",
                                                     "md5",
                                                     "md5_stored",
                                                     "md5_agree",
                                                     "integrated_lufs",
                                                     "loudness_range_lu",
                                                     "momentary_max_lufs",
                                                     "short_term_max_lufs",
                                                     "true_peak_dbtp",
                                                     "verdict",
                                                     "rules_not_passed"};
    return Columns;
}

TResultsDatabase::TResultsDatabase(const std::string& path) : Path(path) {
    const int opened =
        sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK) {
        const std::string reason = Db ? sqlite3_errmsg(Db) : sqlite3_errstr(opened);
        sqlite3_close(Db);
        Db = nullptr;
        throw TDatabaseError(reason);
    }
    sqlite3_busy_timeout(Db, BusyMs);
    try {
        {
            // Reading the schema is what tells a database from any other file.
            TStatement probe(Db, "SELECT count(*) FROM sqlite_master");
            probe.Step();
        }
        if (sqlite3_db_readonly(Db, "main") == 1)
            throw TDatabaseError("it cannot be written (read-only)");
        Execute("BEGIN IMMEDIATE");
        Execute(Schema);
        std::optional<std::string> found;
        {
            TStatement version(Db, "SELECT value FROM meta WHERE key = 'schema_version'");
            if (version.Step())
                found = reinterpret_cast<const char*>(sqlite3_column_text(version.Handle, 0));
        }
        if (found) {
            if (*found != std::to_string(SchemaVersion)) {
                Execute("ROLLBACK");
                throw TDatabaseError("its schema is version " + *found +
                                     "; this riffdump writes version " +
                                     std::to_string(SchemaVersion));
            }
        } else {
            Execute("INSERT INTO meta VALUES('schema_version', '" + std::to_string(SchemaVersion) +
                    "')");
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_close(Db);
        Db = nullptr;
        throw;
    }
    Committer = std::thread([this] { CommitOldBatches(); });
}

TResultsDatabase::~TResultsDatabase() {
    {
        std::lock_guard hold(Lock);
        Closing = true;
    }
    Wake.notify_all();
    if (Committer.joinable())
        Committer.join();
    try {
        FlushLocked();
    } catch (const TDatabaseError&) {
        // The batch is rolled back: the database keeps the files committed before it.
        sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Prepared.clear();
    sqlite3_close(Db);
}

void TResultsDatabase::CommitOldBatches() {
    std::unique_lock hold(Lock);
    while (!Wake.wait_for(hold, std::chrono::milliseconds(200), [this] { return Closing; })) {
        if (!InBatch || std::chrono::steady_clock::now() - BatchStart < std::chrono::seconds(1))
            continue;
        try {
            FlushLocked();
        } catch (const TDatabaseError& error) {
            sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
            CommitFailure = error.what(); // said by the next write
        }
    }
}

TResultsDatabase::TStatement& TResultsDatabase::Statement(const std::string& sql) {
    std::unique_ptr<TStatement>& statement = Prepared[sql];
    if (!statement)
        statement = std::make_unique<TStatement>(Db, sql);
    return *statement;
}

void TResultsDatabase::Flush() {
    std::lock_guard hold(Lock);
    if (!CommitFailure.empty())
        throw TDatabaseError(CommitFailure);
    FlushLocked();
}

void TResultsDatabase::FlushLocked() {
    if (!InBatch)
        return;
    InBatch = false;
    Execute("COMMIT");
}

void TResultsDatabase::Execute(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string reason = error ? error : sqlite3_errmsg(Db);
        sqlite3_free(error);
        throw TDatabaseError(reason);
    }
}

std::set<TResultsDatabase::TStamp> TResultsDatabase::CompleteFiles() {
    std::lock_guard hold(Lock);
    std::set<TStamp> stamps;
    TStatement rows(
        Db,
        "SELECT path, size, mtime_ns FROM files WHERE size IS NOT NULL AND mtime_ns IS NOT NULL");
    while (rows.Step()) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_blob(rows.Handle, 0));
        stamps.insert(
            {std::string(text ? text : "", std::size_t(sqlite3_column_bytes(rows.Handle, 0))),
             std::uint64_t(sqlite3_column_int64(rows.Handle, 1)),
             sqlite3_column_int64(rows.Handle, 2)});
    }
    return stamps;
}

void TResultsDatabase::Write(const TFileRecord& record) {
    std::lock_guard hold(Lock);
    if (!CommitFailure.empty())
        throw TDatabaseError(CommitFailure);
    if (!InBatch) {
        Execute("BEGIN IMMEDIATE");
        InBatch = true;
        BatchFiles = 0;
        BatchStart = std::chrono::steady_clock::now();
    }
    try {
        for (const char* table : FileTables)
            Statement(std::string("DELETE FROM ") + table + " WHERE path = ?")
                .Text(1, record.Path)
                .Step();

        const TAudioFacts& facts = record.Facts;
        const TWaveFormat& f = facts.Format;
        const std::optional<TQualityReport>& report = record.Report;
        TStatement& files =
            Statement("INSERT INTO files VALUES(" + Placeholders(int(FileColumns().size())) + ")");
        int at = 1;
        files.Text(at++, record.Path);
        files.Maybe(at++, record.Size);
        files.Maybe(at++, record.MtimeNs);
        files.Text(at++, record.Status);
        files.Maybe(at++, record.Reason.empty() ? std::nullopt : std::optional(record.Reason));
        const bool wave = facts.IsWave;
        const bool format = wave && facts.HasFormat;
        files.Maybe(at++, wave ? std::optional(facts.Container) : std::nullopt);
        files.Maybe(at++, format ? std::optional(EncodingKey(f)) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.FormatTag) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.Channels) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.SampleRate) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.BitsPerSample) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.ValidBits) : std::nullopt);
        files.Maybe(at++, format ? std::optional<std::int64_t>(f.ChannelMask) : std::nullopt);
        files.Maybe(at++, facts.HasData ? std::optional<std::int64_t>(std::int64_t(facts.Frames))
                                        : std::nullopt);
        files.Maybe(at++, facts.HasData ? std::optional<double>(facts.Seconds) : std::nullopt);
        files.Maybe(at++, facts.HasData
                              ? std::optional<std::int64_t>(std::int64_t(facts.DataOffset))
                              : std::nullopt);
        files.Maybe(at++, facts.HasData ? std::optional<std::int64_t>(std::int64_t(facts.DataSize))
                                        : std::nullopt);
        std::optional<std::string> md5, stored;
        std::optional<std::int64_t> agree, notPassed;
        std::optional<double> integrated, range, momentary, shortTerm, truePeak;
        std::optional<std::string> verdict;
        if (report) {
            if (report->Md5.Computed)
                md5 = Md5Text(*report->Md5.Computed);
            if (report->Md5.Stored)
                stored = Md5Text(*report->Md5.Stored);
            if (md5 && stored)
                agree = report->Md5.Agree();
            if (const auto& l = report->Loudness) {
                integrated = Finite(l->Integrated);
                range = Finite(l->Range);
                momentary = Finite(l->MomentaryMax);
                shortTerm = Finite(l->ShortTermMax);
                for (double peak : l->TruePeakDbtp)
                    if (std::isfinite(peak))
                        truePeak = std::max(truePeak.value_or(peak), peak);
            }
            verdict = std::string(VerdictName(report->Verdict));
            notPassed = std::int64_t(
                std::count_if(report->Rules.begin(), report->Rules.end(),
                              [](const TRuleResult& r) { return r.Verdict != vdPass; }));
        }
        files.Maybe(at++, md5);
        files.Maybe(at++, stored);
        files.Maybe(at++, agree);
        files.Maybe(at++, integrated);
        files.Maybe(at++, range);
        files.Maybe(at++, momentary);
        files.Maybe(at++, shortTerm);
        files.Maybe(at++, truePeak);
        files.Maybe(at++, verdict);
        files.Maybe(at++, notPassed);

        TStatement& chunks = Statement("INSERT INTO chunks VALUES(?,?,?,?,?,?)");
        for (std::size_t i = 0; i < facts.Chunks.size(); ++i) {
            const TAudioChunk& c = facts.Chunks[i];
            chunks.Text(1, record.Path)
                .Int(2, std::int64_t(i))
                .Text(3, c.Id)
                .Int(4, std::int64_t(c.Offset));
            chunks.Int(5, std::int64_t(c.Size)).Int(6, c.Padded).Step();
        }
        if (report) {
            TStatement& channels =
                Statement("INSERT INTO channels VALUES(" + Placeholders(17) + ")");
            for (std::size_t c = 0; c < report->Levels.Channels.size(); ++c) {
                const TChannelLevels& l = report->Levels.Channels[c];
                const bool isFloat = !l.BitsInUse;
                channels.Text(1, record.Path)
                    .Int(2, std::int64_t(c + 1))
                    .Real(3, l.Min)
                    .Real(4, l.Max);
                channels.Real(5, l.PeakDbfs)
                    .Real(6, l.RmsDbfs)
                    .Real(7, l.DcOffset)
                    .Real(8, l.Crest);
                channels.Int(9, std::int64_t(l.ClippedSamples))
                    .Int(10, std::int64_t(l.ClippedRuns));
                channels.Int(11, std::int64_t(l.SilenceHeadFrames))
                    .Int(12, std::int64_t(l.SilenceTailFrames));
                channels.Maybe(13, l.BitsInUse);
                channels.Maybe(14, isFloat ? std::optional<std::int64_t>(std::int64_t(l.NaN))
                                           : std::nullopt);
                channels.Maybe(15, isFloat ? std::optional<std::int64_t>(std::int64_t(l.Inf))
                                           : std::nullopt);
                channels.Maybe(16, isFloat ? std::optional<std::int64_t>(std::int64_t(l.Overs))
                                           : std::nullopt);
                std::optional<double> peak;
                if (report->Loudness && c < report->Loudness->TruePeakDbtp.size())
                    peak = Finite(report->Loudness->TruePeakDbtp[c]);
                channels.Maybe(17, peak).Step();
            }
            TStatement& rules = Statement("INSERT INTO rules VALUES(" + Placeholders(10) + ")");
            for (std::size_t i = 0; i < report->Rules.size(); ++i) {
                const TRuleResult& r = report->Rules[i];
                rules.Text(1, record.Path).Int(2, std::int64_t(i)).Text(3, r.Id);
                rules.Text(4, SeverityName(r.Severity))
                    .Text(5, VerdictName(r.Verdict))
                    .Text(6, r.Message);
                rules.Maybe(7, r.Where.Chunk.empty() ? std::nullopt : std::optional(r.Where.Chunk));
                rules.Maybe(8, r.Where.Offset).Maybe(9, r.Where.Frame);
                rules.Maybe(10, r.Where.Channel ? std::optional<std::int64_t>(*r.Where.Channel + 1)
                                                : std::nullopt);
                rules.Step();
            }
        }
        TStatement& metadata = Statement("INSERT INTO metadata VALUES(?,?,?,?,?)");
        for (std::size_t i = 0; i < record.Metadata.size(); ++i) {
            const TMetadataRow& m = record.Metadata[i];
            metadata.Text(1, record.Path)
                .Int(2, std::int64_t(i))
                .Text(3, m.Chunk)
                .Text(4, m.Key)
                .Text(5, m.Value)
                .Step();
        }
        files.Step();
        // A batch ends after a few hundred files or a second, so another run writing the same
        // database gets its turn and a stopped run has little to do again.
        constexpr int BatchMostFiles = 256;
        if (++BatchFiles >= BatchMostFiles ||
            std::chrono::steady_clock::now() - BatchStart > std::chrono::seconds(1))
            FlushLocked();
    } catch (...) {
        for (auto& [sql, statement] : Prepared)
            sqlite3_reset(statement->Handle);
        sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
        InBatch = false;
        throw;
    }
}

void TResultsDatabase::Merge(const std::vector<std::string>& inputs) {
    std::lock_guard hold(Lock);
    for (const std::string& input : inputs) {
        {
            // Attaching creates a missing file: a name that is not there is said as such.
            struct stat info {};
            if (stat(input.c_str(), &info) != 0)
                throw TDatabaseError(input + ": no such file");
        }
        TStatement(Db, "ATTACH DATABASE ? AS part").Text(1, input).Step();
        try {
            std::string found;
            {
                TStatement version(Db, "SELECT value FROM part.meta WHERE key = 'schema_version'");
                if (version.Step())
                    found = reinterpret_cast<const char*>(sqlite3_column_text(version.Handle, 0));
            }
            if (found != std::to_string(SchemaVersion))
                throw TDatabaseError(input + ": not a results database of schema version " +
                                     std::to_string(SchemaVersion));
            Execute("BEGIN IMMEDIATE");
            for (const char* table : FileTables) {
                Execute(std::string("DELETE FROM main.") + table +
                        " WHERE path IN (SELECT path FROM part.files)");
                Execute(std::string("INSERT INTO main.") + table + " SELECT * FROM part." + table);
            }
            Execute("COMMIT");
        } catch (const TDatabaseError& error) {
            sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
            Execute("DETACH DATABASE part");
            const std::string text = error.what();
            throw TDatabaseError(text.rfind(input, 0) == 0 ? text : input + ": " + text);
        }
        Execute("DETACH DATABASE part");
    }
}

std::string TResultsDatabase::FilesCsv() {
    std::lock_guard hold(Lock);
    const auto field = [](const std::string& text) {
        if (text.find_first_of(",\"\r\n") == std::string::npos)
            return text;
        std::string quoted = "\"";
        for (char c : text)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    };
    std::string csv;
    const auto& columns = FileColumns();
    for (std::size_t c = 0; c < columns.size(); ++c)
        csv += (c ? "," : "") + columns[c];
    csv += "\r\n";
    TStatement rows(Db, "SELECT * FROM files ORDER BY path");
    while (rows.Step()) {
        for (int c = 0; c < int(columns.size()); ++c) {
            if (c)
                csv += ',';
            const int type = sqlite3_column_type(rows.Handle, c);
            if (type == SQLITE_NULL)
                continue;
            if (type == SQLITE_FLOAT) {
                char text[32];
                std::snprintf(text, sizeof text, "%.17g", sqlite3_column_double(rows.Handle, c));
                csv += text;
                continue;
            }
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(rows.Handle, c));
            csv += field(std::string(bytes, std::size_t(sqlite3_column_bytes(rows.Handle, c))));
        }
        csv += "\r\n";
    }
    return csv;
}
