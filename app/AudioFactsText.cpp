#include "app/AudioFactsText.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include <QStringList>

#include "app/NumberText.h"
#include "wave/SpeakerPositions.h"

namespace {

QString Bits(const TWaveFormat& f) {
    if (f.Encoding == seALaw || f.Encoding == seMuLaw)
        return QStringLiteral("8 bits a sample, decoded to 16-bit values");
    if (f.IsCompressed())
        return QStringLiteral("%1 bits a sample, decoded to 16-bit values").arg(f.BitsPerSample);
    QString text = QStringLiteral("%1 bits").arg(f.BitsPerSample);
    if (f.ValidBits != f.BitsPerSample)
        text += QStringLiteral(" (%1 valid)").arg(f.ValidBits);
    if (f.IsPlain() && f.ContainerBytes != 0 && f.ContainerBytes * 8 != f.BitsPerSample)
        text += QStringLiteral(" in %1-byte containers").arg(f.ContainerBytes);
    return text;
}

QString Channels(const TWaveFormat& f) {
    QString text = QString::number(f.Channels);
    if (f.ChannelMask != 0) {
        // The mask's positions, at most 32; channels past them keep their numbers.
        const int named = std::min<int>(f.Channels, std::popcount(f.ChannelMask));
        QStringList names;
        for (int c = 0; c < named; ++c)
            names << QString::fromStdString(ChannelName(c, f.ChannelMask));
        if (f.Channels > named)
            names << QStringLiteral("%1 more").arg(f.Channels - named);
        text += QStringLiteral(" (mask 0x%1: %2)")
                    .arg(f.ChannelMask, 0, 16)
                    .arg(names.join(QStringLiteral(", ")));
    }
    return text;
}

} // namespace

QString DurationText(double seconds) {
    if (!(seconds >= 0) || !std::isfinite(seconds))
        return QStringLiteral("unknown");
    const auto millis = static_cast<long long>(std::llround(seconds * 1000));
    const long long hours = millis / 3'600'000, minutes = millis / 60'000 % 60;
    const long long secs = millis / 1000 % 60, rest = millis % 1000;
    const QString tail = QStringLiteral("%1.%2")
                             .arg(secs, 2, 10, QLatin1Char('0'))
                             .arg(rest, 3, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(tail);
    return QStringLiteral("%1:%2").arg(minutes).arg(tail);
}

bool IsSixteenBitStereoPcm(const TAudioFacts& facts) {
    const TWaveFormat& f = facts.Format;
    return facts.IsWave && facts.Container == "RIFF" && facts.HasFormat && f.Encoding == sePcm &&
           f.Channels == 2 && f.BitsPerSample == 16 && f.ValidBits == 16 && f.ContainerBytes == 2;
}

QString FormatNotice(const TAudioFacts& facts) {
    if (!facts.IsWave || !facts.HasFormat || IsSixteenBitStereoPcm(facts))
        return {};
    const TWaveFormat& f = facts.Format;
    if (f.Channels == 0)
        return facts.Container == "RIFF"
                   ? QStringLiteral("The format says 0 channels: this file holds no audio; its "
                                    "data is shown here as 16-bit stereo frames.")
                   : QStringLiteral("The format says 0 channels: this file holds no audio.");
    const QString shown = facts.Container == "RIFF"
                              ? QStringLiteral("it is shown here as 16-bit stereo frames")
                              : QStringLiteral("the 16-bit stereo view reads RIFF files only");
    return QStringLiteral("This file holds %1; %2.")
        .arg(EncodingHeld(f, QString::fromStdString(facts.Container)), shown);
}

QString EncodingHeld(const TWaveFormat& f, const QString& container) {
    QString holds = QString::fromStdString(EncodingName(f));
    if (!container.isEmpty())
        holds = container + QLatin1Char(' ') + holds;
    if (f.IsPlain())
        holds = QStringLiteral("%1-bit %2").arg(f.ValidBits).arg(holds);
    return QStringLiteral("%1 in %2")
        .arg(holds, f.Channels == 1 ? QStringLiteral("1 channel")
                                    : QStringLiteral("%1 channels").arg(f.Channels));
}

QString NothingToPlot(const TAudioFacts& facts) {
    if (!facts.IsWave || !facts.HasFormat || facts.Format.Channels != 0)
        return {};
    return QStringLiteral("The format says 0 channels: this file holds no audio to plot.");
}

QString AudioFactsText(const TAudioFacts& facts) {
    QStringList lines;
    if (facts.IsWave) {
        const TWaveFormat& f = facts.Format;
        lines << QStringLiteral("Container: %1").arg(QString::fromLatin1(facts.Container.c_str()));
        if (facts.HasFormat) {
            lines << QStringLiteral("Encoding: %1").arg(QString::fromStdString(EncodingName(f)));
            lines << QStringLiteral("Channels: %1").arg(Channels(f));
            lines << QStringLiteral("Rate: %1 Hz").arg(GroupedNumber(f.SampleRate));
            lines << QStringLiteral("Bits: %1").arg(Bits(f));
        }
        if (facts.Decodable) {
            lines << QStringLiteral("Duration: %1").arg(DurationText(facts.Seconds));
            lines << QStringLiteral("Frames: %1").arg(GroupedNumber(facts.Frames));
        }
    } else {
        lines << QStringLiteral("This file cannot be shown.");
    }
    if (!facts.Problems.empty()) {
        lines << (facts.IsWave ? QStringLiteral("Problems:") : QString());
        for (const std::string& problem : facts.Problems)
            lines << QString::fromLocal8Bit(problem.c_str());
        if (!facts.IsWave)
            lines.removeAt(1);
    }
    return lines.join(QLatin1Char('\n'));
}
