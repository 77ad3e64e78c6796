// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// What each TZX block ID is: its name, the layout of its fixed fields and the fields themselves,
// by name. One table, read by the block reader, the details and the sound. A writer sizes a
// block's fixed bytes by KindOf(id).fixedSize and puts each field with PutField: for 0x10,
// tzx::standard::kPause (ms) and tzx::standard::kLength (the body's bytes).
//
// A TZX block is an ID byte, fixed fields, then a counted part whose length one of the fixed
// fields gives (a count of bytes, pulses, calls...). Offsets below count from the byte after the
// ID; every number is little-endian.
namespace brisalto {

// How a fixed field's bytes read.
enum class FieldForm : std::uint8_t {
    Unsigned,
    Signed,  // two's complement: jump and call offsets
    Text,    // characters, read with FieldBytes
};

// One fixed field of a block kind.
struct BlockField {
    std::string_view key;    // for scripts: "pilotPulse", "pause", ...
    std::string_view label;  // for people: "Pilot pulse", "Pause", ...
    std::uint8_t offset = 0;
    std::uint8_t width = 0;  // bytes: 1 to 4 for a number; 0 for no field at all
    std::string_view unit;   // after the number: "T-states", "ms", ...; may be empty
    FieldForm form = FieldForm::Unsigned;
};

// The longest fixed part of a TZX block (custom information: 16 characters and a length).
inline constexpr std::size_t kLongestFixedFields = 20;

// One block ID: its name and layout. The counted part is length's value times unit bytes; a
// kind whose length has width 0 has no counted part.
struct BlockKind {
    std::uint8_t id = 0;
    std::string_view name;
    std::uint8_t fixedSize = 0;
    BlockField length;
    std::uint8_t unit = 1;
    bool body = false;                   // the counted part is a TAP block body
    std::span<const BlockField> fields;  // every fixed field, by offset, length included
    std::string_view plural;             // several of the kind, as a sentence names them
};

// The IDs Brisalto names; a TAP block reads as a standard speed data block (0x10) with a pause
// of one second.
namespace tzx {
inline constexpr std::uint8_t kStandardSpeed = 0x10;
inline constexpr std::uint8_t kTurboSpeed = 0x11;
inline constexpr std::uint8_t kPureTone = 0x12;
inline constexpr std::uint8_t kPulseSequence = 0x13;
inline constexpr std::uint8_t kPureData = 0x14;
inline constexpr std::uint8_t kDirectRecording = 0x15;
inline constexpr std::uint8_t kCswRecording = 0x18;
inline constexpr std::uint8_t kGeneralizedData = 0x19;
inline constexpr std::uint8_t kPause = 0x20;
inline constexpr std::uint8_t kGroupStart = 0x21;
inline constexpr std::uint8_t kGroupEnd = 0x22;
inline constexpr std::uint8_t kJump = 0x23;
inline constexpr std::uint8_t kLoopStart = 0x24;
inline constexpr std::uint8_t kLoopEnd = 0x25;
inline constexpr std::uint8_t kCallSequence = 0x26;
inline constexpr std::uint8_t kReturn = 0x27;
inline constexpr std::uint8_t kSelectBlock = 0x28;
inline constexpr std::uint8_t kStop48K = 0x2A;
inline constexpr std::uint8_t kSignalLevel = 0x2B;
inline constexpr std::uint8_t kTextDescription = 0x30;
inline constexpr std::uint8_t kMessage = 0x31;
inline constexpr std::uint8_t kArchiveInfo = 0x32;
inline constexpr std::uint8_t kHardwareType = 0x33;
inline constexpr std::uint8_t kCustomInfo = 0x35;
inline constexpr std::uint8_t kGlue = 0x5A;

// The fields of each kind, one namespace per kind. The timings are in T-states.

// 0x10: pause, length, body.
namespace standard {
inline constexpr BlockField kPause{"pause", "Pause", 0, 2, "ms"};
inline constexpr BlockField kLength{"bodyLength", "Body length", 2, 2, "bytes"};
inline constexpr std::array kFields{kPause, kLength};
}  // namespace standard

// 0x11: the five pulse lengths, pilot pulses, used bits, pause, length, body.
namespace turbo {
inline constexpr BlockField kPilotPulse{"pilotPulse", "Pilot pulse", 0, 2, "T-states"};
inline constexpr BlockField kSync1Pulse{"sync1Pulse", "First sync pulse", 2, 2, "T-states"};
inline constexpr BlockField kSync2Pulse{"sync2Pulse", "Second sync pulse", 4, 2, "T-states"};
inline constexpr BlockField kZeroPulse{"zeroPulse", "Zero bit pulse", 6, 2, "T-states"};
inline constexpr BlockField kOnePulse{"onePulse", "One bit pulse", 8, 2, "T-states"};
inline constexpr BlockField kPilotPulses{"pilotPulses", "Pilot pulses", 10, 2, {}};
inline constexpr BlockField kUsedBits{"usedBits", "Used bits in the last byte", 12, 1, {}};
inline constexpr BlockField kPause{"pause", "Pause", 13, 2, "ms"};
inline constexpr BlockField kLength{"bodyLength", "Body length", 15, 3, "bytes"};
inline constexpr std::array kFields{kPilotPulse,  kSync1Pulse, kSync2Pulse, kZeroPulse, kOnePulse,
                                    kPilotPulses, kUsedBits,   kPause,      kLength};
}  // namespace turbo

// 0x12: one pulse length, repeated.
namespace tone {
inline constexpr BlockField kPulse{"pulse", "Pulse", 0, 2, "T-states"};
inline constexpr BlockField kPulses{"pulses", "Pulses", 2, 2, {}};
inline constexpr std::array kFields{kPulse, kPulses};
}  // namespace tone

// 0x13: a count, then that many 2-byte pulse lengths.
namespace pulses {
inline constexpr BlockField kCount{"pulseCount", "Pulses", 0, 1, {}};
inline constexpr std::array kFields{kCount};
}  // namespace pulses

// 0x14: the bit pulse lengths, used bits, pause, length, body.
namespace pure {
inline constexpr BlockField kZeroPulse{"zeroPulse", "Zero bit pulse", 0, 2, "T-states"};
inline constexpr BlockField kOnePulse{"onePulse", "One bit pulse", 2, 2, "T-states"};
inline constexpr BlockField kUsedBits{"usedBits", "Used bits in the last byte", 4, 1, {}};
inline constexpr BlockField kPause{"pause", "Pause", 5, 2, "ms"};
inline constexpr BlockField kLength{"bodyLength", "Body length", 7, 3, "bytes"};
inline constexpr std::array kFields{kZeroPulse, kOnePulse, kUsedBits, kPause, kLength};
}  // namespace pure

// 0x15: the samples' rate and pause, used bits, then the length of the samples.
namespace direct {
inline constexpr BlockField kTStatesPerSample{"tstatesPerSample", "T-states per sample", 0, 2, {}};
inline constexpr BlockField kPause{"pause", "Pause", 2, 2, "ms"};
inline constexpr BlockField kUsedBits{"usedBits", "Used bits in the last byte", 4, 1, {}};
inline constexpr BlockField kLength{"dataLength", "Samples' bytes", 5, 3, "bytes"};
inline constexpr std::array kFields{kTStatesPerSample, kPause, kUsedBits, kLength};
}  // namespace direct

// 0x19's contents, after its 4-byte length, start with these, one after another; then come the
// pilot's symbols and runs and the data's symbols and stream that they count. An alphabet of 0
// symbols means 256.
namespace generalized {
inline constexpr BlockField kPause{"pause", "Pause", 0, 2, "ms"};
inline constexpr BlockField kPilotSymbols{
    "pilotSymbolsInBlock", "Pilot symbols in the block (TOTP)", 2, 4, {}};
inline constexpr BlockField kPilotPulses{
    "pilotPulsesPerSymbol", "Pilot pulses per symbol (NPP)", 6, 1, {}};
inline constexpr BlockField kPilotAlphabet{
    "pilotSymbolsInTable", "Pilot symbols in the table (ASP)", 7, 1, {}};
inline constexpr BlockField kDataSymbols{
    "dataSymbolsInBlock", "Data symbols in the block (TOTD)", 8, 4, {}};
inline constexpr BlockField kDataPulses{
    "dataPulsesPerSymbol", "Data pulses per symbol (NPD)", 12, 1, {}};
inline constexpr BlockField kDataAlphabet{
    "dataSymbolsInTable", "Data symbols in the table (ASD)", 13, 1, {}};
inline constexpr std::array kHeader{kPause,       kPilotSymbols, kPilotPulses, kPilotAlphabet,
                                    kDataSymbols, kDataPulses,   kDataAlphabet};
inline constexpr std::size_t kHeaderSize = 14;
}  // namespace generalized

// 0x20: a pause of 0 stops the tape.
namespace pause {
inline constexpr BlockField kPause{"pause", "Pause", 0, 2, "ms"};
inline constexpr std::array kFields{kPause};
}  // namespace pause

// 0x21: the name's length, then the name.
namespace group {
inline constexpr BlockField kNameLength{"nameLength", "Name length", 0, 1, "bytes"};
inline constexpr std::array kFields{kNameLength};
}  // namespace group

// 0x23: blocks to jump, back when negative.
namespace jump {
inline constexpr BlockField kJump{"jump", "Jump", 0, 2, "blocks", FieldForm::Signed};
inline constexpr std::array kFields{kJump};
}  // namespace jump

// 0x24
namespace loop {
inline constexpr BlockField kRepetitions{"repetitions", "Repetitions", 0, 2, {}};
inline constexpr std::array kFields{kRepetitions};
}  // namespace loop

// 0x26: a count, then that many signed 2-byte offsets.
namespace call {
inline constexpr BlockField kCount{"callCount", "Calls", 0, 2, {}};
inline constexpr std::array kFields{kCount};
}  // namespace call

// 0x31: how long it shows, the text's length, then the text.
namespace message {
inline constexpr BlockField kSeconds{"seconds", "Shown for", 0, 1, "s (0: until a key is pressed)"};
inline constexpr BlockField kTextLength{"textLength", "Text length", 1, 1, "bytes"};
inline constexpr std::array kFields{kSeconds, kTextLength};
}  // namespace message

// 0x35: a 16-character identification padded with spaces, the data's length, the data.
namespace custom {
inline constexpr BlockField kIdentification{"identification", "Identification", 0, 16, {},
                                            FieldForm::Text};
inline constexpr BlockField kLength{"dataLength", "Data", 16, 4, "bytes"};
inline constexpr std::array kFields{kIdentification, kLength};
}  // namespace custom

// 0x5A: "XTape!" and 0x1A, then the version of the tape glued on.
namespace glue {
inline constexpr BlockField kSignature{"signature", "Signature", 0, 7, {}, FieldForm::Text};
inline constexpr BlockField kMajor{"major", "Major version", 7, 1, {}};
inline constexpr BlockField kMinor{"minor", "Minor version", 8, 1, {}};
inline constexpr std::array kFields{kSignature, kMajor, kMinor};
}  // namespace glue

}  // namespace tzx

// The kind of block id; an ID no version defines is named "Unknown block" and has a 4-byte
// length of what follows, the rule for every block added after version 1.00.
const BlockKind& KindOf(std::uint8_t id) noexcept;

// The number field holds in fixed (a block's fixed fields, from the byte after its ID); 0 when
// fixed is too short to hold it or field is text.
std::int64_t FieldValue(std::span<const std::uint8_t> fixed, const BlockField& field) noexcept;

// The bytes of field in fixed; none when fixed is too short to hold it.
std::span<const std::uint8_t> FieldBytes(std::span<const std::uint8_t> fixed,
                                         const BlockField& field) noexcept;

// Stores value's low bytes as field in fixed, for writing a block. False, writing nothing, when
// fixed is too short to hold it or field is text.
bool PutField(std::span<std::uint8_t> fixed, const BlockField& field, std::uint32_t value) noexcept;

}  // namespace brisalto
