#include "report/RuleCatalog.h"

const char* SeverityName(TSeverity severity) {
    switch (severity) {
    case svError:
        return "error";
    case svWarning:
        return "warning";
    case svInfo:
        break;
    }
    return "info";
}

const char* VerdictName(TVerdict verdict) {
    switch (verdict) {
    case vdFail:
        return "fail";
    case vdWarn:
        return "warn";
    case vdPass:
        break;
    }
    return "pass";
}

const std::vector<TRuleInfo>& RuleCatalog() {
    static const std::vector<TRuleInfo> Rules = {
        // What the reading of the structure finds.
        {"structure.unreadable", svError, "the file can be opened and read"},
        {"structure.not-wave", svError, "the file is a RIFF, RIFX, RF64 or BW64 file of form WAVE"},
        {"structure.no-format", svError, "there is a format chunk"},
        {"structure.no-data", svError, "there is a data chunk"},
        {"structure.format-chunk", svError, "the format chunk is whole and of a known size"},
        {"structure.encoding", svError, "the encoding is one that is decoded"},
        {"structure.channels", svError, "the format gives at least one channel"},
        {"structure.sample-rate", svWarning, "the format gives a sample rate"},
        {"structure.extensible", svWarning, "an extensible format chunk is whole and usual"},
        {"structure.valid-bits", svWarning, "the valid bits fit the container as stored"},
        {"structure.ds64", svError, "an RF64 or BW64 file has a whole ds64 chunk first"},
        {"structure.riff-size", svWarning, "the RIFF size agrees with the file's size"},
        {"structure.data-before-format", svWarning, "the format chunk comes before the data"},
        {"structure.data-cut-short", svError, "the data chunk is whole"},
        {"structure.data-size-placeholder", svWarning, "the data chunk's size is a real size"},
        {"structure.partial-frame", svWarning, "the data holds whole frames"},
        {"structure.chunk-cut-short", svError, "every chunk is whole"},
        {"structure.pad-byte", svWarning, "every odd chunk is followed by its pad byte"},
        {"structure.trailing-bytes", svWarning, "nothing follows the last chunk"},
        {"structure.other", svWarning, "any other fault of the structure"},
        // The format's own arithmetic.
        {"format.byte-rate", svWarning, "byte rate = sample rate x block align"},
        {"format.block-align", svWarning, "block align = channels x container bytes"},
        // What the metadata decoders find.
        {"meta.info", svWarning, "LIST/INFO entries are whole and end in a zero"},
        {"meta.bext", svWarning, "the bext chunk is whole"},
        {"meta.cue", svWarning, "the cue chunk and its labels are whole and name real markers"},
        {"meta.adtl", svWarning, "LIST/adtl entries are whole"},
        {"meta.sampler", svWarning, "smpl and inst chunks are whole"},
        {"meta.id3", svWarning, "an ID3 chunk holds a whole ID3v2 tag"},
        {"meta.xml", svWarning, "iXML and axml chunks are well-formed"},
        {"meta.chunk-cut-short", svWarning, "every metadata chunk is whole"},
        {"meta.other", svWarning, "any other fault of the metadata"},
        // Broadcast wave description and INFO dates.
        {"bext.description-length", svWarning, "Description fits its 256 bytes, padded with zeros"},
        {"bext.originator-length", svWarning, "Originator fits its 32 bytes, padded with zeros"},
        {"bext.originator-reference-length", svWarning,
         "OriginatorReference fits its 32 bytes, padded with zeros"},
        {"bext.ascii", svWarning, "the text fields hold printable ASCII"},
        {"bext.origination-date", svWarning, "OriginationDate is yyyy-mm-dd, a real date"},
        {"bext.origination-time", svWarning, "OriginationTime is hh:mm:ss, a real time"},
        {"bext.version", svWarning, "Version is 0, 1 or 2"},
        {"bext.umid", svWarning, "a UMID (version 1 on) is a SMPTE UMID or all zeros"},
        {"bext.coding-history", svWarning,
         "CodingHistory is lines of comma-separated fields (A=, F=, B=, W=, M=, T=), each ended by "
         "CR LF"},
        {"bext.loudness", svInfo,
         "loudness values stated in bext (version 2) agree with the audio's"},
        {"info.icrd-date", svWarning, "ICRD (creation date) is yyyy-mm-dd, yyyy-mm or yyyy"},
        // The audio.
        {"md5.mismatch", svError, "the MD5 chunk agrees with the audio data"},
        {"md5.missing", svWarning, "the file keeps an MD5 chunk of its audio", true},
        {"level.clipping", svWarning, "no clipped runs (consecutive samples at full scale)"},
        {"level.true-peak", svWarning, "the true peak stays at or below the highest allowed"},
        {"level.dc-offset", svWarning,
         "the DC offset stays within the allowed fraction of full scale"},
        {"level.bits-in-use", svInfo, "the samples use every bit their format gives"},
        {"level.silence", svInfo, "a channel holds more than digital silence"},
        {"level.float-invalid", svError, "float data holds no NaN or infinite values"},
        {"level.float-overs", svWarning, "float data stays within full scale"},
        {"loudness.integrated", svWarning, "integrated loudness is within the target's tolerance"},
        {"loudness.range", svInfo, "loudness range is at most the highest allowed"},
        // A policy's expectations.
        {"expect.sample-rate", svError, "the sample rate is the one expected"},
        {"expect.bits-per-sample", svError, "the bits a sample are those expected"},
        {"expect.channels", svError, "the number of channels is the one expected"},
        {"expect.encoding", svError, "the encoding is the one expected"},
        {"expect.chunks", svError, "every chunk expected is there"},
    };
    return Rules;
}

const TRuleInfo* FindRule(const std::string& id) {
    for (const TRuleInfo& rule : RuleCatalog())
        if (id == rule.Id)
            return &rule;
    return nullptr;
}
