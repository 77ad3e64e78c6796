// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundLibraryGuard.h"

#include <bit>

#include "TzxBlockCodec.h"
#include "TzxBlockKinds.h"

namespace brisalto {

namespace {

constexpr std::size_t kTzxHeader = 10;  // the signature and the two version bytes

// Little-endian fields of the bytes, read only where the caller has checked they lie.
class Fields {
public:
    explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Size() const noexcept { return bytes_.size(); }
    std::uint32_t Byte(std::size_t at) const { return bytes_[at]; }
    // A fixed field of the block whose ID is at at; 0 past the bytes.
    std::int64_t Field(std::size_t at, const BlockField& field) const {
        return at < bytes_.size() ? FieldValue(bytes_.subspan(at + 1), field) : 0;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// What libspectrum makes of one block: how long its reader takes it to be, or none where the
// reader refuses it; and why its sound cannot be made safely, if it cannot.
struct BlockCheck {
    std::optional<std::uint64_t> length{};
    const char* unsound = nullptr;
};

// The bits libspectrum gives each data symbol of an alphabet of size symbols: the logarithm
// rounded up (0 for one symbol).
std::uint32_t BitsPerSymbol(std::uint32_t symbols) {
    return static_cast<std::uint32_t>(std::bit_width(symbols - 1));
}

// A generalized data block (0x19) from its ID at at: a 4-byte length, then its header (pause, the
// pilot's symbol count TOTP, pulses per symbol NPP and alphabet size ASP, 0 meaning 256, the same
// three for the data: TOTD, NPD, ASD), then the pilot's alphabet (ASP symbols of a flag
// byte and NPP pulse lengths of 2 bytes) and its runs (TOTP of a symbol byte and a 2-byte repeat
// count), present when TOTP is not 0, and the data's alphabet and its symbols packed in bits,
// present when TOTD is not 0.
BlockCheck GeneralizedData(std::span<std::uint8_t> bytes, std::size_t at) {
    const Fields fields(bytes);
    if (fields.Size() - at < 5) return {};
    // The library reads its 4-byte fields as a sum of int products, which overflow from 2^31 on;
    // no block that fits a tape has a length or a count that large, but for symbols of no bits,
    // whose sound would pass every bound.
    constexpr const char* kTooLarge =
        "a generalized data block with a length or count of 2^31 or more";
    constexpr std::int64_t kLargest = 0x7FFF'FFFF;
    const auto length =
        static_cast<std::uint64_t>(fields.Field(at, KindOf(tzx::kGeneralizedData).length));
    if (length > kLargest) return {std::nullopt, kTooLarge};
    if (fields.Size() - at - 5 < length) return {};
    BlockCheck check{5 + length};
    // A shorter one is refused by the reader, whose own check comes first.
    if (length < tzx::generalized::kHeaderSize) return {};
    const std::size_t body = at + 5;
    const std::span<std::uint8_t> contents = bytes.subspan(body, tzx::generalized::kHeaderSize);
    const tzx::GeneralizedDataHeader header = *tzx::ReadGeneralizedHeader(contents);
    if (header.pilotSymbolsInBlock > kLargest || header.dataSymbolsInBlock > kLargest) {
        check.unsound = kTooLarge;
        return check;
    }
    const std::uint32_t pilotSymbols = header.pilotSymbolsInBlock;
    const std::uint32_t pilotPulses = header.pilotPulsesPerSymbol;
    std::uint32_t pilotAlphabet = header.pilotAlphabet;
    const std::uint32_t dataSymbols = header.dataSymbolsInBlock;
    const std::uint32_t dataPulses = header.dataPulsesPerSymbol;
    std::uint32_t dataAlphabet = header.dataAlphabet;
    if (pilotAlphabet == 0 && pilotSymbols != 0) pilotAlphabet = 256;
    if (dataAlphabet == 0 && dataSymbols != 0) dataAlphabet = 256;

    // Its walk of the pilot goes on to the data whether there is any or not; its tables have
    // room for no pulse when a symbol has none, and it reads one all the same.
    if (pilotSymbols != 0 && dataSymbols == 0) {
        check.unsound = "a generalized data block with a pilot and no data";
        return check;
    }
    if ((pilotSymbols != 0 && pilotPulses == 0) || (dataSymbols != 0 && dataPulses == 0)) {
        check.unsound = "a generalized data block whose symbols have no pulses";
        return check;
    }
    if (dataSymbols == 0 && dataAlphabet == 0)
        PutField(contents, tzx::generalized::kDataAlphabet, 1);

    // The reader's arithmetic adds what a table took instead of taking it away, and a data table
    // that does not fit is dropped without a word, so counts that do not fit the length are
    // stopped here, before it reads past the block or follows a table it never made.
    const std::uint64_t bits = BitsPerSymbol(dataAlphabet);
    std::uint64_t needed = tzx::generalized::kHeaderSize;
    const std::uint64_t pilotTable = pilotSymbols ? pilotAlphabet * (1 + 2 * pilotPulses) : 0;
    const std::uint64_t pilotRuns = std::uint64_t{3} * pilotSymbols;
    const std::uint64_t dataTable = dataSymbols ? dataAlphabet * (1 + 2 * dataPulses) : 0;
    const std::uint64_t dataBytes = (bits * dataSymbols + 7) / 8;
    needed += pilotTable + pilotRuns + dataTable + dataBytes;
    if (needed != length) {
        check.unsound = "a generalized data block whose counts do not fit its length";
        return check;
    }
    // A symbol past the end of its alphabet is a place past the end of the library's table.
    const std::size_t runs =
        body + tzx::generalized::kHeaderSize + static_cast<std::size_t>(pilotTable);
    for (std::size_t run = 0; run < pilotSymbols; ++run) {
        if (fields.Byte(runs + 3 * run) >= pilotAlphabet) {
            check.unsound = "a generalized data block whose pilot names a symbol it lacks";
            return check;
        }
    }
    if (!std::has_single_bit(dataAlphabet) && dataSymbols != 0) {
        const std::size_t data = runs + static_cast<std::size_t>(pilotRuns + dataTable);
        for (std::uint64_t symbol = 0; symbol < dataSymbols; ++symbol) {
            std::uint32_t value = 0;
            for (std::uint64_t bit = symbol * bits; bit < (symbol + 1) * bits; ++bit) {
                const std::uint32_t byte = fields.Byte(data + static_cast<std::size_t>(bit / 8));
                value = value << 1 | (byte >> (7 - bit % 8) & 1u);
            }
            if (value >= dataAlphabet) {
                check.unsound = "a generalized data block whose data names a symbol it lacks";
                return check;
            }
        }
    }
    return check;
}

// A block the library reads as ours does: its kind's fixed fields, then a counted part as long
// as its length field gives.
BlockCheck Counted(const Fields& fields, std::size_t at) {
    const BlockKind& kind = KindOf(static_cast<std::uint8_t>(fields.Byte(at)));
    if (fields.Size() - at - 1 < kind.fixedSize) return {};
    const auto count = static_cast<std::uint64_t>(fields.Field(at, kind.length));
    const std::uint64_t length = 1 + kind.fixedSize + count * kind.unit;
    if (fields.Size() - at < length) return {};
    return {length};
}

// A block the library reads as size bytes after its ID, whatever length it states.
BlockCheck Sized(const Fields& fields, std::size_t at, std::size_t size) {
    if (fields.Size() - at - 1 < size) return {};
    return {1 + size};
}

// A block of fixed bytes, then count items (count at countAt, one byte), each of itemFixed bytes
// and a string of a length byte and its characters: the reader goes by the items, not by any
// length the block states.
BlockCheck Strings(const Fields& fields, std::size_t at, std::size_t fixed, std::size_t countAt,
                   std::size_t itemFixed) {
    if (fields.Size() - at - 1 < fixed) return {};
    const std::uint32_t items = fields.Byte(at + countAt);
    std::size_t next = at + 1 + fixed;
    for (std::uint32_t item = 0; item < items; ++item) {
        if (fields.Size() - next < itemFixed + 1) return {};
        next += itemFixed + 1 + fields.Byte(next + itemFixed);
        if (next > fields.Size()) return {};
    }
    return {next - at};
}

BlockCheck CheckBlock(std::span<std::uint8_t> bytes, std::size_t at) {
    const Fields fields(bytes);
    switch (fields.Byte(at)) {
        case tzx::kStandardSpeed:
        case tzx::kTurboSpeed:
        case tzx::kDirectRecording:
        case tzx::kPause:
        case tzx::kGroupStart:
        case tzx::kGroupEnd:
        case tzx::kJump:
        case tzx::kLoopStart:
        case tzx::kLoopEnd:
        case tzx::kTextDescription:
        case tzx::kMessage:
        case tzx::kHardwareType:
        case tzx::kCustomInfo:
        case tzx::kGlue: return Counted(fields, at);
        case tzx::kPureTone: {
            BlockCheck check = Counted(fields, at);
            // Its walk counts the pulses down from 0 past the end of the block's count.
            if (check.length && fields.Field(at, tzx::tone::kPulses) == 0) {
                check.unsound = "a tone of no pulses";
            }
            return check;
        }
        case tzx::kPulseSequence: {
            BlockCheck check = Counted(fields, at);
            // Its walk reads the first pulse before it compares the count.
            if (check.length && fields.Field(at, tzx::pulses::kCount) == 0) {
                check.unsound = "a pulse sequence of no pulses";
            }
            return check;
        }
        case tzx::kPureData: {
            BlockCheck check = Counted(fields, at);
            // A single byte of which no bit is used is a last byte that never ends.
            if (check.length && fields.Field(at, tzx::pure::kLength) == 1 &&
                fields.Field(at, tzx::pure::kUsedBits) == 0) {
                check.unsound = "a pure data block of one byte with no bits used";
            }
            return check;
        }
        case tzx::kGeneralizedData: return GeneralizedData(bytes, at);
        case tzx::kSelectBlock: return Strings(fields, at, 3, 3, 2);
        case tzx::kStop48K: return Sized(fields, at, 4);
        case tzx::kSignalLevel: return Sized(fields, at, 5);
        case tzx::kArchiveInfo: return Strings(fields, at, 3, 3, 1);
        default: return {};
    }
}

}  // namespace

std::optional<UnsoundBlock> FindUnsoundBlock(std::span<std::uint8_t> tzx) {
    std::size_t at = kTzxHeader;
    while (at < tzx.size()) {
        const BlockCheck check = CheckBlock(tzx, at);
        if (check.unsound) return UnsoundBlock{at, check.unsound};
        if (!check.length) break;
        at += static_cast<std::size_t>(*check.length);
    }
    return std::nullopt;
}

}  // namespace brisalto
