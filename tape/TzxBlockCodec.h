// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "TzxBlockKinds.h"

// Every TZX block kind as a struct of its named fields, read from a whole block's bytes (its ID
// first) and written back to them. The fixed fields' places are those of TzxBlockKinds, so a
// layout is stated once; what a counted part holds (pulses, symbols, texts, archive entries) is
// read and written here. A block read and written again gives the bytes it was read from: one
// whose counted part does not read as its kind says (or would write differently) is kept as an
// OpaqueBlock of its bytes.
namespace brisalto::tzx {

using ByteString = std::vector<std::uint8_t>;

// 0x10: the ROM's timings; body is flag, data and checksum.
struct StandardSpeedBlock {
    std::uint16_t pause = 1000;  // ms
    ByteString body;
};

// 0x11; pulse lengths in T-states.
struct TurboSpeedBlock {
    std::uint16_t pilot = 2168, sync1 = 667, sync2 = 735, zero = 855, one = 1710;
    std::uint16_t pilotPulses = 3223;
    std::uint8_t usedBits = 8;
    std::uint16_t pause = 1000;
    ByteString body;
};

// 0x12
struct PureToneBlock {
    std::uint16_t pulse = 0;
    std::uint16_t pulses = 0;
};

// 0x13: at most 255 pulses.
struct PulseSequenceBlock {
    std::vector<std::uint16_t> pulses;
};

// 0x14
struct PureDataBlock {
    std::uint16_t zero = 855, one = 1710;
    std::uint8_t usedBits = 8;
    std::uint16_t pause = 1000;
    ByteString body;
};

// 0x15: one bit a sample, the most significant first.
struct DirectRecordingBlock {
    std::uint16_t tstatesPerSample = 0;
    std::uint16_t pause = 0;
    std::uint8_t usedBits = 8;
    ByteString samples;
};

// 0x18: pulses as CSW stores them (compression 1: run-length, 2: Z-RLE).
struct CswRecordingBlock {
    std::uint16_t pause = 0;
    std::uint32_t sampleRate = 0;  // 3 bytes
    std::uint8_t compression = 1;
    std::uint32_t pulses = 0;  // after decompression
    ByteString data;
};

// One symbol of a generalized data block's table: its flags (the edge at its start) and its
// pulse lengths, as many as the table's pulses per symbol (0 ends a shorter one).
struct GeneralizedSymbol {
    std::uint8_t flags = 0;
    std::vector<std::uint16_t> pulses;
};

// One run of a generalized data block's pilot: a symbol, repeated.
struct PilotRun {
    std::uint8_t symbol = 0;
    std::uint16_t repeats = 0;
};

// The fixed part of a generalized data block, after its 4-byte length: what its tables and
// streams hold. An alphabet size of 0 means 256.
struct GeneralizedDataHeader {
    std::uint16_t pause = 0;
    std::uint32_t pilotSymbolsInBlock = 0;  // TOTP
    std::uint8_t pilotPulsesPerSymbol = 0;  // NPP
    std::uint8_t pilotAlphabet = 0;         // ASP
    std::uint32_t dataSymbolsInBlock = 0;   // TOTD
    std::uint8_t dataPulsesPerSymbol = 0;   // NPD
    std::uint8_t dataAlphabet = 0;          // ASD
};

// The header's fields from the bytes after the block's length; none when they are too few.
std::optional<GeneralizedDataHeader> ReadGeneralizedHeader(std::span<const std::uint8_t> contents);
// The alphabet a size byte means (0: 256).
unsigned AlphabetSize(std::uint8_t stored) noexcept;
// The bits a data symbol of an alphabet of symbols takes in the stream (0 for one symbol).
unsigned BitsPerDataSymbol(unsigned symbols) noexcept;

// 0x19: the pilot's table and runs when it has pilot symbols, the data's table and stream when
// it has data symbols.
struct GeneralizedDataBlock {
    GeneralizedDataHeader header;
    std::vector<GeneralizedSymbol> pilotSymbols;
    std::vector<PilotRun> pilotStream;
    std::vector<GeneralizedSymbol> dataSymbols;
    ByteString dataStream;  // the symbols packed in bits, the most significant first
};

// 0x20; a pause of 0 stops the tape.
struct PauseBlock {
    std::uint16_t pause = 0;
};

// 0x21
struct GroupStartBlock {
    std::string name;
};

// 0x22
struct GroupEndBlock {};

// 0x23: blocks to jump, back when negative.
struct JumpBlock {
    std::int16_t jump = 0;
};

// 0x24
struct LoopStartBlock {
    std::uint16_t repetitions = 0;
};

// 0x25
struct LoopEndBlock {};

// 0x26: the blocks called, each an offset from this one.
struct CallSequenceBlock {
    std::vector<std::int16_t> calls;
};

// 0x27
struct ReturnBlock {};

// One choice of a select block: where it goes and what it says.
struct SelectChoice {
    std::int16_t offset = 0;
    std::string text;
};

// 0x28
struct SelectBlock {
    std::vector<SelectChoice> choices;
};

// 0x2A: a length of 0 and nothing after it.
struct StopIn48KBlock {};

// 0x2B: a length of 1, then the level (0 low, 1 high).
struct SignalLevelBlock {
    std::uint8_t level = 0;
};

// 0x30
struct TextDescriptionBlock {
    std::string text;
};

// 0x31
struct MessageBlock {
    std::uint8_t seconds = 0;  // 0: until a key is pressed
    std::string text;
};

// One entry of an archive information block: its kind (0x00 title ... 0xFF comment) and text.
struct ArchiveEntry {
    std::uint8_t id = 0;
    std::string text;
};

// 0x32
struct ArchiveInfoBlock {
    std::vector<ArchiveEntry> entries;
};

// The entries of an archive information block's part (after its 2-byte length) as far as its
// bytes go: no more than its count, none once fewer than an entry's ID and length are left, the
// last text cut where the bytes end.
std::vector<ArchiveEntry> ReadArchiveEntries(std::span<const std::uint8_t> part);

// One entry of a hardware type block.
struct HardwareEntry {
    std::uint8_t type = 0;
    std::uint8_t id = 0;
    std::uint8_t info = 0;
};

// 0x33
struct HardwareTypeBlock {
    std::vector<HardwareEntry> entries;
};

// 0x35: a 16-character identification padded with spaces, then its data.
struct CustomInfoBlock {
    std::array<std::uint8_t, 16> identification{};
    ByteString data;
};

// 0x5A: the rest of a TZX signature and the version of the tape glued on.
struct GlueBlock {
    std::uint8_t major = 1;
    std::uint8_t minor = 20;
};

// Any block as its kind frames it (TzxBlockKinds): the deprecated kinds, IDs no version defines,
// and a block whose counted part does not read as its kind says.
struct OpaqueBlock {
    std::uint8_t id = 0;
    ByteString fixed;  // the fixed fields after the ID, as stored
    ByteString part;   // the counted part
};

using TzxBlockFields =
    std::variant<StandardSpeedBlock, TurboSpeedBlock, PureToneBlock, PulseSequenceBlock,
                 PureDataBlock, DirectRecordingBlock, CswRecordingBlock, GeneralizedDataBlock,
                 PauseBlock, GroupStartBlock, GroupEndBlock, JumpBlock, LoopStartBlock,
                 LoopEndBlock, CallSequenceBlock, ReturnBlock, SelectBlock, StopIn48KBlock,
                 SignalLevelBlock, TextDescriptionBlock, MessageBlock, ArchiveInfoBlock,
                 HardwareTypeBlock, CustomInfoBlock, GlueBlock, OpaqueBlock>;

// The bytes of the whole block that begins bytes (its ID first); none when bytes end inside it.
std::optional<std::size_t> BlockSize(std::span<const std::uint8_t> bytes) noexcept;

// The block that begins bytes, with its size in read; none when bytes end inside it.
struct ReadBlock {
    TzxBlockFields fields;
    std::size_t size = 0;
};
std::optional<ReadBlock> ReadTzxBlock(std::span<const std::uint8_t> bytes);

// The ID a block of these fields is written with.
std::uint8_t IdOf(const TzxBlockFields& fields) noexcept;

// Appends the whole block, its ID first, and true; false, appending nothing, when a count or a
// length is beyond what its field holds (a 0x10 body over 65,535 bytes, a text over 255...).
bool WriteTzxBlock(const TzxBlockFields& fields, ByteString& out);

// The block's bytes, or none when WriteTzxBlock would refuse it.
std::optional<ByteString> BytesOf(const TzxBlockFields& fields);

// Appends "ZXTape!", 0x1A and the version: what every TZX file starts with.
void WriteTzxSignature(ByteString& out, std::uint8_t major, std::uint8_t minor);

}  // namespace brisalto::tzx
