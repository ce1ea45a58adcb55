#include "report/BextRules.h"

#include <cmath>
#include <cstring>
#include <string>

#include "report/LoudnessMeter.h"
#include "report/ReportNumbers.h"

namespace {

constexpr std::uint64_t FixedPart = 602; // the bext fields before the coding history

struct TField {
    const char* Name;
    const char* Rule;
    std::uint64_t At, Size;
};
const TField TextFields[] = {
    {"Description", "bext.description-length", 0, 256},
    {"Originator", "bext.originator-length", 256, 32},
    {"OriginatorReference", "bext.originator-reference-length", 288, 32},
};

bool Digits(const std::string& text, std::size_t at, std::size_t count) {
    for (std::size_t i = at; i < at + count; ++i)
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
    return true;
}
int Number(const std::string& text, std::size_t at, std::size_t count) {
    return std::stoi(text.substr(at, count));
}

// The field's text: its bytes up to the first zero.
std::string TextOf(const std::uint8_t* bytes, std::uint64_t size) {
    const void* zero = std::memchr(bytes, 0, std::size_t(size));
    return std::string(reinterpret_cast<const char*>(bytes),
                       zero ? std::size_t(static_cast<const std::uint8_t*>(zero) - bytes)
                            : std::size_t(size));
}

bool PrintableAscii(const std::string& text, bool linesAllowed) {
    for (unsigned char ch : text)
        if ((ch < 0x20 || ch > 0x7E) && !(linesAllowed && (ch == '\r' || ch == '\n')))
            return false;
    return true;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Coding history lines as written for each step of a signal's life: fields such as
// "A=PCM,F=48000,W=24,M=stereo,T=text", separated by commas, each line ended by CR LF.
std::string CodingHistoryFault(const std::string& history) {
    std::size_t at = 0, line = 1;
    while (at < history.size()) {
        const std::size_t end = history.find("\r\n", at);
        const std::size_t stop = end == std::string::npos ? history.size() : end;
        const std::string text = history.substr(at, stop - at);
        if (text.find('\n') != std::string::npos || text.find('\r') != std::string::npos)
            return "line " + std::to_string(line) + " is not ended by CR LF";
        std::size_t field = 0;
        while (field <= text.size()) {
            std::size_t comma = text.find(',', field);
            if (comma == std::string::npos)
                comma = text.size();
            const std::string item = text.substr(field, comma - field);
            if (item.size() < 2 || item[1] != '=' || std::strchr("AFBWMT", item[0]) == nullptr)
                return "line " + std::to_string(line) + " has the field " + Quoted(item) +
                       ", not one of A=, F=, B=, W=, M=, T=";
            field = comma + 1;
        }
        if (end == std::string::npos)
            return "line " + std::to_string(line) + " is not ended by CR LF";
        at = end + 2;
        ++line;
    }
    return {};
}

} // namespace

bool IsRealDate(const std::string& text, bool allowShort) {
    static const int Days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (allowShort && text.size() == 4)
        return Digits(text, 0, 4);
    if (allowShort && text.size() == 7)
        return Digits(text, 0, 4) && text[4] == '-' && Digits(text, 5, 2) &&
               Number(text, 5, 2) >= 1 && Number(text, 5, 2) <= 12;
    if (text.size() != 10 || !Digits(text, 0, 4) || text[4] != '-' || !Digits(text, 5, 2) ||
        text[7] != '-' || !Digits(text, 8, 2))
        return false;
    const int year = Number(text, 0, 4), month = Number(text, 5, 2), day = Number(text, 8, 2);
    if (month < 1 || month > 12 || day < 1 || day > Days[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

bool IsRealTime(const std::string& text) {
    return text.size() == 8 && Digits(text, 0, 2) && text[2] == ':' && Digits(text, 3, 2) &&
           text[5] == ':' && Digits(text, 6, 2) && Number(text, 0, 2) < 24 &&
           Number(text, 3, 2) < 60 && Number(text, 6, 2) < 60;
}

std::vector<TFinding> BextFindings(const std::vector<TMetaChunk>& chunks, const TFileMetadata& meta,
                                   const TLoudness* measured) {
    std::vector<TFinding> findings;
    for (const TMetaChunk& chunk : chunks) {
        if (chunk.Id != "bext" || chunk.BodySize < FixedPart)
            continue; // a bext too short for its fields is the metadata's own problem
        const std::uint8_t* body = chunk.Body;
        const auto place = [&](std::uint64_t field) {
            TRulePlace where;
            where.Chunk = chunk.Id;
            where.Offset = chunk.Offset + 8 + field;
            return where;
        };
        std::string notAscii;
        for (const TField& field : TextFields) {
            const std::string text = TextOf(body + field.At, field.Size);
            bool padded = true;
            for (std::uint64_t i = text.size(); i < field.Size; ++i)
                padded = padded && body[field.At + i] == 0;
            findings.push_back(
                {field.Rule, padded,
                 padded ? std::string(field.Name) + " is " + std::to_string(text.size()) +
                              " of its " + std::to_string(field.Size) + " characters."
                        : std::string(field.Name) + " has bytes after the zero that ends its text: "
                                                    "it is not padded with zeros.",
                 place(field.At)});
            if (!PrintableAscii(text, false) && notAscii.empty())
                notAscii = field.Name;
        }
        const std::string date = TextOf(body + 320, 10), time = TextOf(body + 330, 8);
        const std::string history = TextOf(body + FixedPart, chunk.BodySize - FixedPart);
        if (notAscii.empty() && !PrintableAscii(history, true))
            notAscii = "CodingHistory";
        findings.push_back({"bext.ascii", notAscii.empty(),
                            notAscii.empty()
                                ? "The text fields are printable ASCII."
                                : notAscii + " holds characters that are not printable ASCII.",
                            place(0)});
        const bool dateOk = date.empty() || IsRealDate(date, false);
        findings.push_back({"bext.origination-date", dateOk,
                            date.empty() ? "OriginationDate is not given."
                            : dateOk     ? "OriginationDate " + date + " is a real date."
                                         : "OriginationDate " + Quoted(date) +
                                           " is not a real date written yyyy-mm-dd.",
                            place(320)});
        const bool timeOk = time.empty() || IsRealTime(time);
        findings.push_back(
            {"bext.origination-time", timeOk,
             time.empty() ? "OriginationTime is not given."
             : timeOk     ? "OriginationTime " + time + " is a real time."
                      : "OriginationTime " + Quoted(time) + " is not a real time written hh:mm:ss.",
             place(330)});
        const int version = body[346] | body[347] << 8;
        findings.push_back({"bext.version", version <= 2,
                            "Version is " + std::to_string(version) +
                                (version <= 2 ? "." : "; versions 0, 1 and 2 are defined."),
                            place(346)});
        if (version >= 1) {
            const std::uint8_t* umid = body + 348;
            bool zero = true;
            for (int i = 0; i < 64; ++i)
                zero = zero && umid[i] == 0;
            static const std::uint8_t Label[] = {0x06, 0x0A, 0x2B, 0x34};
            const bool smpte =
                std::memcmp(umid, Label, 4) == 0 && (umid[12] == 0x13 || umid[12] == 0x33);
            findings.push_back({"bext.umid", zero || smpte,
                                zero    ? "No UMID is given (all zeros)."
                                : smpte ? "The UMID is a SMPTE UMID."
                                        : "The UMID does not start with the SMPTE label "
                                          "06 0A 2B 34 and a length of 0x13 or 0x33.",
                                place(348)});
        }
        const std::string fault = CodingHistoryFault(history);
        findings.push_back({"bext.coding-history", fault.empty(),
                            history.empty() ? "No coding history is given."
                            : fault.empty() ? "The coding history's lines are well-formed."
                                            : "The coding history's " + fault + ".",
                            place(FixedPart)});
        // Loudness values a version 2 description states, against the audio's.
        if (version >= 2 && measured && meta.Bext) {
            const TBext& b = *meta.Bext;
            double truePeak = -HUGE_VAL;
            for (double value : measured->TruePeakDbtp)
                truePeak = std::max(truePeak, value);
            const struct {
                const char* Name;
                std::optional<double> Stated;
                double Measured;
                const char* Unit;
            } values[] = {
                {"LoudnessValue", b.LoudnessValue, measured->Integrated, " LUFS"},
                {"LoudnessRange", b.LoudnessRange, measured->Range, " LU"},
                {"MaxTruePeakLevel", b.MaxTruePeakLevel, truePeak, " dBTP"},
                {"MaxMomentaryLoudness", b.MaxMomentaryLoudness, measured->MomentaryMax, " LUFS"},
                {"MaxShortTermLoudness", b.MaxShortTermLoudness, measured->ShortTermMax, " LUFS"}};
            std::string differ;
            bool any = false;
            for (const auto& value : values) {
                if (!value.Stated)
                    continue;
                any = true;
                // The stated values are in hundredths; the measurement may round differently.
                if (!(std::fabs(*value.Stated - value.Measured) <= 0.1 + 0.005))
                    differ += (differ.empty() ? "" : ", ") + std::string(value.Name) + " " +
                              Fixed(*value.Stated, 2) + value.Unit + " where the audio's is " +
                              Fixed(value.Measured, 2) + value.Unit;
            }
            if (any)
                findings.push_back(
                    {"bext.loudness", differ.empty(),
                     differ.empty()
                         ? "The loudness values stated agree with the audio's within 0.1 LU."
                         : "The bext chunk states " + differ + ".",
                     place(412)});
        }
    }
    for (const TInfoField& field : meta.Info)
        if (field.Id == "ICRD") {
            const bool ok = IsRealDate(field.Text, true);
            TRulePlace where;
            where.Chunk = "LIST";
            findings.push_back({"info.icrd-date", ok,
                                ok ? "ICRD " + field.Text + " is a real date."
                                   : "ICRD " + Quoted(field.Text) +
                                         " is not a date written yyyy-mm-dd (or yyyy-mm, yyyy).",
                                where});
        }
    return findings;
}
