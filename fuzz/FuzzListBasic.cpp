// SPDX-License-Identifier: GPL-3.0-or-later
// Lists a BASIC program from any bytes. Input: the block's position (4 bytes, little-endian; taken
// below 256 KiB), the program length (2 bytes, little-endian), then the tape's bytes from the
// 64 KiB boundary at or below the position; the tape holds zeros before them. So positions past
// 64 KiB, where a 16-bit offset no longer says where a block is, read the input's bytes without the
// input being large. "Read beyond end of file" is the normal outcome when the tape is too short; a
// crash, a sanitizer report, a hang or a broken expectation below is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "BlockBuffer.h"
#include "DecodeBasicProgram.h"
#include "FuzzCheck.h"
#include "InOutError.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "TapeDocument.h"

namespace {

using brisalto::fuzzing::Require;

constexpr std::size_t kParameterBytes = 6;

// The decoder straight over an exactly sized heap copy, so that ASan reports a read even one
// byte past what was read from the file.
std::vector<std::string> DecodeExactCopy(std::span<const std::uint8_t> bytes,
                                         std::uint16_t length) {
    const auto copy = std::make_unique_for_overwrite<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    brisalto::LineVector lines;
    brisalto::DecodeBasicProgram(std::span<const std::uint8_t>(copy.get(), bytes.size()), length,
                                 lines);
    // Each line takes at least its four number and length bytes.
    Require(lines.lines.size() <= bytes.size() / 4 + 1, "decoding moves on with every line");
    for (const std::string& line : lines.lines) {
        Require(line.size() >= 5 && line[4] == ' ', "a line starts with its padded number");
    }
    return lines.lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kParameterBytes) return 0;
    std::uint64_t position = 0;
    for (std::size_t i = 0; i < 4; ++i) position |= std::uint64_t{data[i]} << (8 * i);
    // Past a few 64 KiB boundaries every position is alike; the tape is held in memory.
    position &= 0x3FFFF;
    const auto length = static_cast<std::uint16_t>(data[4] | data[5] << 8);
    const std::span<const std::uint8_t> contents(data + kParameterBytes, size - kParameterBytes);

    const std::uint64_t base = position & ~std::uint64_t{0xFFFF};
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(base));
    bytes->insert(bytes->end(), contents.begin(), contents.end());
    // The lister reads the tape's bytes only: its blocks are not read here.
    brisalto::TapeDocument document;
    document.bytes = std::move(bytes);

    const auto offset = static_cast<std::size_t>(position - base);
    const std::span<const std::uint8_t> fromPosition =
        contents.subspan(std::min(offset, contents.size()));
    const std::size_t kept = std::min<std::size_t>(length, brisalto::kBlockBufferSize);
    const std::vector<std::string> decoded =
        DecodeExactCopy(fromPosition.first(std::min(kept, fromPosition.size())), length);
    const bool whole = fromPosition.size() >= length;

    brisalto::LineVector listed;
    try {
        brisalto::ListBasicProgram(document, position, length, listed);
        Require(whole, "listed only when every program byte is there");
        Require(listed.lines == decoded, "the listing shows the bytes at the position");
    } catch (const brisalto::InOutError& error) {
        Require(error.Code() == brisalto::kReadBeyondEndOfFile, "only code 100 from a tape file");
        Require(!whole, "fails only when program bytes are missing");
        Require(listed.lines.empty(), "no line before a failed read");
    }
    return 0;
}
