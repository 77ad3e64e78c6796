// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-1 through nettle.
#include "Sha1.h"

#include <nettle/sha1.h>

#include <array>

namespace brisalto {

struct Sha1::State {
    sha1_ctx context{};
};

Sha1::Sha1() : state_(std::make_unique<State>()) {
    sha1_init(&state_->context);
}

Sha1::~Sha1() = default;

void Sha1::Add(std::span<const std::uint8_t> bytes) {
    sha1_update(&state_->context, bytes.size(), bytes.data());
}

std::string Sha1::HexDigest() {
    std::array<std::uint8_t, SHA1_DIGEST_SIZE> digest{};
    sha1_digest(&state_->context, digest.size(), digest.data());
    return HexOfDigest(digest);
}

}  // namespace brisalto
