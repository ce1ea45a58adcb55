#include "app/RefusalNotice.h"

#include "app/NumberText.h"
#include "wave/WaveInfo.h"
#include "wave/WaveStatus.h"

namespace {

// What the file holds, as its format says: "24-bit PCM in 2 channels".
QString Holds(const TAudioFacts& facts) {
    const TWaveFormat& f = facts.Format;
    QString holds = QString::fromStdString(EncodingName(f));
    if (f.IsPlain())
        holds = QStringLiteral("%1-bit %2").arg(f.ValidBits).arg(holds);
    return QStringLiteral("%1 in %2")
        .arg(holds, f.Channels == 1 ? QStringLiteral("1 channel")
                                    : QStringLiteral("%1 channels").arg(f.Channels));
}

// The default view's reader reads the next header right after an odd body: a pad byte before
// the data chunk throws every later header one byte off.
const TAudioChunk* PaddedBeforeData(const TAudioFacts& facts) {
    for (const TAudioChunk& chunk : facts.Chunks) {
        if (chunk.Id == "data")
            return nullptr;
        if (chunk.Padded)
            return &chunk;
    }
    return nullptr;
}

} // namespace

QString RefusalNotice(const TAudioFacts& facts, std::uint16_t status, const std::string& reason) {
    if (status == wsOk || !facts.IsWave || !facts.Decodable)
        return {};
    const QString container = QString::fromStdString(facts.Container);
    if (facts.Container != "RIFF")
        return QStringLiteral("The 16-bit stereo view reads RIFF files only: this is a %1 file of "
                              "%2.")
            .arg(container, Holds(facts));
    QString why = QString::fromStdString(reason);
    if (why.isEmpty() && status == wsBadChunkSize)
        why = QStringLiteral("a chunk declares more than 2,147,483,647 bytes.");
    else if (why.isEmpty() && status == wsDataBeforeFormat)
        why = QStringLiteral("its data chunk comes before its format chunk.");
    else if (why.isEmpty())
        why = QString::fromStdString(WaveStatusName(status)) + QLatin1Char('.');
    if (why.size() > 1 && why[1].isLower()) // a sentence, not a name ("FIFO")
        why[0] = why[0].toLower();
    QString text = QStringLiteral("The 16-bit stereo view cannot read this file: %1").arg(why);
    if (const TAudioChunk* odd = PaddedBeforeData(facts))
        text += QStringLiteral(" It takes no pad byte after the odd '%1' chunk at offset %2.")
                    .arg(QString::fromLatin1(odd->Id.c_str()), GroupedNumber(odd->Offset));
    return text;
}
