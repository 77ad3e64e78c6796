#include "ScanTape.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "BlockBuffer.h"
#include "CatalogueTable.h"
#include "TapeBytes.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

// A TAP file is a plain sequence of blocks: a 16-bit little-endian length N, then N body bytes.
// Body byte 0 is the flag (0x00 header, 0xFF data, anything else: never listed); the last body
// byte is a checksum that nothing here examines. A header body is 19 bytes:
//   0 flag | 1 type (0 Program, 1 Numeric Array, 2 Character Array, 3 Bytes) | 2..11 name
//   12..13 data length | 14..15 parameter 1 (autostart line, load address; 15 = array name)
//   16..17 parameter 2 (length of the BASIC program proper) | 18 checksum
constexpr std::uint8_t kHeaderFlag = 0x00;
constexpr std::uint8_t kDataFlag = 0xFF;
constexpr std::size_t kHeaderSize = 19;

constexpr std::array<const char*, 4> kHeaderKinds = {"Program", "Numeric Array", "Character Array",
                                                     "Bytes"};

struct ScanState {
    std::uint8_t lastHeaderType = 0;      // type byte of the most recent header
    std::uint16_t lastProgramLength = 0;  // parameter 2 of the most recent Program header
};

// "Numeric Array A()" from name byte 0x81, "Character Array A$()" from 0xC1.
std::string ArrayDescription(std::string_view kind, std::uint8_t nameByte, std::uint8_t bias,
                             std::string_view suffix) {
    std::string text(kind);
    text += ' ';
    text += static_cast<char>(static_cast<std::uint8_t>(nameByte - bias));
    text += suffix;
    return text;
}

void AppendRow(CatalogueTable& catalogue, const BlockBuffer& buffer, std::size_t bodyLength,
               std::uint64_t position, ScanState& state) {
    const std::uint8_t flag = buffer[0];
    const std::uint8_t type = buffer[1];

    catalogue.Append();
    catalogue.SetInteger(CatalogueField::Tipo, type);
    if (type < kHeaderKinds.size())
        catalogue.SetString(CatalogueField::TipoStr, kHeaderKinds[type]);

    if (flag == kDataFlag) {
        catalogue.SetInteger(CatalogueField::Tipo, 255 + state.lastHeaderType);
        catalogue.SetString(CatalogueField::TipoStr, "Raw Data");
        catalogue.SetInteger(CatalogueField::Size, static_cast<std::int64_t>(bodyLength) - 2);
        catalogue.SetInteger(CatalogueField::Par1, state.lastProgramLength);
    } else {
        catalogue.SetString(CatalogueField::Name, BytesToStr(buffer, 2, 10));
        catalogue.SetInteger(CatalogueField::Size, MakeWordLH(buffer[12], buffer[13]));
        if (type == 1) {
            catalogue.SetString(CatalogueField::TipoStr,
                                ArrayDescription(catalogue.AsString(CatalogueField::TipoStr),
                                                 buffer[15], 0x40, "()"));
        } else if (type == 2) {
            catalogue.SetString(CatalogueField::TipoStr,
                                ArrayDescription(catalogue.AsString(CatalogueField::TipoStr),
                                                 buffer[15], 0x80, "$()"));
        }
        catalogue.SetInteger(CatalogueField::Start, MakeWordLH(buffer[14], buffer[15]));
        if (type == 0) {
            state.lastProgramLength = MakeWordLH(buffer[16], buffer[17]);
            catalogue.SetInteger(CatalogueField::Par1, state.lastProgramLength);
        }
        state.lastHeaderType = type;
    }
    catalogue.SetInteger(CatalogueField::Offset, position % 65536);
    catalogue.SetPosition(position);
    catalogue.Post();
}

// Reads a body of length bytes, keeping what fits in the buffer and skipping the rest.
// Returns false when the file ends first.
bool ReadBody(TapeFile& file, BlockBuffer& buffer, std::size_t length) {
    const std::size_t kept = std::min(length, buffer.size());
    if (file.ReadSome(std::span(buffer.data(), kept)) != kept) return false;
    std::array<std::uint8_t, 64> discard;
    for (std::size_t left = length - kept; left > 0;) {
        const std::size_t chunk = std::min(left, discard.size());
        if (file.ReadSome(std::span(discard.data(), chunk)) != chunk) return false;
        left -= chunk;
    }
    // A short header must not show bytes of an earlier block.
    if (kept < kHeaderSize)
        std::fill(buffer.begin() + std::ptrdiff_t(kept), buffer.begin() + kHeaderSize, 0);
    return true;
}

}  // namespace

ScanResult ScanTape(const std::string& path, bool showRaw, CatalogueTable& catalogue) {
    catalogue.Empty();
    TapeFile file(path);
    BlockBuffer buffer;
    ScanState state;

    while (!file.AtEnd()) {
        file.ReadExact(std::span(buffer.data(), 2));
        const std::size_t length = MakeWordLH(buffer[0], buffer[1]);
        const std::uint64_t position = file.Position();
        if (!ReadBody(file, buffer, length)) {
            file.Close();
            return ScanResult::Damaged;
        }
        const std::uint8_t flag = buffer[0];
        if (flag == kHeaderFlag || (flag == kDataFlag && showRaw)) {
            AppendRow(catalogue, buffer, length, position, state);
        }
    }
    file.Close();
    return ScanResult::Completed;
}

}  // namespace brisalto
