// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockDetails.h"

#include <algorithm>
#include <array>
#include <span>

#include "CodePageText.h"
#include "TapeBlock.h"
#include "TzxBlockCodec.h"
#include "TzxTexts.h"
#include "TzxVersionText.h"

namespace brisalto {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Reads a counted part front to back: the bytes kept of it, and its length as stated (a long
// part is kept in part). A read past the bytes kept gives 0 and marks the part cut, so that what
// a lying count claims is never read; passing over entries goes as far as the stated length.
class PartReader {
public:
    PartReader(Bytes kept, std::uint64_t stated) : bytes_(kept), stated_(stated) {}

    std::uint32_t Number(std::size_t size) {
        if (at_ > bytes_.size() || bytes_.size() - at_ < size) {
            cut_ = true;
            return 0;
        }
        const auto at = static_cast<std::size_t>(at_);
        std::uint32_t value = 0;
        for (std::size_t i = size; i > 0; --i) value = value << 8 | bytes_[at + i - 1];
        at_ += size;
        return value;
    }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Number(1)); }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Number(2)); }
    std::int16_t SignedWord() { return static_cast<std::int16_t>(Word()); }
    // count bytes, or those of them kept.
    Bytes Take(std::size_t count) {
        if (at_ > bytes_.size() || bytes_.size() - at_ < count) {
            cut_ = true;
            const std::size_t at = std::min(bytes_.size(), static_cast<std::size_t>(at_));
            at_ = bytes_.size();
            return bytes_.subspan(at);
        }
        const Bytes taken = bytes_.subspan(static_cast<std::size_t>(at_), count);
        at_ += count;
        return taken;
    }
    // Passes over count entries of size (1 or more) bytes without reading them.
    void Skip(std::uint64_t count, std::size_t size) {
        const std::uint64_t left = at_ < stated_ ? stated_ - at_ : 0;
        if (count > left / size) {
            at_ = stated_;
            cut_ = true;
            return;
        }
        at_ += count * size;
    }
    bool Cut() const noexcept { return cut_; }

private:
    Bytes bytes_;
    std::uint64_t stated_;
    std::uint64_t at_ = 0;
    bool cut_ = false;
};

// The fields of one block. A figure read past the end of the block's counted part is not a
// figure of the block: once the part is cut, single figures are left out (lists keep the whole
// entries read before the cut).
class Fields {
public:
    Fields(std::vector<DetailField>& fields, const PartReader& part)
        : fields_(fields), part_(part) {}

    void Number(std::string_view key, std::string_view label, std::int64_t value,
                std::string_view unit = {}) {
        if (!part_.Cut()) fields_.push_back({key, label, {value}, {}, false, unit, 0});
    }
    // A fixed field of the block, as its kind names it.
    void Field(const TapeBlock& block, const BlockField& field) {
        Number(field.key, field.label, block.Field(field), field.unit);
    }
    void Byte(std::string_view key, std::string_view label, std::uint8_t value) {
        if (!part_.Cut()) fields_.push_back({key, label, {value}, {}, false, {}, 0, true});
    }
    void Text(std::string_view key, std::string_view label, std::string text) {
        if (!part_.Cut()) fields_.push_back({key, label, {}, {std::move(text)}, false, {}, 0});
    }
    void Numbers(std::string_view key, std::string_view label, std::vector<std::int64_t> values,
                 std::string_view unit = {}, std::uint64_t notListed = 0) {
        fields_.push_back({key, label, std::move(values), {}, true, unit, notListed});
    }
    void Texts(std::string_view key, std::string_view label, std::vector<std::string> texts,
               std::uint64_t notListed = 0) {
        fields_.push_back({key, label, {}, std::move(texts), true, {}, notListed});
    }
    // A text about the block itself, whatever its part held.
    void Note(std::string_view key, std::string_view label, std::string text) {
        fields_.push_back({key, label, {}, {std::move(text)}, false, {}, 0});
    }

private:
    std::vector<DetailField>& fields_;
    const PartReader& part_;
};

