#pragma once
// A file opened for the conformant reading: its bytes (mapped, or a stream's read into
// memory) and the facts read from them. Opening never throws for the file's sake: a file that
// cannot be opened has no bytes and says why in its facts' problems.

#include <memory>
#include <string>

#include "meta/Metadata.h"
#include "wave/AudioFacts.h"
#include "wave/FileBytes.h"

struct TAudioFile {
    std::shared_ptr<const TFileBytes> Bytes; // null when the file could not be opened
    TAudioFacts Facts;
};

TAudioFile OpenAudioFile(const std::string& name, bool acceptStreams);
// The facts of bytes already in hand.
TAudioFile AudioFileOf(std::shared_ptr<const TFileBytes> bytes);

// The file's metadata chunks (every chunk but the format and the data), each with the bytes
// of its body that are there, and what they say decoded.
std::vector<TMetaChunk> MetadataChunks(const TAudioFile& file);
TFileMetadata MetadataOf(const TAudioFile& file);
