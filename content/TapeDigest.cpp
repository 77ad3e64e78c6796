// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeDigest.h"

#include <limits>

#include "Sha1.h"
#include "TapeFile.h"

namespace brisalto {

TapeDigest ReadTapeDigest(const TapeLocation& location) {
    TapeFile file(location);
    Sha1 sum;
    TapeDigest digest;
    digest.size = file.ReadPieces(std::numeric_limits<std::uint64_t>::max(),
                                  [&sum](std::span<const std::uint8_t> piece) { sum.Add(piece); });
    file.Close();
    digest.sha1 = sum.HexDigest();
    return digest;
}

TapeDigest DigestOf(std::span<const std::uint8_t> bytes) {
    Sha1 sum;
    sum.Add(bytes);
    return {bytes.size(), sum.HexDigest()};
}

}  // namespace brisalto
