#include "app/RefusalNotice.h"

#include "app/AudioFactsText.h"
#include "app/NumberText.h"
#include "wave/WaveInfo.h"
#include "wave/WaveStatus.h"

namespace {

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
            .arg(container, EncodingHeld(facts.Format));
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