// A body's length, flag and checksum, as stored and as its bytes add up.
void BodyFields(const BlockBody& body, Fields& out) {
    out.Number("bodyLength", "Body length", body.length, "bytes (flag, data, checksum)");
    if (body.length == 0) return;
    out.Byte("flag", "Flag", body.Flag());
    if (!body.checksum) return;
    out.Byte("checksumStated", "Checksum stated", body.checksum->stored);
    out.Byte("checksumComputed", "Checksum computed", body.checksum->computed);
    out.Text("checksum", "Checksum", body.checksum->Good() ? "good" : "bad");
}

std::string Hex(unsigned value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    return {kDigits[value >> 4 & 0xF], kDigits[value & 0xF]};
}

// The entries of a list of count past those listed; none when the list ran past the part.
std::uint64_t Unlisted(std::uint64_t count, const PartReader& part) {
    return count > kMaxListed && !part.Cut() ? count - kMaxListed : 0;
}

// 0x13: pulse count (fixed), then the 2-byte lengths. 0x26: the same of signed offsets.
void WordList(PartReader& part, std::size_t count, bool offsets,
              std::vector<std::int64_t>& listed) {
    for (std::size_t i = 0; i < count && i < kMaxListed; ++i) {
        const std::int64_t value = offsets ? std::int64_t{part.SignedWord()} : part.Word();
        if (part.Cut()) break;
        listed.push_back(value);
    }
    if (count > kMaxListed) part.Skip(count - kMaxListed, 2);
}

// One symbol table of a generalized data block and its stream: count symbols, each a flag
// byte and pulses 2-byte lengths; the pilot's stream is symbol, repeat count.
void SymbolTable(PartReader& part, unsigned count, unsigned pulses, std::string_view key,
                 std::string_view label, Fields& out) {
    std::vector<std::string> symbols;
    for (unsigned symbol = 0; symbol < count && symbol < kMaxListed; ++symbol) {
        std::string text = std::to_string(symbol) + ": type " + std::to_string(part.Byte()) + ";";
        for (unsigned pulse = 0; pulse < pulses; ++pulse) text += ' ' + std::to_string(part.Word());
        if (part.Cut()) break;
        symbols.push_back(std::move(text));
    }
    if (count > kMaxListed) part.Skip(count - kMaxListed, 1 + 2 * std::size_t{pulses});
    out.Texts(key, label, std::move(symbols), Unlisted(count, part));
}

// 0x19 after its 4-byte length: the header's fields (TzxBlockKinds), each shown as read; the
// pilot's symbols and its stream (TOTP times a symbol and a 2-byte repeat count) when TOTP is not
// 0; the data's symbols and the length of its stream (TOTD symbols of as many bits as an
// ASD-symbol number needs) when TOTD is not 0.
void GeneralizedData(PartReader& part, Fields& out) {
    std::array<std::uint8_t, tzx::generalized::kHeaderSize> read{};
    for (const BlockField& field : tzx::generalized::kHeader) {
        const std::uint32_t value = part.Number(field.width);
        PutField(read, field, value);
        // A stored alphabet of 0 symbols is 256 of them.
        const bool alphabet = field.offset == tzx::generalized::kPilotAlphabet.offset ||
                              field.offset == tzx::generalized::kDataAlphabet.offset;
        out.Number(field.key, field.label,
                   alphabet ? tzx::AlphabetSize(static_cast<std::uint8_t>(value)) : value,
                   field.unit);
    }
    const tzx::GeneralizedDataHeader header = *tzx::ReadGeneralizedHeader(read);
    const std::uint32_t totp = header.pilotSymbolsInBlock;
    const unsigned npp = header.pilotPulsesPerSymbol;
    const unsigned asp = tzx::AlphabetSize(header.pilotAlphabet);
    const std::uint32_t totd = header.dataSymbolsInBlock;
    const unsigned npd = header.dataPulsesPerSymbol;
    const unsigned asd = tzx::AlphabetSize(header.dataAlphabet);
    if (part.Cut()) return;
    if (totp > 0) {
        SymbolTable(part, asp, npp, "pilotSymbols", "Pilot symbols", out);
        std::vector<std::string> stream;
        for (std::uint32_t entry = 0; entry < totp && entry < kMaxListed; ++entry) {
            const unsigned symbol = part.Byte();
            const unsigned repeats = part.Word();
            if (part.Cut()) break;
            stream.push_back("symbol " + std::to_string(symbol) + " x " + std::to_string(repeats));
        }
        if (totp > kMaxListed) part.Skip(totp - kMaxListed, 3);
        out.Texts("pilotStream", "Pilot stream", std::move(stream), Unlisted(totp, part));
    }
    if (totd > 0) {
        SymbolTable(part, asd, npd, "dataSymbols", "Data symbols", out);
        const unsigned bits = tzx::BitsPerDataSymbol(asd);
        const std::uint64_t streamBytes = (std::uint64_t{totd} * bits + 7) / 8;
        part.Skip(streamBytes, 1);
        out.Number("dataStreamLength", "Data stream", static_cast<std::int64_t>(streamBytes),
                   "bytes");
    }
}

