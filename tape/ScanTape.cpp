// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanTape.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "CatalogueTable.h"
#include "CatalogueTableSink.h"
#include "HeaderKind.h"
#include "TapeBlockReader.h"
#include "TapeBytes.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

// A block body, in a TAP file or a TZX data block, is N bytes. Body byte 0 is the flag (0x00
// header, 0xFF data, anything else: never listed); the last body byte is a checksum: the XOR of
// all the body bytes is 0 on a good block. A header body is 19 bytes:
//   0 flag | 1 type (0 Program, 1 Numeric Array, 2 Character Array, 3 Bytes) | 2..11 name
//   12..13 data length | 14..15 parameter 1 (autostart line, load address; 15 = array name)
//   16..17 parameter 2 (length of the BASIC program proper) | 18 checksum
constexpr std::array<std::string_view, 4> kHeaderKinds = {
    HeaderKindName(HeaderKind::Program), HeaderKindName(HeaderKind::NumberArray),
    HeaderKindName(HeaderKind::CharacterArray), HeaderKindName(HeaderKind::Bytes)};

// The descriptions every row takes one of, made once: a long tape sets one on each of its rows.
using KindText = ShortText<kTipoStrWidth>;
const std::array<KindText, 5> kKindTexts = [] {
    std::array<KindText, 5> texts{};
    for (std::size_t type = 0; type < kHeaderKinds.size(); ++type)
        texts[type].Assign(kHeaderKinds[type]);
    texts.back().Assign("Raw Data");
    return texts;
}();
const KindText& kRawDataText = kKindTexts.back();

// "Numeric Array A()" from name byte 0x81, "Character Array A$()" from 0xC1.
void SetArrayDescription(ShortText<kTipoStrWidth>& text, std::string_view kind,
                         std::uint8_t nameByte, std::uint8_t bias, std::string_view suffix) {
    std::array<char, kTipoStrWidth> chars{};
    auto at = std::copy(kind.begin(), kind.end(), chars.begin());
    *at++ = ' ';
    *at++ = static_cast<char>(static_cast<std::uint8_t>(nameByte - bias));
    at = std::copy(suffix.begin(), suffix.end(), at);
    text.Assign(std::string_view(chars.data(), static_cast<std::size_t>(at - chars.begin())));
}

// The row a listed block gives, built whole and handed on in one step: a long tape has hundreds
// of thousands of them.
// lastHeaderType and lastProgramLength carry the most recent header's type and program length
// over to the data rows after it.
void AddRow(CatalogueSink& sink, const BlockBody& block, std::uint8_t& lastHeaderType,
            std::uint16_t& lastProgramLength) {
    const auto& buffer = block.first;
    const std::uint8_t flag = buffer[0];
    const std::uint8_t type = buffer[1];

    CatalogueRow row;
    if (flag == kDataFlag) {
        row.Tipo = kDataTipoBase + lastHeaderType;
        row.TipoStr = kRawDataText;
        const std::int64_t dataLength = static_cast<std::int64_t>(block.length) - 2;
        if (dataLength < 0) {
            // A body that is its flag alone: the catalogue refuses a Size of -1.
            sink.AddUnfinished(row);
            CheckFieldRange(CatalogueField::Size, dataLength);
        }
        // Only a TZX body can be longer than 65,537 bytes; its data length then fits no Size.
        if (dataLength >= 0 && dataLength <= 65535)
            row.Size = static_cast<std::uint16_t>(dataLength);
        row.Par1 = lastProgramLength;
    } else {
        row.Tipo = type;
        if (type == 1) {
            SetArrayDescription(row.TipoStr, kHeaderKinds[type], buffer[15], 0x40, "()");
        } else if (type == 2) {
            SetArrayDescription(row.TipoStr, kHeaderKinds[type], buffer[15], 0x80, "$()");
        } else if (type < kHeaderKinds.size()) {
            row.TipoStr = kKindTexts[type];
        }
        row.Name.Assign(BytesToStr(buffer, 2, 10));
        row.Size = MakeWordLH(buffer[12], buffer[13]);
        row.Start = MakeWordLH(buffer[14], buffer[15]);
        if (type == 0) {
            lastProgramLength = MakeWordLH(buffer[16], buffer[17]);
            row.Par1 = lastProgramLength;
        }
        lastHeaderType = type;
    }
    row.Offset = static_cast<std::uint16_t>(block.position % 65536);
    row.Position = block.position;
    row.Flag = flag;
    row.Checksum = block.checksum;
    row.Length = block.length;
    sink.Add(row);
}

