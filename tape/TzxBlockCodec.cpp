// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxBlockCodec.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <type_traits>

#include "TapeBlock.h"

namespace brisalto::tzx {

namespace {

using Span = std::span<const std::uint8_t>;

// Little-endian numbers and counted bytes from a counted part, never past its end; a read past
// it marks the part cut and gives zeros.
class PartReader {
public:
    explicit PartReader(Span bytes) : bytes_(bytes) {}

    std::uint32_t Number(std::size_t width) {
        if (bytes_.size() - at_ < width) return Cut();
        std::uint32_t value = 0;
        for (std::size_t i = width; i > 0; --i) value = value << 8 | bytes_[at_ + i - 1];
        at_ += width;
        return value;
    }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Number(1)); }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Number(2)); }
    std::int16_t SignedWord() { return static_cast<std::int16_t>(Word()); }
    Span Take(std::uint64_t count) {
        if (bytes_.size() - at_ < count) {
            Cut();
            return {};
        }
        const Span taken = bytes_.subspan(at_, static_cast<std::size_t>(count));
        at_ += taken.size();
        return taken;
    }
    ByteString Rest() {
        const Span rest = Take(bytes_.size() - at_);
        return {rest.begin(), rest.end()};
    }
    std::string Text(std::uint64_t count) {
        const Span text = Take(count);
        return {text.begin(), text.end()};
    }
    bool IsCut() const noexcept { return cut_; }
    // Every byte read, none missing.
    bool Whole() const noexcept { return !cut_ && at_ == bytes_.size(); }

private:
    std::uint32_t Cut() {
        cut_ = true;
        at_ = bytes_.size();
        return 0;
    }

    Span bytes_;
    std::size_t at_ = 0;
    bool cut_ = false;
};

constexpr bool Fits(std::uint64_t value, std::size_t width) {
    return width >= 8 || value < std::uint64_t{1} << (8 * width);
}

// A block being written: its fixed fields put by their places in TzxBlockKinds, its counted part
// appended; the length field is put from the part at the end.
class Frame {
public:
    explicit Frame(std::uint8_t id) : id_(id), kind_(KindOf(id)) {}

