#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <vector>

#include "CatalogueRow.h"

namespace brisalto {

// The catalogue's rows in fixed chunks: appending never moves the rows already there, so a tape
// of hundreds of thousands of blocks neither copies them on growth nor touches memory twice.
class CatalogueRows {
public:
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    CatalogueRow& operator[](std::size_t index) noexcept {
        return (*chunks_[index / kChunkRows])[index % kChunkRows];
    }
    const CatalogueRow& operator[](std::size_t index) const noexcept {
        return (*chunks_[index / kChunkRows])[index % kChunkRows];
    }
    const CatalogueRow& at(std::size_t index) const {
        if (index >= size_) throw std::out_of_range("CatalogueRows::at");
        return (*this)[index];
    }
    CatalogueRow& back() noexcept { return (*this)[size_ - 1]; }

    void emplace_back() {
        if (size_ == chunks_.size() * kChunkRows) chunks_.push_back(std::make_unique<Chunk>());
        (*this)[size_++] = CatalogueRow();
    }
    void pop_back() noexcept { --size_; }
    // Keeps the chunks, so that the next scan in the same window finds its room ready.
    void clear() noexcept { size_ = 0; }

private:
    static constexpr std::size_t kChunkRows = 4096;
    using Chunk = std::array<CatalogueRow, kChunkRows>;

    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t size_ = 0;
};

}  // namespace brisalto
