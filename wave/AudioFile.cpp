#include "AudioFile.h"

#include <new>

#include "WaveSource.h"

TAudioFile AudioFileOf(std::shared_ptr<const TFileBytes> bytes) {
    TAudioFile file;
    file.Facts = ReadAudioFacts(bytes->Data(), bytes->Size());
    file.Bytes = std::move(bytes);
    return file;
}

TAudioFile OpenAudioFile(const std::string& name, bool acceptStreams) {
    try {
        return AudioFileOf(TFileBytes::Open(name, acceptStreams));
    } catch (const TReadError& error) {
        TAudioFile file;
        std::string why = error.Problem.empty() ? "The file cannot be read." : error.Problem;
        if (why.back() != '.')
            why += '.';
        file.Facts.Refuse(why);
        return file;
    } catch (const std::bad_alloc&) {
        TAudioFile file;
        file.Facts.Refuse("Out of memory.");
        return file;
    }
}