    void Put(const BlockField& field, std::int64_t value) {
        const auto stored = static_cast<std::uint64_t>(value);
        const bool fits = field.form == FieldForm::Signed
                              ? value >= -(std::int64_t{1} << (8 * field.width - 1)) &&
                                    value < std::int64_t{1} << (8 * field.width - 1)
                              : value >= 0 && Fits(stored, field.width);
        if (!fits || !PutField(Fixed(), field, static_cast<std::uint32_t>(stored))) ok_ = false;
    }
    void PutBytes(const BlockField& field, Span bytes) {
        if (bytes.size() != field.width || field.offset + field.width > kind_.fixedSize) {
            ok_ = false;
            return;
        }
        std::copy(bytes.begin(), bytes.end(), fixed_.begin() + field.offset);
    }
    void Number(std::uint64_t value, std::size_t width) {
        if (!Fits(value, width)) ok_ = false;
        for (std::size_t i = 0; i < width; ++i)
            part_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void Bytes(Span bytes) { part_.insert(part_.end(), bytes.begin(), bytes.end()); }
    // A text after its 1-byte length.
    void CountedText(const std::string& text) {
        Number(text.size(), 1);
        part_.insert(part_.end(), text.begin(), text.end());
    }
    void Fail() noexcept { ok_ = false; }

    bool WriteTo(ByteString& out) {
        if (!ok_) return false;
        if (kind_.length.width != 0) {
            if (part_.size() % kind_.unit != 0) return false;
            const std::uint64_t count = part_.size() / kind_.unit;
            if (!Fits(count, kind_.length.width)) return false;
            PutField(Fixed(), kind_.length, static_cast<std::uint32_t>(count));
        } else if (!part_.empty()) {
            return false;
        }
        out.push_back(id_);
        out.insert(out.end(), fixed_.begin(), fixed_.begin() + kind_.fixedSize);
        out.insert(out.end(), part_.begin(), part_.end());
        return true;
    }

private:
    std::span<std::uint8_t> Fixed() noexcept { return {fixed_.data(), kind_.fixedSize}; }

    std::uint8_t id_;
    const BlockKind& kind_;
    std::array<std::uint8_t, kLongestFixedFields> fixed_{};
    ByteString part_;
    bool ok_ = true;
};

template <typename Number>
Number FieldOf(Span fixed, const BlockField& field) {
    return static_cast<Number>(FieldValue(fixed, field));
}

std::vector<GeneralizedSymbol> ReadSymbols(PartReader& part, unsigned count, unsigned pulses) {
    std::vector<GeneralizedSymbol> symbols;
    for (unsigned symbol = 0; symbol < count && !part.IsCut(); ++symbol) {
        GeneralizedSymbol& read = symbols.emplace_back();
        read.flags = part.Byte();
        for (unsigned pulse = 0; pulse < pulses; ++pulse) read.pulses.push_back(part.Word());
    }
    return symbols;
}

void WriteSymbols(Frame& frame, const std::vector<GeneralizedSymbol>& symbols, unsigned count,
                  unsigned pulses) {
    if (symbols.size() != count) frame.Fail();
    for (const GeneralizedSymbol& symbol : symbols) {
        if (symbol.pulses.size() != pulses) frame.Fail();
        frame.Number(symbol.flags, 1);
        for (const std::uint16_t pulse : symbol.pulses) frame.Number(pulse, 2);
    }
}

std::uint64_t DataStreamBytes(const GeneralizedDataHeader& header) {
    const std::uint64_t bits = BitsPerDataSymbol(AlphabetSize(header.dataAlphabet));
    return (std::uint64_t{header.dataSymbolsInBlock} * bits + 7) / 8;
}

// The header's fields by their places in TzxBlockKinds; zeros for those past the bytes.
GeneralizedDataHeader HeaderOf(Span contents) {
    return {FieldOf<std::uint16_t>(contents, generalized::kPause),
            FieldOf<std::uint32_t>(contents, generalized::kPilotSymbols),
            FieldOf<std::uint8_t>(contents, generalized::kPilotPulses),
            FieldOf<std::uint8_t>(contents, generalized::kPilotAlphabet),
            FieldOf<std::uint32_t>(contents, generalized::kDataSymbols),
            FieldOf<std::uint8_t>(contents, generalized::kDataPulses),
            FieldOf<std::uint8_t>(contents, generalized::kDataAlphabet)};
}

void ReadHeader(PartReader& part, GeneralizedDataHeader& header) {
    header = HeaderOf(part.Take(generalized::kHeaderSize));
}

std::optional<GeneralizedDataBlock> ReadGeneralized(PartReader& part) {
    GeneralizedDataBlock block;
    GeneralizedDataHeader& header = block.header;
    ReadHeader(part, header);
    if (header.pilotSymbolsInBlock > 0) {
        block.pilotSymbols =
            ReadSymbols(part, AlphabetSize(header.pilotAlphabet), header.pilotPulsesPerSymbol);
        for (std::uint32_t run = 0; run < header.pilotSymbolsInBlock && !part.IsCut(); ++run) {
            const std::uint8_t symbol = part.Byte();
            block.pilotStream.push_back({symbol, part.Word()});
        }
    }
    if (header.dataSymbolsInBlock > 0) {
        block.dataSymbols =
            ReadSymbols(part, AlphabetSize(header.dataAlphabet), header.dataPulsesPerSymbol);
        const Span stream = part.Take(DataStreamBytes(header));
        block.dataStream.assign(stream.begin(), stream.end());
    }
    if (!part.Whole()) return std::nullopt;
    return block;
}

// The fields of the block of id whose fixed fields and counted part these are; none when its
// part does not read as its kind says.
std::optional<TzxBlockFields> ReadFields(std::uint8_t id, Span fixed, Span counted) {
    PartReader part(counted);
    const auto whole = [&part](auto fields) -> std::optional<TzxBlockFields> {
        if (!part.Whole()) return std::nullopt;
        return fields;
    };
    switch (id) {
        case kStandardSpeed:
            return StandardSpeedBlock{FieldOf<std::uint16_t>(fixed, standard::kPause), part.Rest()};
        case kTurboSpeed:
            return TurboSpeedBlock{FieldOf<std::uint16_t>(fixed, turbo::kPilotPulse),
                                   FieldOf<std::uint16_t>(fixed, turbo::kSync1Pulse),
                                   FieldOf<std::uint16_t>(fixed, turbo::kSync2Pulse),
                                   FieldOf<std::uint16_t>(fixed, turbo::kZeroPulse),
                                   FieldOf<std::uint16_t>(fixed, turbo::kOnePulse),
                                   FieldOf<std::uint16_t>(fixed, turbo::kPilotPulses),
                                   FieldOf<std::uint8_t>(fixed, turbo::kUsedBits),
                                   FieldOf<std::uint16_t>(fixed, turbo::kPause),
                                   part.Rest()};
        case kPureTone:
            return PureToneBlock{FieldOf<std::uint16_t>(fixed, tone::kPulse),
                                 FieldOf<std::uint16_t>(fixed, tone::kPulses)};
        case kPulseSequence: {
            PulseSequenceBlock block;
            while (!part.Whole() && !part.IsCut()) block.pulses.push_back(part.Word());
            return block;
        }
        case kPureData:
            return PureDataBlock{FieldOf<std::uint16_t>(fixed, pure::kZeroPulse),
                                 FieldOf<std::uint16_t>(fixed, pure::kOnePulse),
                                 FieldOf<std::uint8_t>(fixed, pure::kUsedBits),
                                 FieldOf<std::uint16_t>(fixed, pure::kPause), part.Rest()};
        case kDirectRecording:
            return DirectRecordingBlock{FieldOf<std::uint16_t>(fixed, direct::kTStatesPerSample),
                                        FieldOf<std::uint16_t>(fixed, direct::kPause),
                                        FieldOf<std::uint8_t>(fixed, direct::kUsedBits),
                                        part.Rest()};
        case kCswRecording: {
            CswRecordingBlock block;
            block.pause = part.Word();
            block.sampleRate = part.Number(3);
            block.compression = part.Byte();
            block.pulses = part.Number(4);
            if (part.IsCut()) return std::nullopt;
            block.data = part.Rest();
            return block;
        }
        case kGeneralizedData: {
            auto block = ReadGeneralized(part);
            if (!block) return std::nullopt;
            return std::move(*block);
        }
        case kPause: return PauseBlock{FieldOf<std::uint16_t>(fixed, pause::kPause)};
        case kGroupStart: return GroupStartBlock{part.Text(counted.size())};
        case kGroupEnd: return GroupEndBlock{};
        case kJump: return JumpBlock{FieldOf<std::int16_t>(fixed, jump::kJump)};
        case kLoopStart: return LoopStartBlock{FieldOf<std::uint16_t>(fixed, loop::kRepetitions)};
        case kLoopEnd: return LoopEndBlock{};
        case kCallSequence: {
            CallSequenceBlock block;
            while (!part.Whole() && !part.IsCut()) block.calls.push_back(part.SignedWord());
            return block;
        }
        case kReturn: return ReturnBlock{};
        case kSelectBlock: {
            SelectBlock block;
            const unsigned count = part.Byte();
            for (unsigned choice = 0; choice < count && !part.IsCut(); ++choice) {
                const std::int16_t offset = part.SignedWord();
                block.choices.push_back({offset, part.Text(part.Byte())});
            }
            return whole(std::move(block));
        }
        case kStop48K: return whole(StopIn48KBlock{});
        case kSignalLevel: {
            const SignalLevelBlock block{part.Byte()};
            return whole(block);
        }
        case kTextDescription: return TextDescriptionBlock{part.Text(counted.size())};
        case kMessage:
            return MessageBlock{FieldOf<std::uint8_t>(fixed, message::kSeconds),
                                part.Text(counted.size())};
        // Entries cut short are written back otherwise, and so kept as they are.
        case kArchiveInfo: return ArchiveInfoBlock{ReadArchiveEntries(counted)};
        case kHardwareType: {
            HardwareTypeBlock block;
            while (!part.Whole() && !part.IsCut()) {
                HardwareEntry& entry = block.entries.emplace_back();
                entry.type = part.Byte();
                entry.id = part.Byte();
                entry.info = part.Byte();
            }
            return block;
        }
        case kCustomInfo: {
            CustomInfoBlock block;
            const Span identification = FieldBytes(fixed, custom::kIdentification);
            if (identification.size() != block.identification.size()) return std::nullopt;
            std::copy(identification.begin(), identification.end(), block.identification.begin());
            block.data = part.Rest();
            return block;
        }
        case kGlue: {
            const Span signature = FieldBytes(fixed, glue::kSignature);
            if (!std::ranges::equal(signature, std::span(kTzxSignature).subspan(1)))
                return std::nullopt;
            return GlueBlock{FieldOf<std::uint8_t>(fixed, glue::kMajor),
                             FieldOf<std::uint8_t>(fixed, glue::kMinor)};
        }
        default: return std::nullopt;
    }
}

// Each kind's fields into a frame of its ID.
struct Framer {
    Frame& frame;

