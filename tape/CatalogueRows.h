// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "CatalogueRow.h"

namespace brisalto {

// The catalogue's rows in fixed chunks: appending never moves the rows already there, so a tape
// of hundreds of thousands of blocks neither copies them on growth nor touches memory twice.
// A chunk's rows are made only as they are appended.
class CatalogueRows {
    static_assert(std::is_trivially_destructible_v<CatalogueRow>,
                  "chunks are freed without destroying their rows");

public:
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    CatalogueRow& operator[](std::size_t index) noexcept { return *Slot(index); }
    const CatalogueRow& operator[](std::size_t index) const noexcept { return *Slot(index); }
    const CatalogueRow& at(std::size_t index) const {
        if (index >= size_) throw std::out_of_range("CatalogueRows::at");
        return (*this)[index];
    }
    CatalogueRow& back() noexcept { return (*this)[size_ - 1]; }

    void emplace_back() {
        if (size_ == chunks_.size() * kChunkRows) {
            Chunk chunk(std::allocator<CatalogueRow>().allocate(kChunkRows));
            chunks_.push_back(std::move(chunk));
        }
        std::construct_at(Slot(size_));
        ++size_;
    }
    void pop_back() noexcept { --size_; }
    // Keeps the chunks, so that the next scan in the same window finds its room ready.
    void clear() noexcept { size_ = 0; }

private:
    static constexpr std::size_t kChunkRows = 4096;
    struct FreeChunk {
        void operator()(CatalogueRow* rows) const noexcept {
            std::allocator<CatalogueRow>().deallocate(rows, kChunkRows);
        }
    };
    using Chunk = std::unique_ptr<CatalogueRow[], FreeChunk>;

    CatalogueRow* Slot(std::size_t index) const noexcept {
        return chunks_[index / kChunkRows].get() + index % kChunkRows;
    }

    std::vector<Chunk> chunks_;
    std::size_t size_ = 0;
};

}  // namespace brisalto
