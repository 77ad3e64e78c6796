#include "ScanTape.h"

#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>

#include "BlockBuffer.h"
#include "BlockWalker.h"
#include "CatalogueTable.h"
#include "TapWalker.h"
#include "TapeBytes.h"
#include "TapeFile.h"
#include "TzxWalker.h"

namespace brisalto {

namespace {

// A block body, in a TAP file or a TZX data block, is N bytes. Body byte 0 is the flag (0x00
// header, 0xFF data, anything else: never listed); the last body byte is a checksum: the XOR of
// all the body bytes is 0 on a good block. A header body is 19 bytes:
//   0 flag | 1 type (0 Program, 1 Numeric Array, 2 Character Array, 3 Bytes) | 2..11 name
//   12..13 data length | 14..15 parameter 1 (autostart line, load address; 15 = array name)
//   16..17 parameter 2 (length of the BASIC program proper) | 18 checksum
constexpr std::uint8_t kHeaderFlag = 0x00;
constexpr std::uint8_t kDataFlag = 0xFF;

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

void AppendRow(CatalogueTable& catalogue, const BodyBlock& block, ScanState& state) {
    const BlockBuffer& buffer = *block.bytes;
    const std::size_t bodyLength = block.length;
    const std::uint8_t flag = buffer[0];
    const std::uint8_t type = buffer[1];

    catalogue.Append();
    catalogue.SetInteger(CatalogueField::Tipo, type);
    if (type < kHeaderKinds.size())
        catalogue.SetString(CatalogueField::TipoStr, kHeaderKinds[type]);

    if (flag == kDataFlag) {
        catalogue.SetInteger(CatalogueField::Tipo, 255 + state.lastHeaderType);
        catalogue.SetString(CatalogueField::TipoStr, "Raw Data");
        // Only a TZX body can be longer than 65,537 bytes; its data length then fits no Size.
        const std::int64_t dataLength = static_cast<std::int64_t>(bodyLength) - 2;
        if (dataLength <= 65535) catalogue.SetInteger(CatalogueField::Size, dataLength);
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
    catalogue.SetInteger(CatalogueField::Offset, block.position % 65536);
    catalogue.SetPosition(block.position);
    catalogue.SetBlock(flag, block.checksum, block.length);
    catalogue.Post();
}

// No real tape comes near this many blocks; a hostile one (a file of zeros is a block every two
// bytes) would otherwise fill memory with rows.
constexpr std::uint32_t kMaxBlocks = 1u << 20;

void Count(const BodyBlock& block, ScanDetails& details) {
    const std::uint8_t flag = block.Flag();
    ++(flag == kHeaderFlag ? details.headers : flag == kDataFlag ? details.data : details.neverListed);
}

ScanResult Walk(BlockWalker& walker, bool showRaw, CatalogueTable& catalogue,
                ScanDetails& details) {
    ScanState state;
    for (std::uint32_t blocks = 0;; ++blocks) {
        if (blocks == kMaxBlocks) return walker.AtEnd() ? ScanResult::Completed : ScanResult::Damaged;
        BodyBlock block;
        switch (walker.Next(block)) {
            case WalkStep::End: return ScanResult::Completed;
            case WalkStep::Damaged: return ScanResult::Damaged;
            case WalkStep::Skipped: ++details.tzxPassedOver; break;
            case WalkStep::Body: {
                Count(block, details);
                const std::uint8_t flag = block.Flag();
                if (flag == kHeaderFlag || (flag == kDataFlag && showRaw))
                    AppendRow(catalogue, block, state);
                break;
            }
        }
    }
}

}  // namespace

ScanResult ScanTape(const TapeLocation& location, bool showRaw, CatalogueTable& catalogue,
                    ScanDetails* details) {
    catalogue.Empty();
    ScanDetails unused;
    ScanDetails& seen = details != nullptr ? *details : unused;
    seen = {};
    TapeFile file(location);
    ScanResult result = ScanResult::Damaged;
    ScanDetails::Version version;
    switch (ReadTzxStart(file, version)) {
        case TzxStart::NotTzx: {
            // Large: the walkers keep a block's worth of bytes each.
            const auto walker = std::make_unique<TapWalker>(file);
            result = Walk(*walker, showRaw, catalogue, seen);
            break;
        }
        case TzxStart::Tzx: {
            seen.tzxVersion = version;
            const auto walker =
                std::make_unique<TzxWalker>(file, details != nullptr ? &seen.texts : nullptr);
            result = Walk(*walker, showRaw, catalogue, seen);
            break;
        }
        case TzxStart::Cut: break;
    }
    file.Close();
    return result;
}

}  // namespace brisalto
