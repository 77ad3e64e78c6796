// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "SpanSource.h"

namespace brisalto {

// Bytes already read into memory (an archive entry, shared with the copy kept of it), read and
// seeked like a file; the source keeps them for as long as it reads them.
class MemorySource final : public SpanSource {
public:
    // The span is taken before the pointer moves: the vector it points to stays where it is.
    explicit MemorySource(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
        : SpanSource(*bytes), kept_(std::move(bytes)) {}

private:
    std::shared_ptr<const std::vector<std::uint8_t>> kept_;
};

}  // namespace brisalto
