// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "BlockChecksum.h"
#include "HeaderKind.h"

namespace brisalto {

// A single-byte string of at most Width characters kept inside the row, so that a row costs no
// allocation. Empty means null: the catalogue stores an empty string as null.
template <std::size_t Width>
class ShortText {
    static_assert(Width < 256);

public:
    // Keeps the characters before the first 0x00, cut to Width.
    void Assign(std::string_view text) noexcept {
        const std::size_t most = std::min(text.size(), Width);
        std::size_t length = 0;
        for (; length < most && text[length] != '\0'; ++length)
            chars_[length] = static_cast<unsigned char>(text[length]);
        length_ = static_cast<std::uint8_t>(length);
    }
    std::string_view View() const noexcept {
        return {reinterpret_cast<const char*>(chars_.data()), length_};
    }
    bool IsNull() const noexcept { return length_ == 0; }

private:
    // Only the first length_ characters are ever read: left unset, a row costs no clearing
    // (unsigned, as bytes whose value is not set may only be copied as such).
    std::array<unsigned char, Width> chars_;
    std::uint8_t length_ = 0;
};

// Kind codes of rows: a header's type byte (its HeaderKind for the four kinds); a data block's
// is kDataTipoBase plus the type of the header before it.
inline constexpr std::int32_t kProgramTipo = static_cast<std::int32_t>(HeaderKind::Program);
inline constexpr std::int32_t kNumberArrayTipo = static_cast<std::int32_t>(HeaderKind::NumberArray);
inline constexpr std::int32_t kCharacterArrayTipo =
    static_cast<std::int32_t>(HeaderKind::CharacterArray);
inline constexpr std::int32_t kBytesTipo = static_cast<std::int32_t>(HeaderKind::Bytes);
inline constexpr std::int32_t kDataTipoBase = 255;
inline constexpr std::int32_t kProgramDataTipo = kDataTipoBase + kProgramTipo;
inline constexpr std::int32_t kNumberArrayDataTipo = kDataTipoBase + kNumberArrayTipo;
inline constexpr std::int32_t kCharacterArrayDataTipo = kDataTipoBase + kCharacterArrayTipo;
inline constexpr std::int32_t kBytesDataTipo = kDataTipoBase + kBytesTipo;

inline constexpr std::size_t kTipoStrWidth = 30;
inline constexpr std::size_t kNameWidth = 10;

// One listed tape block. Every field starts out null; the scanner sets those its block kind has.
struct CatalogueRow {
    std::optional<std::int32_t> Tipo;       // kind code; 255 marks a BASIC program's data block
    ShortText<kTipoStrWidth> TipoStr;       // description of the kind
    ShortText<kNameWidth> Name;             // the header's ten file-name bytes
    std::optional<std::uint16_t> Offset;    // Position modulo 65536, as shown
    std::optional<std::uint16_t> Start;     // header parameter 1
    std::optional<std::uint16_t> Size;      // announced data length, or block length - 2
    std::optional<std::uint16_t> Par1;      // BASIC program length
    std::uint8_t Flag = 0;                  // the block's flag byte: 0x00 header, 0xFF data
    std::optional<BlockChecksum> Checksum;  // unset for a block with no body
    std::uint64_t Position = 0;             // full file position of the flag byte, for the lister
    std::uint32_t Length = 0;               // the body's byte count N: flag, data and checksum
};

}  // namespace brisalto
