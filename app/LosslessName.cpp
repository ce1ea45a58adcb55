#include "app/LosslessName.h"

#include "samples/NameText.h"

namespace {

// Where the bytes that are not UTF-8 go: U+DC80..U+DCFF, byte 0x80..0xFF.
constexpr char16_t KeptByteBase = 0xDC00;

bool IsKeptByte(QChar c) {
    return c.unicode() >= KeptByteBase + 0x80 && c.unicode() <= KeptByteBase + 0xFF;
}

} // namespace

QString NameFromBytes(const std::string& bytes) {
    QString name;
    name.reserve(qsizetype(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8Length(bytes, at);
        if (length == 0) {
            // Only a byte from 0x80 up starts no UTF-8.
            name += QChar(char16_t(KeptByteBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUtf8(bytes.data() + at, qsizetype(length));
        at += length;
    }
    return name;
}

std::string BytesOfName(const QString& name) {
    std::string bytes;
    qsizetype run = 0; // where the text not yet converted starts
    const auto flush = [&](qsizetype end) {
        bytes += name.mid(run, end - run).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        // A kept byte is unpaired: a high surrogate before it would make it half a character.
        if (!IsKeptByte(name[i]) || (i > 0 && name[i - 1].isHighSurrogate()))
            continue;
        flush(i);
        bytes += char(name[i].unicode() - KeptByteBase);
        run = i + 1;
    }
    flush(name.size());
    return bytes;
}

QString ShownName(const std::string& bytes) {
    return QString::fromStdString(NameText(bytes));
}

QString ShownBaseName(const std::string& bytes) {
    const std::size_t slash = bytes.rfind('/');
    return ShownName(slash == std::string::npos ? bytes : bytes.substr(slash + 1));
}
