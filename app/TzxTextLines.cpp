// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxTextLines.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace brisalto {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kTextDescription = 0x30;
constexpr std::uint8_t kMessage = 0x31;
constexpr std::uint8_t kArchiveInfo = 0x32;
constexpr std::uint8_t kHardwareType = 0x33;

// Archive information's field kinds; 0xFF is the comment.
constexpr std::array<std::string_view, 9> kArchiveFields = {
    "Title", "Publisher", "Authors", "Year", "Language", "Type", "Price", "Protection", "Origin",
};
constexpr std::string_view kCommentField = "Comment";
constexpr std::size_t kFieldWidth = 12;  // "Protection: " and room to spare

// Hardware information: the kinds of hardware, and the machines of kind 0 by ID.
constexpr std::array<std::string_view, 17> kHardwareKinds = {
    "Computer",
    "External storage",
    "ROM/RAM add-on",
    "Sound device",
    "Joystick",
    "Mouse",
    "Other controller",
    "Serial port",
    "Parallel port",
    "Printer",
    "Modem",
    "Digitizer",
    "Network adapter",
    "Keyboard or keypad",
    "AD/DA converter",
    "EPROM programmer",
    "Graphics",
};
constexpr std::array<std::string_view, 14> kComputers = {
    "ZX Spectrum 16k",
    "ZX Spectrum 48k, Plus",
    "ZX Spectrum 48k Issue 1",
    "ZX Spectrum 128k +(Sinclair)",
    "ZX Spectrum 128k +2 (grey case)",
    "ZX Spectrum 128k +2A, +3",
    "Timex Sinclair TC-2048",
    "Timex Sinclair TS-2068",
    "Pentagon 128",
    "Sam Coupe",
    "Didaktik M",
    "Didaktik Gama",
    "ZX-80",
    "ZX-81",
};
// What the tape does with that hardware, by the entry's information byte.
constexpr std::array<std::string_view, 4> kHardwareStates = {
    "runs", "runs, using hardware", "runs, does not use hardware", "does not run"};

// The count bytes from begin, or those of them within bytes.
Bytes Within(Bytes bytes, std::size_t begin, std::size_t count) {
    if (begin >= bytes.size()) return {};
    return bytes.subspan(begin, std::min(count, bytes.size() - begin));
}

// lead and then the text, a line break (0x0D, or 0x0D 0x0A) starting a new line indented as
// far as lead is long; a break at the very end starts none.
void AddText(std::vector<std::string>& lines, const std::string& lead, Bytes text) {
    std::string line = lead;
    bool open = true;  // a line begun and not yet added
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != 0x0D) {
            line += static_cast<char>(text[i]);
            open = true;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == 0x0A) ++i;
        lines.push_back(line);
        line.assign(lead.size(), ' ');
        open = false;
    }
    if (open) lines.push_back(line);
}

// 0x30: length, text.
void TextDescription(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.empty()) return;
    AddText(lines, "Text description: ", Within(bytes, 1, bytes[0]));
}

// 0x31: seconds to show it for (0: until a key is pressed), length, text.
void Message(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.size() < 2) return;
    const std::string lead =
        bytes[0] == 0 ? std::string("Message: ") : "Message (" + std::to_string(bytes[0]) + " s): ";
    AddText(lines, lead, Within(bytes, 2, bytes[1]));
}

// 0x32: length of the rest (2 bytes), field count, then per field its kind, length and text.
void ArchiveInfo(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.size() < 3) return;
    lines.emplace_back("Archive information:");
    const unsigned count = bytes[2];
    std::size_t p = 3;
    for (unsigned field = 0; field < count; ++field) {
        if (bytes.size() - p < 2) return;  // no room for another field's kind and length
        const std::uint8_t kind = bytes[p];
        const Bytes text = Within(bytes, p + 2, bytes[p + 1]);
        p += 2 + text.size();
        std::string name = kind < kArchiveFields.size() ? std::string(kArchiveFields[kind])
                           : kind == 0xFF               ? std::string(kCommentField)
                                                        : "Field " + std::to_string(kind);
        name += ':';
        name.resize(std::max(kFieldWidth, name.size() + 1), ' ');
        AddText(lines, "  " + name, text);
    }
}

std::string HardwareName(std::uint8_t kind, std::uint8_t id) {
    if (kind == 0 && id < kComputers.size()) return std::string(kComputers[id]);
    const std::string name = kind < kHardwareKinds.size() ? std::string(kHardwareKinds[kind])
                                                          : "Hardware kind " + std::to_string(kind);
    return name + " " + std::to_string(id);
}

// 0x33: entry count, then per entry the hardware's kind, its ID and what the tape does with it.
void HardwareInfo(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.empty()) return;
    lines.emplace_back("Hardware information:");
    const unsigned count = bytes[0];
    for (unsigned entry = 0; entry < count; ++entry) {
        const std::size_t p = 1 + 3 * std::size_t(entry);
        if (bytes.size() - p < 3) return;  // no room for another entry
        const std::string_view state =
            bytes[p + 2] < kHardwareStates.size() ? kHardwareStates[bytes[p + 2]] : "unknown";
        lines.push_back("  " + HardwareName(bytes[p], bytes[p + 1]) + ": " + std::string(state));
    }
}

}  // namespace

std::vector<std::string> TzxTextLines(const std::vector<TzxTextBlock>& blocks) {
    std::vector<std::string> lines;
    for (const TzxTextBlock& block : blocks) {
        const Bytes bytes(block.bytes);
        switch (block.id) {
            case kTextDescription: TextDescription(lines, bytes); break;
            case kMessage: Message(lines, bytes); break;
            case kArchiveInfo: ArchiveInfo(lines, bytes); break;
            case kHardwareType: HardwareInfo(lines, bytes); break;
            default: break;
        }
    }
    return lines;
}

}  // namespace brisalto
