#include "report/StructureRules.h"

#include <utility>

namespace {

// Problems are sentences; these words pick out each kind, first match wins.
struct TProblemKind {
    const char* Id;
    std::vector<const char*> Words; // all must occur
};

const std::vector<TProblemKind>& StructureKinds() {
    static const std::vector<TProblemKind> Kinds = {
        {"structure.not-wave", {"Not a WAV file"}},
        {"structure.not-wave", {"The file is empty."}},
        {"structure.not-wave", {"too short for a WAV file"}},
        {"structure.no-format", {"There is no format chunk."}},
        {"structure.no-data", {"There is no data chunk."}},
        {"structure.data-before-format", {"comes before the format chunk"}},
        {"structure.ds64", {"ds64"}},
        {"structure.format-chunk", {"The format chunk has"}},
        {"structure.extensible", {"extensible format"}},
        {"structure.channels", {"0 channels"}},
        {"structure.sample-rate", {"0 samples a second"}},
        {"structure.encoding", {"is not decoded"}},
        {"structure.encoding", {"is not one this program decodes"}},
        {"structure.encoding", {"names no encoding"}},
        {"structure.encoding", {"gives no size for a sample"}},
        {"structure.encoding", {"a block of 0 bytes"}},
        {"structure.encoding", {"bits a sample; this encoding has"}},
        {"structure.valid-bits", {"valid bits"}},
        {"format.byte-rate", {"The byte rate says"}},
        {"format.block-align", {"The block align says"}},
        {"structure.data-size-placeholder", {"size is a placeholder"}},
        {"structure.data-cut-short", {"The data chunk declares", "the file ends after"}},
        {"structure.partial-frame", {"of a frame that is not whole"}},
        {"structure.chunk-cut-short", {"declares", "but the file ends after"}},
        {"structure.pad-byte", {"pad byte"}},
        {"structure.trailing-bytes", {"not a whole chunk header"}},
        {"structure.riff-size", {"size says", "follow its header"}},
    };
    return Kinds;
}

const std::vector<TProblemKind>& MetadataKinds() {
    static const std::vector<TProblemKind> Kinds = {
        {"meta.chunk-cut-short", {"chunk is cut short"}},
        {"meta.info", {"LIST/INFO"}},
        {"meta.adtl", {"LIST/adtl"}},
        {"meta.bext", {"bext"}},
        {"meta.cue", {"cue"}},
        {"meta.cue", {"marker"}},
        {"meta.sampler", {"smpl"}},
        {"meta.sampler", {"inst"}},
        {"meta.id3", {"ID3"}},
        {"meta.xml", {"XML"}},
    };
    return Kinds;
}

bool Matches(const std::string& text, const TProblemKind& kind) {
    for (const char* word : kind.Words)
        if (text.find(word) == std::string::npos)
            return false;
    return true;
}

// The chunk a problem names ("The 'LIST' chunk ...", "The bext chunk ..."), where it says.
TRulePlace PlaceOf(const std::string& problem, const TAudioFacts& facts) {
    TRulePlace where;
    for (const TAudioChunk& chunk : facts.Chunks) {
        const std::string quoted = "'" + chunk.Id + "'";
        std::string plain = chunk.Id;
        while (!plain.empty() && plain.back() == ' ')
            plain.pop_back();
        if (problem.find(quoted) != std::string::npos ||
            (!plain.empty() && problem.find("The " + plain + " ") != std::string::npos)) {
            where.Chunk = chunk.Id;
            where.Offset = chunk.Offset;
            return where;
        }
    }
    if (problem.find("data chunk") != std::string::npos)
        for (const TAudioChunk& chunk : facts.Chunks)
            if (chunk.Id == "data") {
                where.Chunk = chunk.Id;
                where.Offset = chunk.Offset;
                return where;
            }
    if (problem.find("format") != std::string::npos ||
        problem.find("block align") != std::string::npos ||
        problem.find("byte rate") != std::string::npos)
        for (const TAudioChunk& chunk : facts.Chunks)
            if (chunk.Id == "fmt ") {
                where.Chunk = chunk.Id;
                where.Offset = chunk.Offset;
                return where;
            }
    return where;
}

} // namespace

std::string ProblemRuleId(const std::string& problem, bool fromMetadata) {
    for (const TProblemKind& kind : fromMetadata ? MetadataKinds() : StructureKinds())
        if (Matches(problem, kind))
            return kind.Id;
    return fromMetadata ? "meta.other" : "structure.other";
}

std::vector<TFinding> StructureFindings(const TAudioFacts& facts, const TFileMetadata& meta,
                                        bool opened) {
    std::vector<TFinding> findings;
    bool byteRateSaid = false, blockAlignSaid = false;
    for (const std::string& problem : facts.Problems) {
        TFinding finding{opened ? ProblemRuleId(problem, false) : "structure.unreadable", false,
                         problem, PlaceOf(problem, facts)};
        byteRateSaid = byteRateSaid || finding.Id == "format.byte-rate";
        blockAlignSaid = blockAlignSaid || finding.Id == "format.block-align";
        findings.push_back(std::move(finding));
    }
    for (const std::string& problem : meta.Problems)
        findings.push_back({ProblemRuleId(problem, true), false, problem, PlaceOf(problem, facts)});

    // The format's arithmetic, said as passed where the reading found nothing wrong with it.
    if (facts.HasFormat && facts.Format.IsPlain()) {
        const TWaveFormat& f = facts.Format;
        TRulePlace where = PlaceOf("format", facts);
        if (!byteRateSaid)
            findings.push_back({"format.byte-rate", true,
                                "The byte rate " + std::to_string(f.ByteRate) +
                                    " is the sample rate x block align.",
                                where});
        if (!blockAlignSaid)
            findings.push_back({"format.block-align", true,
                                "The block align " + std::to_string(f.BlockAlign) +
                                    " is the channels x container bytes.",
                                where});
    }
    return findings;
}
