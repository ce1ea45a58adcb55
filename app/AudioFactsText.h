#pragma once
// The facts panel's words for a file read as its format says: container, encoding, channels,
// rate, bits, duration, frames and every problem; and the notice the default view shows for a
// file that is not 16-bit stereo PCM.

#include <QString>

#include "wave/AudioFacts.h"

// Several lines of plain text.
QString AudioFactsText(const TAudioFacts& facts);

// Whether the default view's 16-bit stereo frames are what the file holds.
bool IsSixteenBitStereoPcm(const TAudioFacts& facts);

// One sentence saying what the file holds, for the default view's notice; empty where the
// default view shows the file as it is.
QString FormatNotice(const TAudioFacts& facts);

// What a format holds, in words: "24-bit PCM in 2 channels", "24-bit RIFF PCM in 2 channels"
// with the container given.
QString EncodingHeld(const TWaveFormat& f, const QString& container = {});

// The sentence over the plots of the file's format where its format leaves nothing to plot
// (0 channels); empty otherwise.
QString NothingToPlot(const TAudioFacts& facts);

// A duration as h:mm:ss.mmm (hours only when there are any): 1:23.500, 1:02:03.250.
QString DurationText(double seconds);
