#include "ScanTape.h"

#include <array>
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

void AppendRow(CatalogueTable& catalogue, const BlockBuffer& buffer, std::size_t bodyLength,
               std::uint64_t position, std::optional<BlockChecksum> checksum, ScanState& state) {
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
    catalogue.SetInteger(CatalogueField::Offset, position % 65536);
    catalogue.SetPosition(position);
    catalogue.SetBlock(flag, checksum);
    catalogue.Post();
}

// No real tape comes near this many blocks; a hostile one (a file of zeros is a block every two
// bytes) would otherwise fill memory with rows.
constexpr std::uint32_t kMaxBlocks = 1u << 20;

ScanResult Walk(TapeFile& file, BlockWalker& walker, const BlockBuffer& buffer, bool showRaw,
                CatalogueTable& catalogue) {
    ScanState state;
    for (std::uint32_t blocks = 0;; ++blocks) {
        if (blocks == kMaxBlocks) return file.AtEnd() ? ScanResult::Completed : ScanResult::Damaged;
        BodyBlock block;
        switch (walker.Next(block)) {
            case WalkStep::End: return ScanResult::Completed;
            case WalkStep::Damaged: return ScanResult::Damaged;
            case WalkStep::Skipped: break;
            case WalkStep::Body: {
                const std::uint8_t flag = buffer[0];
                if (flag == kHeaderFlag || (flag == kDataFlag && showRaw)) {
                    AppendRow(catalogue, buffer, block.length, block.position, block.checksum,
                              state);
                }
                break;
            }
        }
    }
}

}  // namespace

ScanResult ScanTape(const std::string& path, bool showRaw, CatalogueTable& catalogue) {
    catalogue.Empty();
    TapeFile file(path);
    BlockBuffer buffer;
    ScanResult result = ScanResult::Damaged;
    switch (ReadTzxStart(file)) {
        case TzxStart::NotTzx: {
            TapWalker walker(file, buffer);
            result = Walk(file, walker, buffer, showRaw, catalogue);
            break;
        }
        case TzxStart::Tzx: {
            TzxWalker walker(file, buffer);
            result = Walk(file, walker, buffer, showRaw, catalogue);
            break;
        }
        case TzxStart::Cut: break;
    }
    file.Close();
    return result;
}

}  // namespace brisalto
