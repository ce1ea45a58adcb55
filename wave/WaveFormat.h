#pragma once
// What a file's samples are, as its format chunk says: the value that travels with the data
// to whatever decodes, draws or writes it. Nothing here assumes two channels or 16 bits.

#include <cstdint>
#include <string>
#include <vector>

enum TSampleEncoding : std::uint8_t {
    seUnknown = 0, // a tag this program does not decode
    sePcm,         // integer PCM, 1 to 64 bits in 1- to 8-byte containers
    seFloat,       // IEEE float, 32 or 64 bits
    seALaw,        // G.711 A-law, 8 bits a sample
    seMuLaw,       // G.711 mu-law, 8 bits a sample
    seImaAdpcm,    // IMA ADPCM (tag 0x11), 4 bits a sample in blocks
    seMsAdpcm,     // Microsoft ADPCM (tag 2), 4 bits a sample in blocks
    seGsm610,      // GSM 6.10 (tag 0x31)
};

// The format chunk's tags this program knows by name.
enum TFormatTag : std::uint16_t {
    ftPcm = 0x0001,
    ftMsAdpcm = 0x0002,
    ftFloat = 0x0003,
    ftALaw = 0x0006,
    ftMuLaw = 0x0007,
    ftImaAdpcm = 0x0011,
    ftGsm610 = 0x0031,
    ftExtensible = 0xFFFE,
};

struct TWaveFormat {
    TSampleEncoding Encoding = seUnknown;
    std::uint16_t FormatTag = 0;   // as the chunk says (0xFFFE for the extensible form)
    std::uint16_t EncodingTag = 0; // the tag that names the encoding (the sub-format's)
    std::uint16_t Channels = 0;
    std::uint32_t SampleRate = 0;
    std::uint32_t ByteRate = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t ValidBits = 0;       // the bits that carry the signal (extensible), else the bits
    std::uint32_t ChannelMask = 0;     // speaker positions (extensible), 0 when not given
    std::uint16_t SamplesPerBlock = 0; // for the block-coded encodings
    bool BigEndian = false;            // a RIFX file: numbers and samples stored big-endian
    // Bytes one sample takes in a frame of integer PCM or float; 0 where samples are coded
    // in blocks.
    std::uint16_t ContainerBytes = 0;
    // The bits an integer value is read from: the container's, or the valid bits where the
    // data shows them standing in the low bits of a wider container (a zero or sign top).
    std::uint16_t ValueBits = 0;
    // The format chunk's body as stored, for a codec that needs its extra fields.
    std::vector<std::uint8_t> Body;

    bool IsPlain() const { return Encoding == sePcm || Encoding == seFloat; }
    bool IsCompressed() const { return Encoding >= seALaw; }
    // Bytes of one frame of a plain encoding: every channel's container.
    std::uint32_t FrameBytes() const { return std::uint32_t(Channels) * ContainerBytes; }
};

// "PCM", "IEEE float", "A-law", ... for people; "pcm", "float", "alaw", ... for machines.
std::string EncodingName(const TWaveFormat& format);
std::string EncodingKey(const TWaveFormat& format);
