#include "BlockBody.h"

#include <algorithm>
#include <span>

#include "TapeFile.h"

namespace brisalto {

bool ReadBlockBody(TapeFile& file, BlockBuffer& buffer, std::size_t length) {
    const std::size_t kept = std::min(length, buffer.size());
    if (file.ReadSome(std::span(buffer.data(), kept)) != kept) return false;
    if (length > kept && file.Skip(length - kept) != length - kept) return false;
    if (kept < kHeaderBodySize) {
        std::fill(buffer.begin() + std::ptrdiff_t(kept), buffer.begin() + kHeaderBodySize, 0);
    }
    return true;
}

}  // namespace brisalto
