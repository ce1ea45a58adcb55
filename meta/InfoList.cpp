// LIST/INFO: texts under four-letter ids, each an even-padded subchunk ending in a zero.
#include <map>

#include "meta/ByteReader.h"
#include "meta/MetaText.h"
#include "meta/Metadata.h"

namespace {

const std::map<std::string, std::string>& InfoNames() {
    static const std::map<std::string, std::string> names = {
        {"IARL", "Archival location"},
        {"IART", "Artist"},
        {"ICMS", "Commissioned"},
        {"ICMT", "Comment"},
        {"ICOP", "Copyright"},
        {"ICRD", "Date"},
        {"ICRP", "Cropped"},
        {"IDIM", "Dimensions"},
        {"IDPI", "Dots per inch"},
        {"IENG", "Engineer"},
        {"IGNR", "Genre"},
        {"IKEY", "Keywords"},
        {"ILGT", "Lightness"},
        {"IMED", "Medium"},
        {"INAM", "Title"},
        {"IPLT", "Palette"},
        {"IPRD", "Product"},
        {"ISBJ", "Subject"},
        {"ISFT", "Software"},
        {"ISHP", "Sharpness"},
        {"ISRC", "Source"},
        {"ISRF", "Source form"},
        {"ITCH", "Technician"},
        {"ITRK", "Track"},
        {"IPRT", "Track"},
        {"ITOC", "Table of contents"},
    };
    return names;
}

} // namespace

std::vector<TInfoField> DecodeInfo(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                                   TProblems& problems) {
    std::vector<TInfoField> fields;
    TByteReader in(body, size, bigEndian);
    while (in.Left() > 0) {
        if (in.Left() < 8) {
            problems.push_back("LIST/INFO ends with " + std::to_string(in.Left()) +
                               " bytes that are not a whole entry.");
            break;
        }
        TInfoField field;
        field.Id = in.Raw(4);
        const std::uint32_t length = in.U32();
        std::string raw = in.Raw(length);
        if (raw.size() < length)
            problems.push_back("LIST/INFO entry " + field.Id + " declares " +
                               std::to_string(length) + " bytes but has " +
                               std::to_string(raw.size()) + "; its text is cut.");
        else if (raw.empty() || raw.back() != '\0')
            problems.push_back("LIST/INFO entry " + field.Id + " has no zero at its end.");
        if (length % 2 == 1 && in.Left() > 0)
            in.Skip(1);
        const auto named = InfoNames().find(field.Id);
        field.Name = named != InfoNames().end() ? named->second : field.Id;
        field.Text = AsUtf8(FieldText(raw), field.Encoding);
        fields.push_back(std::move(field));
    }
    return fields;
}
