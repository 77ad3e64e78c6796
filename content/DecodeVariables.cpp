// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeVariables.h"

#include "ZxCharacters.h"
#include "ZxNumber.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kEndMark = 0x80;
constexpr std::uint8_t kLetterBits = 0x1F;
constexpr std::uint8_t kLetterCount = 26;
constexpr std::uint8_t kLastCharacterBit = 0x80;
constexpr std::size_t kForLoopSize = 1 + 3 * kSpectrumNumberSize + 2 + 1;

// What a variable's type bits (the top three of its first byte) say it is.
enum class TypeBits : std::uint8_t {
    String = 0x40,
    Number = 0x60,
    NumberArray = 0x80,
    LongNumber = 0xA0,
    CharacterArray = 0xC0,
    ForLoop = 0xE0,
};

bool IsNameCharacter(std::uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads a variable at bytes[at]; advances at past it, or returns nothing when the bytes there
// are no variable.
class VariableReader {
public:
    explicit VariableReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<SpectrumVariable> Read(std::size_t& at) const {
        const std::uint8_t first = bytes_[at];
        const std::uint8_t letter = first & kLetterBits;
        if (letter == 0 || letter > kLetterCount) return std::nullopt;
        SpectrumVariable variable;
        variable.offset = at;
        variable.name = std::string(1, static_cast<char>('a' + letter - 1));
        std::size_t next = at + 1;
        bool read = false;
        switch (static_cast<TypeBits>(first & ~kLetterBits)) {
            case TypeBits::Number: read = ReadNumber(variable, next); break;
            case TypeBits::LongNumber:
                read = ReadLongName(variable, next) && ReadNumber(variable, next);
                break;
            case TypeBits::ForLoop: read = ReadForLoop(variable, next); break;
            case TypeBits::String: read = ReadString(variable, next); break;
            case TypeBits::NumberArray: read = ReadArray(variable, next, false); break;
            case TypeBits::CharacterArray: read = ReadArray(variable, next, true); break;
        }
        if (!read) return std::nullopt;
        at = next;
        return variable;
    }

private:
    std::size_t Left(std::size_t at) const { return bytes_.size() - at; }

    std::optional<std::string> Number(std::size_t at) const {
        const auto value = SpectrumNumberValue(bytes_.subspan(at).first<kSpectrumNumberSize>());
        if (!value) return std::nullopt;
        return SpectrumNumberText(*value);
    }

    bool ReadNumber(SpectrumVariable& variable, std::size_t& at) const {
        variable.kind = VariableKind::Number;
        if (Left(at) < kSpectrumNumberSize) return false;
        const auto value = Number(at);
        if (!value) return false;
        variable.value = *value;
        at += kSpectrumNumberSize;
        return true;
    }

    bool ReadLongName(SpectrumVariable& variable, std::size_t& at) const {
        for (;; ++at) {
            if (Left(at) == 0) return false;
            const std::uint8_t c = bytes_[at];
            const auto character = static_cast<std::uint8_t>(c & ~kLastCharacterBit);
            if (!IsNameCharacter(character)) return false;
            variable.name += static_cast<char>(character);
            if ((c & kLastCharacterBit) != 0) break;
        }
        ++at;
        return true;
    }

    bool ReadForLoop(SpectrumVariable& variable, std::size_t& at) const {
        variable.kind = VariableKind::ForLoop;
        if (Left(at) < kForLoopSize - 1) return false;
        const auto value = Number(at);
        const auto limit = Number(at + kSpectrumNumberSize);
        const auto step = Number(at + 2 * kSpectrumNumberSize);
        if (!value || !limit || !step) return false;
        variable.value = *value;
        variable.limit = *limit;
        variable.step = *step;
        const std::size_t lineAt = at + 3 * kSpectrumNumberSize;
        variable.line = std::uint16_t(bytes_[lineAt] | bytes_[lineAt + 1] << 8);
        variable.statement = bytes_[lineAt + 2];
        at += kForLoopSize - 1;
        return true;
    }

    // A string's or an array's two length bytes and the bytes they count.
    std::optional<std::span<const std::uint8_t>> Counted(std::size_t& at) const {
        if (Left(at) < 2) return std::nullopt;
        const std::size_t length = bytes_[at] | std::size_t(bytes_[at + 1]) << 8;
        if (Left(at + 2) < length) return std::nullopt;
        const auto counted = bytes_.subspan(at + 2, length);
        at += 2 + length;
        return counted;
    }

    bool ReadString(SpectrumVariable& variable, std::size_t& at) const {
        variable.kind = VariableKind::String;
        variable.name += '$';
        const auto text = Counted(at);
        if (!text) return false;
        AppendSpectrumText(variable.value, *text);
        return true;
    }

    bool ReadArray(SpectrumVariable& variable, std::size_t& at, bool characters) const {
        variable.kind = characters ? VariableKind::CharacterArray : VariableKind::NumberArray;
        if (characters) variable.name += '$';
        const auto body = Counted(at);
        if (!body) return false;
        auto array = DecodeArrayBody(*body, characters, variable.name);
        // An element in neither number form makes the whole array doubtful.
        if (!array || array->unreadable > 0) return false;
        variable.array = std::move(*array);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
};

}  // namespace

VariablesArea DecodeVariables(std::span<const std::uint8_t> bytes) {
    VariablesArea area;
    const VariableReader reader(bytes);
    // Every variable takes at least two bytes, so the loop ends.
    for (std::size_t at = 0; at < bytes.size();) {
        if (bytes[at] == kEndMark) {
            area.endMark = true;
            area.bytesAfterMark = bytes.size() - at - 1;
            break;
        }
        auto variable = reader.Read(at);
        if (!variable) {
            area.notVariablesFrom = at;
            break;
        }
        area.variables.push_back(std::move(*variable));
    }
    return area;
}

}  // namespace brisalto
