#include "wave/WaveFormat.h"

std::string EncodingName(const TWaveFormat& format) {
    switch (format.Encoding) {
    case sePcm:
        return "PCM";
    case seFloat:
        return "IEEE float";
    case seALaw:
        return "A-law";
    case seMuLaw:
        return "mu-law";
    case seImaAdpcm:
        return "IMA ADPCM";
    case seMsAdpcm:
        return "MS ADPCM";
    case seGsm610:
        return "GSM 6.10";
    case seUnknown:
        break;
    }
    return "unknown";
}

std::string EncodingKey(const TWaveFormat& format) {
    switch (format.Encoding) {
    case sePcm:
        return "pcm";
    case seFloat:
        return "float";
    case seALaw:
        return "alaw";
    case seMuLaw:
        return "mulaw";
    case seImaAdpcm:
        return "ima-adpcm";
    case seMsAdpcm:
        return "ms-adpcm";
    case seGsm610:
        return "gsm610";
    case seUnknown:
        break;
    }
    return "unknown";
}
