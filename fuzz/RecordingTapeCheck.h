// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "RecoveredBlock.h"
#include "TapeDocument.h"

namespace brisalto::fuzzing {

inline constexpr std::size_t kTzxHeaderSize = 10;

inline std::uint8_t Xor(std::span<const std::uint8_t> bytes) {
    std::uint8_t value = 0;
    for (const std::uint8_t byte : bytes) value ^= byte;
    return value;
}

// What a data block says of itself against the body it holds.
inline void CheckDataBlock(const brisalto::RecoveredBlock& block, const brisalto::TapeBlock& read) {
    Require(read.body.has_value(), "a data block has a body");
    Require(read.body->length == block.dataLength, "a data block's length is its body's");
    const auto body =
        std::span(block.tzx).last(std::min<std::size_t>(block.dataLength, block.tzx.size()));
    Require(block.checksumGood == (block.dataLength > 0 && Xor(body) == 0),
            "a block checks where its bytes XOR to zero");
    Require(!block.broke || block.broke->byte <= block.dataLength, "a break lies in the block");
}

// The T-states a recovered block sounds for, from its own fields (at offsets after its ID).
inline double BlockTstates(const std::vector<std::uint8_t>& tzx) {
    const auto word = [&tzx](std::size_t at) {
        return at + 2 < tzx.size() ? double(tzx[at + 1] | tzx[at + 2] << 8) : 0.0;
    };
    const auto bits = [&tzx](std::size_t from, double zero, double one) {
        double tstates = 0;
        for (std::size_t i = from; i < tzx.size(); ++i) {
            const int ones = std::popcount(tzx[i]);
            tstates += 2 * (ones * one + (8 - ones) * zero);
        }
        return tstates;
    };
    switch (tzx[0]) {
        case 0x10: {
            const double pilot = (tzx.size() > 5 && tzx[5] < 0x80 ? 8063 : 3223) * 2168.0;
            return pilot + 667 + 735 + bits(5, 855, 1710) + word(0) * 3500;
        }
        case 0x11:
            return word(0) * word(10) + word(2) + word(4) + bits(19, word(6), word(8)) +
                   word(13) * 3500;
        case 0x12: return word(0) * word(2);
        case 0x13: {
            double tstates = 0;
            for (std::size_t i = 0; tzx.size() > 1 && i < tzx[1]; ++i) tstates += word(1 + 2 * i);
            return tstates;
        }
        case 0x20: return word(0) * 3500;
        default: return 0;
    }
}

// What the tape made of a recording (of recordingSeconds, when known) must be, whichever way it
// was read: the blocks as they came, in the recording's order, the whole TZX file read by the
// tape reader. The T-states it sounds for.
inline double CheckTape(const std::vector<brisalto::RecoveredBlock>& blocks,
                        const std::shared_ptr<const std::vector<std::uint8_t>>& tzx,
                        std::uint32_t dataBlocksCounted, double recordingSeconds) {
    Require(tzx->size() >= kTzxHeaderSize, "a TZX file's header");
    std::vector<std::uint8_t> joined(tzx->begin(), tzx->begin() + kTzxHeaderSize);
    double seconds = 0;
    double tstates = 0;
    std::uint32_t dataBlocks = 0;
    for (const brisalto::RecoveredBlock& block : blocks) {
        Require(!block.tzx.empty(), "a block has its ID");
        Require(block.seconds >= seconds, "blocks come in the recording's order");
        seconds = block.seconds;
        joined.insert(joined.end(), block.tzx.begin(), block.tzx.end());
        if (block.data) ++dataBlocks;
        tstates += BlockTstates(block.tzx);
    }
    Require(seconds <= recordingSeconds, "no block starts after the recording");
    Require(joined == *tzx, "the tape is the blocks as they came");
    Require(dataBlocks == dataBlocksCounted, "every data block counted");

    const brisalto::TapeDocument document =
        brisalto::TapeDocumentFromBytes(brisalto::TapeLocation{"recording"}, tzx);
    Require(!document.failure && document.result == brisalto::ScanResult::Completed,
            "the tape reads whole");
    Require(document.blocks.size() == blocks.size(), "the tape reader finds every block");
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        Require(document.blocks[i].id == blocks[i].tzx[0], "each block of its kind");
        if (blocks[i].data) CheckDataBlock(blocks[i], document.blocks[i]);
    }
    return tstates;
}

}  // namespace brisalto::fuzzing