// 0x28 after its 2-byte length: count, then per choice a signed offset, a length and a text.
void SelectBlock(PartReader& part, Fields& out) {
    const unsigned count = part.Byte();
    out.Number("choiceCount", "Choices stated", count);
    std::vector<std::string> choices;
    for (unsigned choice = 0; choice < count; ++choice) {
        const std::int16_t offset = part.SignedWord();
        const Bytes text = part.Take(part.Byte());
        if (part.Cut()) break;
        std::string bytes(text.begin(), text.end());
        choices.push_back(std::to_string(offset) + ": " + CodePageToUtf8(bytes));
    }
    out.Texts("choices", "Choices (offset: text)", std::move(choices));
}

// The text kinds, read by the one TZX texts reader: the block after its ID as it is stored.
void TextBlock(const TapeBlock& block, Fields& out) {
    TzxTextBlock stored{
        block.id, block.position, {block.fixed.begin(), block.fixed.begin() + block.fixedSize}};
    stored.bytes.insert(stored.bytes.end(), block.part.begin(), block.part.end());
    TzxTexts texts = ReadTzxTexts({stored});
    switch (block.id) {
        case tzx::kTextDescription:
            for (std::string& text : texts.descriptions) out.Text("text", "Text", std::move(text));
            break;
        case tzx::kMessage:
            out.Field(block, tzx::message::kSeconds);
            for (std::string& text : texts.messages) out.Text("text", "Text", std::move(text));
            break;
        case tzx::kArchiveInfo:
            for (ArchiveField& field : texts.archive)
                out.Text(field.key, field.label, std::move(field.text));
            break;
        default: out.Texts("hardware", "Hardware", std::move(texts.hardware)); break;
    }
}