    void operator()(const StandardSpeedBlock& block) const {
        frame.Put(standard::kPause, block.pause);
        frame.Bytes(block.body);
    }
    void operator()(const TurboSpeedBlock& block) const {
        frame.Put(turbo::kPilotPulse, block.pilot);
        frame.Put(turbo::kSync1Pulse, block.sync1);
        frame.Put(turbo::kSync2Pulse, block.sync2);
        frame.Put(turbo::kZeroPulse, block.zero);
        frame.Put(turbo::kOnePulse, block.one);
        frame.Put(turbo::kPilotPulses, block.pilotPulses);
        frame.Put(turbo::kUsedBits, block.usedBits);
        frame.Put(turbo::kPause, block.pause);
        frame.Bytes(block.body);
    }
    void operator()(const PureToneBlock& block) const {
        frame.Put(tone::kPulse, block.pulse);
        frame.Put(tone::kPulses, block.pulses);
    }
    void operator()(const PulseSequenceBlock& block) const {
        for (const std::uint16_t pulse : block.pulses) frame.Number(pulse, 2);
    }
    void operator()(const PureDataBlock& block) const {
        frame.Put(pure::kZeroPulse, block.zero);
        frame.Put(pure::kOnePulse, block.one);
        frame.Put(pure::kUsedBits, block.usedBits);
        frame.Put(pure::kPause, block.pause);
        frame.Bytes(block.body);
    }
    void operator()(const DirectRecordingBlock& block) const {
        frame.Put(direct::kTStatesPerSample, block.tstatesPerSample);
        frame.Put(direct::kPause, block.pause);
        frame.Put(direct::kUsedBits, block.usedBits);
        frame.Bytes(block.samples);
    }
    void operator()(const CswRecordingBlock& block) const {
        frame.Number(block.pause, 2);
        frame.Number(block.sampleRate, 3);
        frame.Number(block.compression, 1);
        frame.Number(block.pulses, 4);
        frame.Bytes(block.data);
    }
    void operator()(const GeneralizedDataBlock& block) const {
        const GeneralizedDataHeader& header = block.header;
        std::array<std::uint8_t, generalized::kHeaderSize> fixed{};
        PutField(fixed, generalized::kPause, header.pause);
        PutField(fixed, generalized::kPilotSymbols, header.pilotSymbolsInBlock);
        PutField(fixed, generalized::kPilotPulses, header.pilotPulsesPerSymbol);
        PutField(fixed, generalized::kPilotAlphabet, header.pilotAlphabet);
        PutField(fixed, generalized::kDataSymbols, header.dataSymbolsInBlock);
        PutField(fixed, generalized::kDataPulses, header.dataPulsesPerSymbol);
        PutField(fixed, generalized::kDataAlphabet, header.dataAlphabet);
        frame.Bytes(fixed);
        if (header.pilotSymbolsInBlock > 0) {
            WriteSymbols(frame, block.pilotSymbols, AlphabetSize(header.pilotAlphabet),
                         header.pilotPulsesPerSymbol);
            if (block.pilotStream.size() != header.pilotSymbolsInBlock) frame.Fail();
            for (const PilotRun& run : block.pilotStream) {
                frame.Number(run.symbol, 1);
                frame.Number(run.repeats, 2);
            }
        } else if (!block.pilotSymbols.empty() || !block.pilotStream.empty()) {
            frame.Fail();
        }
        if (header.dataSymbolsInBlock > 0) {
            WriteSymbols(frame, block.dataSymbols, AlphabetSize(header.dataAlphabet),
                         header.dataPulsesPerSymbol);
            if (block.dataStream.size() != DataStreamBytes(header)) frame.Fail();
            frame.Bytes(block.dataStream);
        } else if (!block.dataSymbols.empty() || !block.dataStream.empty()) {
            frame.Fail();
        }
    }
    void operator()(const PauseBlock& block) const { frame.Put(pause::kPause, block.pause); }
    void operator()(const GroupStartBlock& block) const { Text(block.name); }
    void operator()(const GroupEndBlock&) const {}
    void operator()(const JumpBlock& block) const { frame.Put(jump::kJump, block.jump); }
    void operator()(const LoopStartBlock& block) const {
        frame.Put(loop::kRepetitions, block.repetitions);
    }
    void operator()(const LoopEndBlock&) const {}
    void operator()(const CallSequenceBlock& block) const {
        for (const std::int16_t call : block.calls)
            frame.Number(static_cast<std::uint16_t>(call), 2);
    }
    void operator()(const ReturnBlock&) const {}
    void operator()(const SelectBlock& block) const {
        frame.Number(block.choices.size(), 1);
        for (const SelectChoice& choice : block.choices) {
            frame.Number(static_cast<std::uint16_t>(choice.offset), 2);
            frame.CountedText(choice.text);
        }
    }
    void operator()(const StopIn48KBlock&) const {}
    void operator()(const SignalLevelBlock& block) const { frame.Number(block.level, 1); }
    void operator()(const TextDescriptionBlock& block) const { Text(block.text); }
    void operator()(const MessageBlock& block) const {
        frame.Put(message::kSeconds, block.seconds);
        Text(block.text);
    }
    void operator()(const ArchiveInfoBlock& block) const {
        frame.Number(block.entries.size(), 1);
        for (const ArchiveEntry& entry : block.entries) {
            frame.Number(entry.id, 1);
            frame.CountedText(entry.text);
        }
    }
    void operator()(const HardwareTypeBlock& block) const {
        for (const HardwareEntry& entry : block.entries) {
            frame.Number(entry.type, 1);
            frame.Number(entry.id, 1);
            frame.Number(entry.info, 1);
        }
    }
    void operator()(const CustomInfoBlock& block) const {
        frame.PutBytes(custom::kIdentification, block.identification);
        frame.Bytes(block.data);
    }
    void operator()(const GlueBlock& block) const {
        frame.PutBytes(glue::kSignature, std::span(kTzxSignature).subspan(1));
        frame.Put(glue::kMajor, block.major);
        frame.Put(glue::kMinor, block.minor);
    }
    void operator()(const OpaqueBlock&) const {}  // written whole by WriteTzxBlock

private:
    void Text(const std::string& text) const {
        frame.Bytes(Span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
};

// An opaque block as stored: its fixed fields must be its kind's size and its length field must
// give its part.
bool WriteOpaque(const OpaqueBlock& block, ByteString& out) {
    const BlockKind& kind = KindOf(block.id);
    if (block.fixed.size() != kind.fixedSize) return false;
    const std::uint64_t stated =
        static_cast<std::uint64_t>(FieldValue(block.fixed, kind.length)) * kind.unit;
    if (stated != block.part.size()) return false;
    out.push_back(block.id);
    out.insert(out.end(), block.fixed.begin(), block.fixed.end());
    out.insert(out.end(), block.part.begin(), block.part.end());
    return true;
}

constexpr std::array kIds{
    kStandardSpeed,   kTurboSpeed,   kPureTone,        kPulseSequence, kPureData,
    kDirectRecording, kCswRecording, kGeneralizedData, kPause,         kGroupStart,
    kGroupEnd,        kJump,         kLoopStart,       kLoopEnd,       kCallSequence,
    kReturn,          kSelectBlock,  kStop48K,         kSignalLevel,   kTextDescription,
    kMessage,         kArchiveInfo,  kHardwareType,    kCustomInfo,    kGlue};
static_assert(kIds.size() + 1 == std::variant_size_v<TzxBlockFields>);

}  // namespace

std::optional<GeneralizedDataHeader> ReadGeneralizedHeader(std::span<const std::uint8_t> contents) {
    if (contents.size() < generalized::kHeaderSize) return std::nullopt;
    return HeaderOf(contents);
}

std::vector<ArchiveEntry> ReadArchiveEntries(std::span<const std::uint8_t> part) {
    std::vector<ArchiveEntry> entries;
    if (part.empty()) return entries;
    const unsigned count = part[0];
    std::size_t at = 1;
    for (unsigned entry = 0; entry < count && part.size() - at >= 2; ++entry) {
        const std::uint8_t id = part[at];
        const std::size_t length = std::min<std::size_t>(part[at + 1], part.size() - at - 2);
        const Span text = part.subspan(at + 2, length);
        entries.push_back({id, std::string(text.begin(), text.end())});
        at += 2 + length;
    }
    return entries;
}

unsigned AlphabetSize(std::uint8_t stored) noexcept {
    return stored == 0 ? 256u : stored;
}

unsigned BitsPerDataSymbol(unsigned symbols) noexcept {
    return symbols <= 1 ? 0u : static_cast<unsigned>(std::bit_width(symbols - 1));
}

std::optional<std::size_t> BlockSize(std::span<const std::uint8_t> bytes) noexcept {
    if (bytes.empty()) return std::nullopt;
    const BlockKind& kind = KindOf(bytes[0]);
    if (bytes.size() - 1 < kind.fixedSize) return std::nullopt;
    const std::uint64_t part =
        static_cast<std::uint64_t>(FieldValue(bytes.subspan(1, kind.fixedSize), kind.length)) *
        kind.unit;
    if (bytes.size() - 1 - kind.fixedSize < part) return std::nullopt;
    return 1 + kind.fixedSize + static_cast<std::size_t>(part);
}

std::optional<ReadBlock> ReadTzxBlock(std::span<const std::uint8_t> bytes) {
    const std::optional<std::size_t> size = BlockSize(bytes);
    if (!size) return std::nullopt;
    const std::uint8_t id = bytes[0];
    const std::size_t fixedSize = KindOf(id).fixedSize;
    const Span whole = bytes.first(*size);
    const Span fixed = whole.subspan(1, fixedSize);
    const Span part = whole.subspan(1 + fixedSize);
    std::optional<TzxBlockFields> fields = ReadFields(id, fixed, part);
    // What would not be written back as it was (a count beside a part of another length) is
    // kept as it is.
    if (fields) {
        const std::optional<ByteString> again = BytesOf(*fields);
        if (!again || !std::ranges::equal(*again, whole)) fields.reset();
    }
    if (!fields)
        fields = OpaqueBlock{id, ByteString(fixed.begin(), fixed.end()),
                             ByteString(part.begin(), part.end())};
    return ReadBlock{std::move(*fields), *size};
}

std::uint8_t IdOf(const TzxBlockFields& fields) noexcept {
    if (const auto* opaque = std::get_if<OpaqueBlock>(&fields)) return opaque->id;
    return kIds[fields.index()];
}

bool WriteTzxBlock(const TzxBlockFields& fields, ByteString& out) {
    if (const auto* opaque = std::get_if<OpaqueBlock>(&fields)) return WriteOpaque(*opaque, out);
    Frame frame(IdOf(fields));
    std::visit(Framer{frame}, fields);
    return frame.WriteTo(out);
}

std::optional<ByteString> BytesOf(const TzxBlockFields& fields) {
    ByteString bytes;
    if (!WriteTzxBlock(fields, bytes)) return std::nullopt;
    return bytes;
}

void WriteTzxSignature(ByteString& out, std::uint8_t major, std::uint8_t minor) {
    out.insert(out.end(), kTzxSignature.begin(), kTzxSignature.end());
    out.push_back(major);
    out.push_back(minor);
}

}  // namespace brisalto::tzx
