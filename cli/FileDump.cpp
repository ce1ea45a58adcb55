#include "cli/FileDump.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/AudioJson.h"
#include "cli/JsonText.h"
#include "cli/MetadataJson.h"
#include "cli/ReportJson.h"
#include "cli/SourceFile.h"
#include "report/QualityReport.h"
#include "report/ReportText.h"
#include "samples/ErrorMessage.h"
#include "samples/FormatExport.h"
#include "samples/LoadCommand.h"
#include "samples/NameText.h"
#include "samples/SaveAsciiFile.h"
#include "wave/AudioFile.h"
#include "wave/AudioSamples.h"
#include "wave/FileChanged.h"
#include "wave/MemoryFile.h"
#include "wave/ReadWaveFile.h"
#include "wave/WaveStatus.h"

namespace {

// What happened to one file, before it is worded.
struct TOutcome {
    TWaveInfo Info;
    TWaveLayout Layout;
    std::uint64_t Frames = 0; // whole frames in the data read
    int FramesLoaded = 0;     // of those, what a load takes
    std::optional<std::string> LoadError;
    std::optional<std::string> ExportName;
    std::optional<std::string> ExportError;
    bool Salvaged = false; // cut short in its data chunk, its whole frames exported all the same
    std::uint32_t DeclaredDataSize = 0;
    std::uint64_t DataBytesPresent = 0;
    // The conformant reading, where asked for (JSON, export in the file's format).
    std::optional<TAudioFile> Audio;
    std::optional<TQualityReport> Quality; // where asked for
    std::optional<TFileMetadata> Metadata; // decoded once, for every output that shows it
    bool AsFormat = false; // read and exported as its format says: the store leaves nothing out
};

// Frames beyond what the store holds: only a load into the store leaves any out.
std::uint64_t FramesLeftOut(const TOutcome& outcome) {
    if (outcome.AsFormat || outcome.Frames <= std::uint64_t(outcome.FramesLoaded))
        return 0;
    return outcome.Frames - std::uint64_t(outcome.FramesLoaded);
}

std::string CurrentErrorText() {
    return MessageWithFullStop(ErrorText(std::current_exception()));
}

// Whether `file` names a stream rather than a place: what is not a regular file (a pipe, a
// FIFO, a device), or a name that reaches its bytes through a descriptor (/dev/stdin,
// /dev/fd/N, /proc/PID/fd/N), whatever that descriptor reads. Beside it is no folder of the
// file's own: /dev/stdin_out.dat is no place for an export.
bool IsStream(const std::string& file) {
    struct stat info {};
    if (stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return true;
    std::string name = file;
    for (int links = 0; links < 40; ++links) {
        if (name.rfind("/dev/fd/", 0) == 0 ||
            (name.rfind("/proc/", 0) == 0 && name.find("/fd/") != std::string::npos))
            return true;
        if (lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return false;
        std::string text(4096, '\0');
        const ssize_t size = readlink(name.c_str(), text.data(), text.size());
        if (size < 0)
            return false;
        text.resize(std::size_t(size));
        const std::size_t slash = name.rfind('/');
        name = text.empty() || text[0] == '/' || slash == std::string::npos
                   ? text
                   : name.substr(0, slash + 1) + text;
    }
    return false;
}

// Where `file` exports to; nullopt, with the reason in `outcome`, when it has no such place.
std::optional<std::string> ExportTargetOf(const std::string& file, const TSourceFile& source,
                                          const TDumpOptions& options, TOutcome& outcome) {
    if (options.Output.empty() && IsStream(file)) {
        outcome.ExportError =
            "A stream has no folder to export beside: name the export with --output FILE.";
        return std::nullopt;
    }
    std::string target = options.Output.empty() ? AsciiFileNameFor(file) : options.Output;
    // Written over, the input would be read back as its own export's text.
    if (source.IsNamedBy(target)) {
        outcome.ExportError =
            "The export would be written over the file it reads: " + NameText(target) +
            " is that file; nothing was written.";
        return std::nullopt;
    }
    return target;
}

// The store is one for the program: a load and its export run alone.
std::mutex StoreInUse;

void LoadAndExport(const std::string& file, const TSourceFile& source, TOutcome& outcome,
                   const TDumpOptions& dump) {
    const std::optional<std::string> target = ExportTargetOf(file, source, dump, outcome);
    if (!target)
        return;
    std::lock_guard hold(StoreInUse);
    try {
        TLoadOptions options;
        options.SalvageCutData = dump.Salvage;
        const TLoadResult result = LoadReadFile(source.ReadName(), outcome.Info, nullptr, options);
        if (result.Salvaged) {
            outcome.Salvaged = true;
            outcome.DeclaredDataSize = result.DeclaredDataSize;
            outcome.DataBytesPresent = result.DataBytesPresent;
            outcome.Frames = result.DataBytesPresent / 4;
            outcome.FramesLoaded = result.FramesLoaded;
        }
    } catch (...) {
        // The load failed while decoding: nothing of it is exported.
        outcome.LoadError = CurrentErrorText();
        return;
    }
    outcome.ExportName = *target;
    try {
        SaveAsciiFileAs(*target);
    } catch (...) {
        outcome.ExportError = CurrentErrorText();
    }
}

// The export of a file as its format says, from the conformant reading: it needs neither the
// store nor the reader of the log.
void ExportAsFormat(const std::string& file, const TSourceFile& source, TOutcome& outcome,
                    const TDumpOptions& dump) {
    const TAudioFile& audio = *outcome.Audio;
    if (!audio.Facts.Decodable) {
        outcome.LoadError = "Not exported in its format: " + audio.Facts.Refusal;
        return;
    }
    const std::optional<std::string> target = ExportTargetOf(file, source, dump, outcome);
    if (!target)
        return;
    outcome.ExportName = *target;
    try {
        const TAudioSamples samples(audio.Bytes, audio.Facts);
        WriteFormatFile(*outcome.ExportName, samples);
    } catch (...) {
        outcome.ExportError = CurrentErrorText();
    }
}

void WriteText(const std::string& fileName, const TOutcome& outcome, TFileReport& report) {
    const std::string file = NameText(fileName); // as a status line may show it
    const TWaveInfo& info = outcome.Info;
    report.Err = file + ": " + WaveStatusName(info.Status) + "\n";
    if (!info.Problem.empty())
        report.Err += file + ": " + MessageWithFullStop(info.Problem) + "\n";
    else if (!info.Reason.empty() && !outcome.Salvaged)
        report.Err += file + ": " + info.Reason + "\n"; // why the read failed, in words
    // The log's reader takes any data as 16-bit stereo frames; a format of no channels holds
    // no audio at all, and a read that says wsOk should not hide that.
    if (info.Status == wsOk && info.Channels == 0 && !outcome.AsFormat)
        report.Err += file +
                      ": the format says 0 channels: the file holds no audio; its data is read as "
                      "16-bit stereo frames all the same\n";
    if (outcome.LoadError) {
        report.Err += file + ": " + *outcome.LoadError + "\n";
        return;
    }
    if (outcome.Salvaged)
        report.Err += file + ": the data chunk declares " +
                      std::to_string(outcome.DeclaredDataSize) + " bytes but the file ends after " +
                      std::to_string(outcome.DataBytesPresent) + "; the " +
                      std::to_string(outcome.FramesLoaded) + " frames present were exported\n";
    if ((info.Status == wsOk || outcome.Salvaged) && FramesLeftOut(outcome) > 0)
        report.Err += file + ": " + std::to_string(FramesLeftOut(outcome)) +
                      " frames beyond the first " + std::to_string(outcome.FramesLoaded) +
                      " were left out\n";
    if (outcome.ExportError)
        report.Err += file + ": " + *outcome.ExportError + "\n";
}

void WriteJson(const std::string& file, const TOutcome& outcome, TFileReport& report) {
    const TWaveInfo& info = outcome.Info;
    const TWaveLayout& layout = outcome.Layout;
    TJsonWriter json;
    json.BeginObject().String("file", file).String("status", WaveStatusName(info.Status));
    if (!info.Problem.empty())
        json.String("problem", info.Problem);
    if (layout.RiffSize)
        json.Number("riffSize", *layout.RiffSize);
    if (!layout.Form.empty())
        json.String("form", layout.Form);
    json.BeginArray("chunks");
    for (const TChunkRecord& chunk : layout.Chunks)
        json.BeginObject()
            .String("id", chunk.Id)
            .Number("offset", std::int64_t(chunk.Offset))
            .Number("size", chunk.Size)
            .EndObject();
    json.EndArray();
    if (const auto& f = layout.Format) {
        json.BeginObject("format")
            .Number("formatTag", f->FormatTag)
            .Number("channels", f->Channels)
            .Number("samplesPerSec", f->SamplesPerSec)
            .Number("byteRate", f->ByteRate)
            .Number("blockAlign", f->BlockAlign)
            .Number("bitsPerSample", f->BitsPerSample);
        if (f->CbSize)
            json.Number("cbSize", *f->CbSize);
        json.EndObject();
    }
    if (outcome.Salvaged)
        json.BeginObject("salvaged")
            .Number("declaredDataSize", outcome.DeclaredDataSize)
            .Number("dataBytesPresent", std::int64_t(outcome.DataBytesPresent))
            .EndObject();
    if (info.Status == wsOk || outcome.Salvaged) {
        json.Number("frames", std::int64_t(outcome.Frames));
        if (FramesLeftOut(outcome) > 0)
            json.Number("framesLeftOut", std::int64_t(FramesLeftOut(outcome)));
    }
    if (outcome.LoadError)
        json.String("error", *outcome.LoadError);
    if (outcome.ExportName || outcome.ExportError) {
        json.BeginObject("export");
        if (outcome.ExportName)
            json.String("file", *outcome.ExportName);
        else
            json.Null("file"); // a stream without --output
        if (outcome.ExportError)
            json.String("error", *outcome.ExportError);
        else
            json.Null("error");
        json.EndObject();
    }
    if (outcome.Audio) {
        const TFileMetadata& meta = *outcome.Metadata;
        if (outcome.Audio->Facts.IsWave)
            json.Raw("metadata", MetadataJson(meta));
        std::vector<std::string> more = meta.Problems;
        // Why the log's read failed, where the conformant reading does not say it already.
        const auto& said = outcome.Audio->Facts.Problems;
        if (!info.Reason.empty() && std::find(said.begin(), said.end(), info.Reason) == said.end())
            more.push_back(info.Reason);
        WriteAudioJson(json, outcome.Audio->Facts, more);
    }
    if (outcome.Quality)
        json.Raw("report", QualityReportJson(*outcome.Quality));
    json.EndObject();
    report.Out = json.Text() + "\n";
    // A file that is not read at all says why here too, as the text report does.
    if (outcome.Audio && !outcome.Audio->Facts.IsWave && !outcome.Audio->Facts.Problems.empty())
        report.Err += NameText(file) + ": " + outcome.Audio->Facts.Problems.front() + "\n";
}

} // namespace

TFileReport DumpFile(const std::string& file, const TDumpOptions& options) {
    TFileReport report;
    TOutcome outcome;
    outcome.AsFormat = options.AsFormat;
    TWaveReadOptions read = TWaveReadOptions::Streams();
    read.Layout = options.Json ? &outcome.Layout : nullptr;
    // Reading alone never holds a file's samples; nor does an export in the file's format,
    // which takes them where they lie.
    read.KeepData = options.Export && !options.AsFormat;
    const TWaveLog log = [&](const std::string& line) {
        if (!options.Json && !options.Cues) {
            report.Out += line;
            report.Out += '\n';
        }
    };
    // The conformant reading takes the file's bytes where they are; a stream is read once
    // into memory, and the log's reader then reads the same bytes as a file.
    const TSourceFile source(file);
    std::optional<TMemoryFile> streamCopy;
    std::string readName = source.ReadName();
    // The file as it was found, before it is read: what a later run compares to resume.
    std::uint64_t stampSize = 0;
    std::int64_t stampMtime = 0;
    const bool stamped = options.Record && FileStamp(file, stampSize, stampMtime);
    if (options.Json || options.AsFormat || options.Cues || options.Report || options.Record) {
        outcome.Audio = OpenAudioFile(readName, true);
        const auto& bytes = outcome.Audio->Bytes;
        if (bytes && !bytes->IsMapped()) {
            streamCopy.emplace(bytes->Data(), bytes->Size());
            readName = streamCopy->Name();
        }
    }
    if (outcome.Audio && (options.Json || options.Cues || options.Record))
        outcome.Metadata = MetadataOf(*outcome.Audio);
    ReadWaveFile(readName, outcome.Info, log, read);
    if (outcome.Info.Status == wsOk) {
        outcome.Frames = outcome.Info.DataSize / 4;
        outcome.FramesLoaded = FramesToLoad(outcome.Info.DataSize);
    }
    const bool salvage = options.Salvage && outcome.Info.DataCutShort && outcome.Info.Data;
    if (options.AsFormat)
        ExportAsFormat(file, source, outcome, options);
    else if (options.Export && (outcome.Info.Status == wsOk || salvage))
        LoadAndExport(file, source, outcome, options);
    if (options.Report) {
        TReportOptions judge;
        if (options.Policy)
            judge.Policy = *options.Policy;
        outcome.Quality = MakeQualityReport(*outcome.Audio, judge);
        report.ReportStatus = !outcome.Quality->Measured ? 2 : outcome.Quality->FailsRun ? 1 : 0;
    }
    // What was read of a file that changed meanwhile may mix two versions of it.
    if (outcome.Audio && outcome.Audio->Bytes && outcome.Audio->Bytes->Changed() &&
        !outcome.LoadError && !outcome.ExportError)
        outcome.LoadError = TFileChanged().what();
    // A report of such a file judges neither version.
    if (outcome.Quality && outcome.LoadError)
        report.ReportStatus = 2;
    const bool readOk =
        options.AsFormat ? outcome.Audio->Facts.Decodable : outcome.Info.Status == wsOk;
    report.Ok = readOk && !outcome.LoadError && !outcome.ExportError;
    if (options.Json)
        WriteJson(file, outcome, report);
    else
        WriteText(file, outcome, report);
    if (options.Record) {
        TFileRecord& record = report.Record.emplace();
        record.Path = file;
        if (stamped) {
            record.Size = stampSize;
            record.MtimeNs = stampMtime;
        }
        record.Status = WaveStatusName(outcome.Info.Status);
        record.Reason = outcome.LoadError               ? *outcome.LoadError
                        : !outcome.Info.Problem.empty() ? outcome.Info.Problem
                        : !outcome.Info.Reason.empty()  ? outcome.Info.Reason
                                                        : outcome.Audio->Facts.Refusal;
        record.Facts = outcome.Audio->Facts;
        record.Metadata = MetadataRows(*outcome.Metadata);
        record.Report = outcome.Quality;
    }
    if (options.Cues && !options.Json)
        report.Out = CueLabelTrack(*outcome.Metadata);
    else if (options.Report && !options.Json)
        report.Out = QualityReportText(NameText(file), *outcome.Quality);
    return report;
}