// The fields of the block's ID, reading its counted part (as kept) through part.
void IdFields(const TapeBlock& block, PartReader& part, bool tap, Fields& out) {
    switch (block.id) {
        case tzx::kStandardSpeed:
            if (!tap) out.Field(block, tzx::standard::kPause);
            break;
        case tzx::kTurboSpeed:
            out.Field(block, tzx::turbo::kPilotPulse);
            out.Field(block, tzx::turbo::kSync1Pulse);
            out.Field(block, tzx::turbo::kSync2Pulse);
            out.Field(block, tzx::turbo::kZeroPulse);
            out.Field(block, tzx::turbo::kOnePulse);
            out.Field(block, tzx::turbo::kPilotPulses);
            out.Field(block, tzx::turbo::kUsedBits);
            out.Field(block, tzx::turbo::kPause);
            break;
        case tzx::kPureTone:
            out.Field(block, tzx::tone::kPulse);
            out.Field(block, tzx::tone::kPulses);
            break;
        case tzx::kPulseSequence: {
            const auto count = static_cast<std::size_t>(block.Field(tzx::pulses::kCount));
            std::vector<std::int64_t> pulses;
            WordList(part, count, false, pulses);
            out.Field(block, tzx::pulses::kCount);
            out.Numbers("pulses", "Pulse lengths", std::move(pulses), "T-states",
                        Unlisted(count, part));
            break;
        }
        case tzx::kPureData:
            out.Field(block, tzx::pure::kZeroPulse);
            out.Field(block, tzx::pure::kOnePulse);
            out.Field(block, tzx::pure::kUsedBits);
            out.Field(block, tzx::pure::kPause);
            break;
        case tzx::kDirectRecording: {
            out.Field(block, tzx::direct::kTStatesPerSample);
            out.Field(block, tzx::direct::kPause);
            out.Field(block, tzx::direct::kUsedBits);
            out.Field(block, tzx::direct::kLength);
            const auto length = static_cast<std::uint64_t>(block.Field(tzx::direct::kLength));
            if (length > 0) {
                const auto usedBits =
                    static_cast<std::uint64_t>(block.Field(tzx::direct::kUsedBits));
                out.Number("samples", "Samples",
                           static_cast<std::int64_t>((length - 1) * 8 + usedBits));
            }
            part.Skip(length, 1);
            break;
        }
        case tzx::kCswRecording: {
            // After its 4-byte length: pause, sampling rate (3), compression, pulses (4), data.
            out.Number("pause", "Pause", part.Word(), "ms");
            out.Number("samplingRate", "Sampling rate", part.Number(3), "Hz");
            const unsigned compression = part.Byte();
            out.Text("compression", "Compression",
                     compression == 1   ? "RLE"
                     : compression == 2 ? "Z-RLE"
                                        : "unknown (" + std::to_string(compression) + ")");
            out.Number("pulses", "Pulses", part.Number(4));
            part.Skip(block.partLength > 10 ? block.partLength - 10 : 0, 1);
            break;
        }
        case tzx::kGeneralizedData: GeneralizedData(part, out); break;
        case tzx::kPause:
            out.Field(block, tzx::pause::kPause);
            if (block.Field(tzx::pause::kPause) == 0) out.Text("stop", "Stop", "the tape stops");
            break;
        case tzx::kGroupStart: {
            const Bytes name =
                part.Take(static_cast<std::size_t>(block.Field(tzx::group::kNameLength)));
            out.Text("name", "Name", CodePageToUtf8(std::string(name.begin(), name.end())));
            break;
        }
        case tzx::kJump: out.Field(block, tzx::jump::kJump); break;
        case tzx::kLoopStart: out.Field(block, tzx::loop::kRepetitions); break;
        case tzx::kCallSequence: {
            const auto count = static_cast<std::size_t>(block.Field(tzx::call::kCount));
            std::vector<std::int64_t> calls;
            WordList(part, count, true, calls);
            out.Field(block, tzx::call::kCount);
            out.Numbers("calls", "Call offsets", std::move(calls), "blocks", Unlisted(count, part));
            break;
        }
        case tzx::kSelectBlock: SelectBlock(part, out); break;
        case tzx::kSignalLevel: {
            const unsigned level = part.Byte();
            out.Text("level", "Signal level",
                     level == 0   ? "low"
                     : level == 1 ? "high"
                                  : "unknown (" + std::to_string(level) + ")");
            break;
        }
        case tzx::kTextDescription:
        case tzx::kMessage:
        case tzx::kArchiveInfo:
        case tzx::kHardwareType: TextBlock(block, out); break;
        case tzx::kCustomInfo: {
            const Bytes stored = FieldBytes(block.Fixed(), tzx::custom::kIdentification);
            std::string identification(stored.begin(), stored.end());
            while (!identification.empty() && identification.back() == ' ')
                identification.pop_back();
            out.Text(tzx::custom::kIdentification.key, tzx::custom::kIdentification.label,
                     CodePageToUtf8(identification));
            out.Field(block, tzx::custom::kLength);
            break;
        }
        case tzx::kGlue: {
            out.Text("version", "Version",
                     TzxVersionText(static_cast<std::uint8_t>(block.Field(tzx::glue::kMajor)),
                                    static_cast<std::uint8_t>(block.Field(tzx::glue::kMinor))));
            break;
        }
        default: break;
    }
}

}  // namespace