void Count(const BlockBody& body, ScanDetails& details) {
    const std::uint8_t flag = body.Flag();
    ++(flag == kHeaderFlag ? details.headers
       : flag == kDataFlag ? details.data
                           : details.neverListed);
}

// Text blocks are short (the longest, archive information, under 64 KiB); a hostile tape of
// many of them keeps only the first megabyte of texts.
void KeepText(const TapeBlock& block, ScanDetails& details, std::uint64_t& textBytes) {
    constexpr std::uint64_t kMaxTextBytes = 1 << 20;
    if (block.id < tzx::kTextDescription || block.id > tzx::kHardwareType) return;
    if (textBytes + block.partLength > kMaxTextBytes) return;
    textBytes += block.partLength;
    TzxTextBlock text{
        block.id, block.position, {block.fixed.begin(), block.fixed.begin() + block.fixedSize}};
    text.bytes.insert(text.bytes.end(), block.part.begin(), block.part.end());
    details.texts.push_back(std::move(text));
}

}  // namespace

ScanResult ReadTapeBlocks(const TapeLocation& location, ScanDetails* details,
                          const std::function<void(const TapeBlock&)>& use) {
    TapeFile file(location);
    return ReadTapeBlocks(file, details, use);
}

ScanResult ReadTapeBlocks(TapeFile& file, ScanDetails* details,
                          const std::function<void(const TapeBlock&)>& use) {
    ScanDetails unused;
    ScanDetails& seen = details != nullptr ? *details : unused;
    seen = {};
    TapeBlockReader reader(file);
    if (reader.Tzx()) seen.tzxVersion = *reader.Tzx();
    std::uint64_t textBytes = 0;
    ScanResult result = ScanResult::Damaged;
    TapeBlock block;
    for (std::uint64_t blocks = 0;; ++blocks) {
        if (blocks == kMaxScanBlocks) {
            result = reader.AtEnd() ? ScanResult::Completed : ScanResult::Damaged;
            break;
        }
        const BlockStep step = reader.Next(block);
        if (step != BlockStep::Block) {
            result = step == BlockStep::End ? ScanResult::Completed : ScanResult::Damaged;
            break;
        }
        if (block.body) {
            Count(*block.body, seen);
        } else {
            ++seen.tzxPassedOver;
            if (details != nullptr) KeepText(block, seen, textBytes);
        }
        use(block);
    }
    file.Close();
    return result;
}

ScanResult ScanTape(const TapeLocation& location, bool showRaw, CatalogueTable& catalogue,
                    ScanDetails* details) {
    catalogue.Empty();
    CatalogueTableSink sink(catalogue);
    return ScanRows(location, showRaw, sink, details);
}

ScanResult ScanRows(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                    ScanDetails* details) {
    RowMaker rows(showRaw, sink);
    return ReadTapeBlocks(location, details, [&rows](const TapeBlock& block) { rows.Take(block); });
}

ScanResult ScanRows(TapeFile& file, bool showRaw, CatalogueSink& sink, ScanDetails* details) {
    RowMaker rows(showRaw, sink);
    return ReadTapeBlocks(file, details, [&rows](const TapeBlock& block) { rows.Take(block); });
}

void RowMaker::Take(const TapeBlock& block) {
    if (!IsRowBlock(block)) return;
    if (block.body->Flag() == kHeaderFlag || showRaw_) {
        AddRow(sink_, *block.body, lastHeaderType_, lastProgramLength_);
    } else {
        sink_.AddUnlisted();
    }
}

}  // namespace brisalto
