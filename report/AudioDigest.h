#pragma once
// The MD5 of a file's audio data: the data chunk's bytes as stored, nothing of its header or
// pad byte (the digest an MD5 chunk keeps), fed in order by the audio pass.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "report/AudioListener.h"

using TMd5 = std::array<std::uint8_t, 16>;

class TAudioDigest : public TByteListener {
  public:
    TAudioDigest();
    ~TAudioDigest() override;
    void Bytes(const std::uint8_t* bytes, std::size_t size) override;
    void End() override;
    const TMd5& Result() const { return Digest; }

  private:
    struct TState;
    std::unique_ptr<TState> State;
    TMd5 Digest{};
};

// The digest as 32 lower-case hexadecimal digits.
std::string Md5Text(const TMd5& md5);
