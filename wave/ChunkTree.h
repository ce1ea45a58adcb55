#pragma once
// Every chunk of a file as a tree, for a view of its structure: the container's header at the
// root, each chunk beneath it in file order, and beneath a LIST its entries and beneath a ds64
// chunk its table of sizes. Each node says where it lies, what size the file gives it, how much
// of it was read, its pad byte, the problems that are its own and its fields as the metadata
// decoders read them. It is made from the conformant reading, so it lists the chunks that
// reading lists, at the same offsets.

#include <cstdint>
#include <string>
#include <vector>

#include "wave/AudioFile.h"

enum TPadByte : std::uint8_t {
    pbNone,    // an even body: no pad byte is due
    pbPresent, // an odd body followed by its pad byte
    pbMissing, // an odd body with the next chunk (or the end of the file) right after it
};

struct TChunkNode {
    std::string Id;               // the four raw bytes of its id (the container's at the root)
    std::string Form;             // the form type of the root and of a LIST: "WAVE", "INFO", "adtl"
    std::uint64_t Offset = 0;     // where it starts in the file
    std::uint64_t HeaderSize = 8; // the bytes before its body (12 at the root, counting the form)
    // The size the file gives its body: from ds64 where its header says 0xFFFFFFFF; for a
    // table entry the size it lists.
    std::uint64_t Declared = 0;
    std::uint64_t Used = 0; // the bytes of its body that are there and were read as it
    TPadByte Pad = pbNone;
    bool TableEntry = false; // a size in the ds64 table, not a chunk of its own
    std::vector<std::string> Fields;
    std::vector<std::string> Problems;
    std::vector<TChunkNode> Children;

    // Where its body starts.
    std::uint64_t BodyOffset() const { return Offset + HeaderSize; }
};

// The tree of `file` (a file that could not be opened is a root with its problems only).
TChunkNode ChunkTreeOf(const TAudioFile& file);

// "none", "present", "missing".
std::string PadByteText(TPadByte pad);