std::string_view TzxBlockName(std::uint8_t id) {
    return KindOf(id).name;
}

std::vector<std::optional<std::size_t>> BlockRows(const TapeDocument& tape) {
    std::vector<std::optional<std::size_t>> rows(tape.blocks.size());
    std::size_t row = 0;
    for (std::size_t index = 0; index < tape.blocks.size(); ++index) {
        if (IsRowBlock(tape.blocks[index])) rows[index] = ++row;
    }
    return rows;
}

BlockDetail DetailOf(const TapeDocument& tape, std::size_t index, std::optional<std::size_t> row) {
    const TapeBlock& block = tape.blocks.at(index);
    BlockDetail detail;
    detail.index = index;
    detail.id = block.id;
    detail.name = KindOf(block.id).name;
    detail.position = block.position;
    detail.length = block.length;
    detail.row = row;
    PartReader part(block.part, block.partLength);
    Fields out(detail.fields, part);
    IdFields(block, part, !tape.tzx.has_value(), out);
    if (block.body) {
        BodyFields(*block.body, out);  // a body has no counted part to cut
    } else if (block.part.size() < block.partLength) {
        out.Note("kept", "Kept",
                 "the first " + std::to_string(block.part.size()) + " of " +
                     std::to_string(block.partLength) + " bytes");
    } else if (part.Cut()) {
        out.Note(
            "cut", "Cut",
            "its counts state more than its " + std::to_string(block.partLength) + " bytes hold");
    }
    return detail;
}

std::vector<BlockDetail> BlockDetails(const TapeDocument& tape) {
    const std::vector<std::optional<std::size_t>> rows = BlockRows(tape);
    std::vector<BlockDetail> details;
    details.reserve(tape.blocks.size());
    for (std::size_t index = 0; index < tape.blocks.size(); ++index)
        details.push_back(DetailOf(tape, index, rows[index]));
    return details;
}

std::string BlockHeading(std::size_t index, std::uint8_t id, std::optional<std::size_t> row) {
    std::string heading = "Block " + std::to_string(index + 1) + ": 0x" + Hex(id) + " " +
                          std::string(KindOf(id).name);
    if (row) heading += " (row " + std::to_string(*row) + ")";
    return heading;
}

namespace {

// text, its own line breaks starting lines indented as far as lead is long.
void AddIndented(std::vector<std::string>& lines, const std::string& lead,
                 const std::string& text) {
    std::string line = lead;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.assign(lead.size(), ' ');
        } else {
            line += c;
        }
    }
    lines.push_back(line);
}

}  // namespace

std::vector<std::string> BlockDetailLines(const BlockDetail& detail) {
    std::vector<std::string> lines = {BlockHeading(detail.index, detail.id, detail.row)};
    lines.push_back("  Position: " + std::to_string(detail.position));
    lines.push_back("  Length: " + std::to_string(detail.length) +
                    (detail.length == 1 ? " byte" : " bytes"));
    for (const DetailField& field : detail.fields) {
        const std::string lead = "  " + std::string(field.label) + ": ";
        std::string more;
        if (field.notListed > 0) more = " and " + std::to_string(field.notListed) + " more";
        if (!field.texts.empty() || (field.list && field.numbers.empty())) {
            if (!field.list) {
                AddIndented(lines, lead, field.texts.front());
                continue;
            }
            lines.push_back("  " + std::string(field.label) + ":" +
                            (field.texts.empty() ? " none" : ""));
            for (const std::string& text : field.texts) AddIndented(lines, "    ", text);
            if (!more.empty()) lines.push_back("   " + more);
            continue;
        }
        std::string values;
        for (const std::int64_t number : field.numbers) {
            if (!values.empty()) values += ' ';
            values +=
                field.hex ? "0x" + Hex(static_cast<unsigned>(number)) : std::to_string(number);
        }
        if (!field.unit.empty()) values += " " + std::string(field.unit);
        lines.push_back(lead + values + more);
    }
    return lines;
}

}  // namespace brisalto
