// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxBlockKinds.h"

#include <algorithm>

namespace brisalto {

namespace {

// Kinds whose one field is the length of what follows it.
constexpr std::array kLength4{BlockField{"length", "Length", 0, 4, "bytes"}};
constexpr std::array kLength2{BlockField{"length", "Length", 0, 2, "bytes"}};
constexpr std::array kTextLength{BlockField{"textLength", "Text length", 0, 1, "bytes"}};
constexpr std::array kHardwareCount{BlockField{"entryCount", "Entries", 0, 1, {}}};
constexpr std::array kSnapshot{BlockField{"snapshotType", "Snapshot type", 0, 1, {}},
                               BlockField{"length", "Length", 1, 3, "bytes"}};
// Emulation information: flags, refresh delay, interrupt frequency and three reserved bytes,
// which nothing here reads.
constexpr std::array<BlockField, 0> kNone{};

constexpr std::array<BlockKind, 256> MakeKinds() {
    std::array<BlockKind, 256> kinds{};
    for (std::size_t id = 0; id < kinds.size(); ++id) {
        kinds[id] = {
            static_cast<std::uint8_t>(id), "Unknown block", 4, kLength4[0], 1, false, kLength4, {}};
        kinds[id].plural = "unknown blocks";
    }
    // The ID, its name, its fixed size, its fields; whether its last field counts a part, of
    // what unit, and whether that part is a TAP body.
    const auto set = [&kinds](std::uint8_t id, std::string_view name, std::uint8_t fixedSize,
                              std::span<const BlockField> fields, bool counted = true,
                              std::uint8_t unit = 1, bool body = false) {
        const BlockField length = counted ? fields.back() : BlockField{};
        kinds[id] = {id, name, fixedSize, length, unit, body, fields, {}};
    };
    set(tzx::kStandardSpeed, "Standard speed data", 4, tzx::standard::kFields, true, 1, true);
    set(tzx::kTurboSpeed, "Turbo speed data", 18, tzx::turbo::kFields, true, 1, true);
    set(tzx::kPureTone, "Pure tone", 4, tzx::tone::kFields, false);
    set(tzx::kPulseSequence, "Pulse sequence", 1, tzx::pulses::kFields, true, 2);
    set(tzx::kPureData, "Pure data", 10, tzx::pure::kFields, true, 1, true);
    set(tzx::kDirectRecording, "Direct recording", 8, tzx::direct::kFields);
    set(0x16, "C64 ROM data (deprecated)", 4, kLength4);
    set(0x17, "C64 turbo data (deprecated)", 4, kLength4);
    set(tzx::kCswRecording, "CSW recording", 4, kLength4);
    set(tzx::kGeneralizedData, "Generalized data", 4, kLength4);
    set(tzx::kPause, "Pause", 2, tzx::pause::kFields, false);
    set(tzx::kGroupStart, "Group start", 1, tzx::group::kFields);
    set(tzx::kGroupEnd, "Group end", 0, kNone, false);
    set(tzx::kJump, "Jump to block", 2, tzx::jump::kFields, false);
    set(tzx::kLoopStart, "Loop start", 2, tzx::loop::kFields, false);
    set(tzx::kLoopEnd, "Loop end", 0, kNone, false);
    set(tzx::kCallSequence, "Call sequence", 2, tzx::call::kFields, true, 2);
    set(tzx::kReturn, "Return from sequence", 0, kNone, false);
    set(tzx::kSelectBlock, "Select block", 2, kLength2);
    set(tzx::kStop48K, "Stop the tape if in 48K mode", 4, kLength4);  // a length of 0
    set(tzx::kSignalLevel, "Set signal level", 4, kLength4);          // a length of 1, the level
    set(tzx::kTextDescription, "Text description", 1, kTextLength);
    set(tzx::kMessage, "Message", 2, tzx::message::kFields);
    set(tzx::kArchiveInfo, "Archive information", 2, kLength2);  // whatever its strings say
    set(tzx::kHardwareType, "Hardware type", 1, kHardwareCount, true, 3);
    set(0x34, "Emulation information (deprecated)", 8, kNone, false);
    set(tzx::kCustomInfo, "Custom information", 20, tzx::custom::kFields);
    set(0x40, "Snapshot (deprecated)", 4, kSnapshot);
    set(tzx::kGlue, "Glue", 9, tzx::glue::kFields, false);
    // Several blocks of a kind, as a sentence names them ("3 pure tones").
    kinds[tzx::kStandardSpeed].plural = "standard speed data blocks";
    kinds[tzx::kTurboSpeed].plural = "turbo speed data blocks";
    kinds[tzx::kPureTone].plural = "pure tones";
    kinds[tzx::kPulseSequence].plural = "pulse sequences";
    kinds[tzx::kPureData].plural = "pure data blocks";
    kinds[tzx::kDirectRecording].plural = "direct recordings";
    kinds[0x16].plural = "C64 ROM data blocks (deprecated)";
    kinds[0x17].plural = "C64 turbo data blocks (deprecated)";
    kinds[tzx::kCswRecording].plural = "CSW recordings";
    kinds[tzx::kGeneralizedData].plural = "generalized data blocks";
    kinds[tzx::kPause].plural = "pauses";
    kinds[tzx::kGroupStart].plural = "group starts";
    kinds[tzx::kGroupEnd].plural = "group ends";
    kinds[tzx::kJump].plural = "jumps to block";
    kinds[tzx::kLoopStart].plural = "loop starts";
    kinds[tzx::kLoopEnd].plural = "loop ends";
    kinds[tzx::kCallSequence].plural = "call sequences";
    kinds[tzx::kReturn].plural = "returns from sequence";
    kinds[tzx::kSelectBlock].plural = "select blocks";
    kinds[tzx::kStop48K].plural = "stops in 48K mode";
    kinds[tzx::kSignalLevel].plural = "set signal levels";
    kinds[tzx::kTextDescription].plural = "text descriptions";
    kinds[tzx::kMessage].plural = "messages";
    kinds[tzx::kArchiveInfo].plural = "archive information blocks";
    kinds[tzx::kHardwareType].plural = "hardware types";
    kinds[0x34].plural = "emulation information blocks (deprecated)";
    kinds[tzx::kCustomInfo].plural = "custom information blocks";
    kinds[0x40].plural = "snapshots (deprecated)";
    kinds[tzx::kGlue].plural = "glue";
    return kinds;
}

constexpr std::array<BlockKind, 256> kKinds = MakeKinds();

constexpr bool Fits(const BlockKind& kind, const BlockField& field) {
    const bool number = field.form != FieldForm::Text;
    return field.offset + field.width <= kind.fixedSize && (!number || field.width <= 4);
}

static_assert(std::ranges::all_of(kKinds, [](const BlockKind& kind) {
    return !kind.plural.empty() && kind.fixedSize <= kLongestFixedFields &&
           Fits(kind, kind.length) &&
           std::ranges::all_of(kind.fields,
                               [&kind](const BlockField& field) { return Fits(kind, field); });
}));

// The generalized data block's header fields follow one another to its end, so that a reader
// may take them in order.
static_assert([] {
    std::size_t next = 0;
    for (const BlockField& field : tzx::generalized::kHeader) {
        if (field.offset != next) return false;
        next += field.width;
    }
    return next == tzx::generalized::kHeaderSize;
}());

bool Holds(std::span<const std::uint8_t> fixed, const BlockField& field) noexcept {
    return field.offset <= fixed.size() && fixed.size() - field.offset >= field.width;
}

}  // namespace

const BlockKind& KindOf(std::uint8_t id) noexcept {
    return kKinds[id];
}

std::int64_t FieldValue(std::span<const std::uint8_t> fixed, const BlockField& field) noexcept {
    if (field.form == FieldForm::Text || !Holds(fixed, field)) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = field.width; i > 0; --i) value = value << 8 | fixed[field.offset + i - 1];
    if (field.form != FieldForm::Signed || field.width == 0) return value;
    const std::int64_t sign = std::int64_t{1} << (8 * field.width - 1);
    return (value ^ sign) - sign;
}

std::span<const std::uint8_t> FieldBytes(std::span<const std::uint8_t> fixed,
                                         const BlockField& field) noexcept {
    if (!Holds(fixed, field)) return {};
    return fixed.subspan(field.offset, field.width);
}

bool PutField(std::span<std::uint8_t> fixed, const BlockField& field,
              std::uint32_t value) noexcept {
    if (field.form == FieldForm::Text || !Holds(fixed, field)) return false;
    for (std::size_t i = 0; i < field.width; ++i)
        fixed[field.offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return true;
}

}  // namespace brisalto
