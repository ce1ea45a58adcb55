#include "report/AudioDigest.h"

#include <new>

#include <openssl/evp.h>

struct TAudioDigest::TState {
    EVP_MD_CTX* Context = EVP_MD_CTX_new();
    ~TState() { EVP_MD_CTX_free(Context); }
};

TAudioDigest::TAudioDigest() : State(std::make_unique<TState>()) {
    if (!State->Context || EVP_DigestInit_ex(State->Context, EVP_md5(), nullptr) != 1)
        throw std::bad_alloc();
}

TAudioDigest::~TAudioDigest() = default;

void TAudioDigest::Bytes(const std::uint8_t* bytes, std::size_t size) {
    EVP_DigestUpdate(State->Context, bytes, size);
}

void TAudioDigest::End() {
    unsigned int size = 0;
    EVP_DigestFinal_ex(State->Context, Digest.data(), &size);
}

std::string Md5Text(const TMd5& md5) {
    static const char Digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : md5) {
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
    }
    return text;
}
