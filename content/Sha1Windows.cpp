// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-1 through Windows' CNG (bcrypt), which every Windows since Vista has.
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "Sha1.h"

namespace brisalto {

namespace {

void Check(NTSTATUS status, const char* what) {
    if (!BCRYPT_SUCCESS(status))
        throw std::runtime_error(std::string("SHA-1: ") + what + " failed");
}

}  // namespace

// The provider and the hash object, closed when the sum goes.
struct Sha1::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    State() {
        Check(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0),
              "opening the provider");
        if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
            throw std::runtime_error("SHA-1: making the hash failed");
        }
    }
    ~State() {
        BCryptDestroyHash(hash);
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
};

Sha1::Sha1() : state_(std::make_unique<State>()) {}

Sha1::~Sha1() = default;

void Sha1::Add(std::span<const std::uint8_t> bytes) {
    // CNG takes at most 4 GiB a call.
    constexpr std::size_t kMostPerCall = 1u << 30;
    while (!bytes.empty()) {
        const std::span<const std::uint8_t> piece =
            bytes.first(std::min(bytes.size(), kMostPerCall));
        Check(BCryptHashData(state_->hash, const_cast<PUCHAR>(piece.data()),
                             static_cast<ULONG>(piece.size()), 0),
              "adding bytes");
        bytes = bytes.subspan(piece.size());
    }
}

std::string Sha1::HexDigest() {
    std::array<std::uint8_t, 20> digest{};
    Check(BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0),
          "finishing");
    return HexOfDigest(digest);
}

}  // namespace brisalto
