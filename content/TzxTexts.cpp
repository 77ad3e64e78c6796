// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxTexts.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "CodePageText.h"
#include "TapeBlock.h"
#include "TzxBlockCodec.h"

namespace brisalto {

namespace {

struct ArchiveKind {
    std::uint8_t id;
    std::string_view key;
    std::string_view label;
};

constexpr std::array<ArchiveKind, 10> kArchiveKinds = {{
    {0x00, "title", "Title"},
    {0x01, "publisher", "Publisher"},
    {0x02, "authors", "Authors"},
    {0x03, "year", "Year"},
    {0x04, "language", "Language"},
    {0x05, "type", "Type"},
    {0x06, "price", "Price"},
    {0x07, "protection", "Protection"},
    {0x08, "origin", "Origin"},
    {0xFF, "comment", "Comment"},
}};

// TZX texts end their lines with 0x0D (some writers add 0x0A after it).
std::string TextLines(std::span<const std::uint8_t> bytes) {
    std::string single;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0x0D) {
            single += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == 0x0A) ++i;
        } else {
            single += static_cast<char>(bytes[i]);
        }
    }
    while (!single.empty() && single.back() == '\n') single.pop_back();
    return CodePageToUtf8(single);
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The count bytes from begin, or those of them within bytes.
std::span<const std::uint8_t> Within(std::span<const std::uint8_t> bytes, std::size_t begin,
                                     std::size_t count) {
    if (begin >= bytes.size()) return {};
    return bytes.subspan(begin, std::min(count, bytes.size() - begin));
}

// 0x32: its 2-byte length, then the entries.
void ReadArchiveInfo(std::span<const std::uint8_t> bytes, std::vector<ArchiveField>& fields) {
    if (bytes.size() < 3) return;
    for (const tzx::ArchiveEntry& entry : tzx::ReadArchiveEntries(bytes.subspan(2))) {
        const auto kind = std::find_if(kArchiveKinds.begin(), kArchiveKinds.end(),
                                       [&entry](const ArchiveKind& k) { return k.id == entry.id; });
        if (kind == kArchiveKinds.end()) continue;
        const bool seen = std::any_of(fields.begin(), fields.end(),
                                      [kind](const ArchiveField& f) { return f.key == kind->key; });
        if (!seen) fields.push_back({kind->key, kind->label, TextLines(AsBytes(entry.text))});
    }
}

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kFieldWidth = 12;  // "Protection: " and room to spare

// Hardware information (0x33): each entry names a kind of hardware, one of its makes by ID, and
// what the tape does with it. The kinds, and the makes of each kind by ID, as the TZX format
// lists them.
struct HardwareKind {
    std::string_view kind;
    std::span<const std::string_view> makes;
};
constexpr std::array<std::string_view, 46> kComputers = {
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
    "ZX Spectrum 128k, Spanish version",
    "ZX Spectrum, Arabic version",
    "Microdigital TK 90-X",
    "Microdigital TK 95",
    "Byte",
    "Elwro 800-3",
    "ZS Scorpion 256",
    "Amstrad CPC 464",
    "Amstrad CPC 664",
    "Amstrad CPC 6128",
    "Amstrad CPC 464+",
    "Amstrad CPC 6128+",
    "Jupiter ACE",
    "Enterprise",
    "Commodore 64",
    "Commodore 128",
    "Inves Spectrum+",
    "Profi",
    "GrandRomMax",
    "Kay 1024",
    "Ice Felix HC 91",
    "Ice Felix HC 2000",
    "Amaterske RADIO Mistrum",
    "Quorum 128",
    "MicroART ATM",
    "MicroART ATM Turbo 2",
    "Chrome",
    "ZX Badaloc",
    "TS-1500",
    "Lambda",
    "TK-65",
    "ZX-97",
};
constexpr std::array<std::string_view, 24> kStorage = {
    "ZX Microdrive",
    "Opus Discovery",
    "MGT Disciple",
    "MGT Plus-D",
    "Rotronics Wafadrive",
    "TR-DOS (BetaDisk)",
    "Byte Drive",
    "Watsford",
    "FIZ",
    "Radofin",
    "Didaktik disk drives",
    "BS-DOS (MB-02)",
    "ZX Spectrum +3 disk drive",
    "JLO (Oliger) disk interface",
    "Timex FDD3000",
    "Zebra disk drive",
    "Ramex Millenia",
    "Larken",
    "Kempston disk interface",
    "Sandy",
    "ZX Spectrum +3e hard disk",
    "ZXATASP",
    "DivIDE",
    "ZXCF",
};
constexpr std::array<std::string_view, 11> kAddOns = {
    "Sam Ram",
    "Multiface ONE",
    "Multiface 128k",
    "Multiface +3",
    "MultiPrint",
    "MB-02 ROM/RAM expansion",
    "SoftROM",
    "1k",
    "16k",
    "48k",
    "Memory in 8-16k used",
};
constexpr std::array<std::string_view, 13> kSoundDevices = {
    "Classic AY hardware (compatible with 128k ZXs)",
    "Fuller Box AY sound hardware",
    "Currah microSpeech",
    "SpecDrum",
    "AY ACB stereo (A+C=left, B+C=right); Melodik",
    "AY ABC stereo (A+B=left, B+C=right)",
    "RAM Music Machine",
    "Covox",
    "General Sound",
    "Intec Electronics Digital Interface B8001",
    "Zon-X AY",
    "QuickSilva AY",
    "Jupiter ACE",
};
constexpr std::array<std::string_view, 5> kJoysticks = {
    "Kempston", "Cursor, Protek, AGF", "Sinclair 2 Left (12345)", "Sinclair 1 Right (67890)",
    "Fuller",
};
constexpr std::array<std::string_view, 2> kMice = {
    "AMX mouse",
    "Kempston mouse",
};
constexpr std::array<std::string_view, 4> kControllers = {
    "Trickstick",
    "ZX Light Gun",
    "Zebra Graphics Tablet",
    "Defender Light Gun",
};
constexpr std::array<std::string_view, 2> kSerialPorts = {
    "ZX Interface 1",
    "ZX Spectrum 128k",
};
constexpr std::array<std::string_view, 11> kParallelPorts = {
    "Kempston S",
    "Kempston E",
    "ZX Spectrum +3",
    "Tasman",
    "DK'Tronics",
    "Hilderbay",
    "INES Printerface",
    "ZX LPrint Interface 3",
    "MultiPrint",
    "Opus Discovery",
    "Standard 8255 chip with ports 31,63,95",
};
constexpr std::array<std::string_view, 3> kPrinters = {
    "ZX Printer, Alphacom 32 & compatibles",
    "Generic printer",
    "EPSON compatible",
};
constexpr std::array<std::string_view, 2> kModems = {
    "Prism VTX 5000",
    "T/S 2050 or Westridge 2050",
};
constexpr std::array<std::string_view, 4> kDigitizers = {
    "RD Digital Tracer",
    "DK'Tronics Light Pen",
    "British MicroGraph Pad",
    "Romantic Robot Videoface",
};
constexpr std::array<std::string_view, 1> kNetworkAdapters = {
    "ZX Interface 1",
};
constexpr std::array<std::string_view, 1> kKeypads = {
    "Keypad for ZX Spectrum 128k",
};
constexpr std::array<std::string_view, 2> kConverters = {
    "Harley Systems ADC 8.2",
    "Blackboard Electronics",
};
constexpr std::array<std::string_view, 1> kProgrammers = {
    "Orme Electronics",
};
constexpr std::array<std::string_view, 4> kGraphics = {
    "WRX Hi-Res",
    "G007",
    "Memotech",
    "Lambda Colour",
};
constexpr std::array<HardwareKind, 17> kHardwareKinds = {{
    {"computer", kComputers},
    {"external storage", kStorage},
    {"ROM/RAM add-on", kAddOns},
    {"sound device", kSoundDevices},
    {"joystick", kJoysticks},
    {"mouse", kMice},
    {"other controller", kControllers},
    {"serial port", kSerialPorts},
    {"parallel port", kParallelPorts},
    {"printer", kPrinters},
    {"modem", kModems},
    {"digitizer", kDigitizers},
    {"network adapter", kNetworkAdapters},
    {"keyboard or keypad", kKeypads},
    {"AD/DA converter", kConverters},
    {"EPROM programmer", kProgrammers},
    {"graphics", kGraphics},
}};

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

// 0x32: its 2-byte length, then one line per entry.
void ArchiveInfo(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.size() < 3) return;
    lines.emplace_back("Archive information:");
    for (const tzx::ArchiveEntry& entry : tzx::ReadArchiveEntries(bytes.subspan(2))) {
        const auto known =
            std::find_if(kArchiveKinds.begin(), kArchiveKinds.end(),
                         [&entry](const ArchiveKind& k) { return k.id == entry.id; });
        std::string name = known != kArchiveKinds.end() ? std::string(known->label)
                                                        : "Field " + std::to_string(entry.id);
        name += ':';
        name.resize(std::max(kFieldWidth, name.size() + 1), ' ');
        AddText(lines, "  " + name, AsBytes(entry.text));
    }
}

// "ZX Spectrum 48k, Plus" for a computer; "AMX mouse (mouse)" for other hardware, whose make
// alone may not say what it is ("Kempston"); "ID 7 (mouse)" for an ID the format does not list.
std::string HardwareName(std::uint8_t kind, std::uint8_t id) {
    if (kind >= kHardwareKinds.size())
        return "ID " + std::to_string(id) + " (hardware kind " + std::to_string(kind) + ")";
    const HardwareKind& known = kHardwareKinds[kind];
    if (id >= known.makes.size())
        return "ID " + std::to_string(id) + " (" + std::string(known.kind) + ")";
    if (kind == 0) return std::string(known.makes[id]);
    return std::string(known.makes[id]) + " (" + std::string(known.kind) + ")";
}

// What the tape does with the hardware, by the entry's information byte.
std::string HardwareUse(std::uint8_t kind, std::uint8_t use) {
    const std::string_view with = kind == 0 ? "on this machine" : "with this device";
    switch (use) {
        case 0: return "runs " + std::string(with);
        case 1: return "uses its special features";
        case 2: return "runs but does not use its special features";
        case 3: return "does not run " + std::string(with);
        default: return "information byte " + std::to_string(use);
    }
}

// 0x33: entry count, then per entry the hardware's kind, its ID and what the tape does with it;
// one "machine: what it does" each.
std::vector<std::string> HardwareEntries(Bytes bytes) {
    std::vector<std::string> entries;
    if (bytes.empty()) return entries;
    const unsigned count = bytes[0];
    for (unsigned entry = 0; entry < count; ++entry) {
        const std::size_t p = 1 + 3 * std::size_t(entry);
        if (bytes.size() - p < 3) break;  // no room for another entry
        entries.push_back(HardwareName(bytes[p], bytes[p + 1]) + ": " +
                          HardwareUse(bytes[p], bytes[p + 2]));
    }
    return entries;
}

void HardwareInfo(std::vector<std::string>& lines, Bytes bytes) {
    if (bytes.empty()) return;
    lines.emplace_back("Hardware information:");
    for (const std::string& entry : HardwareEntries(bytes)) lines.push_back("  " + entry);
}

}  // namespace

TzxTexts ReadTzxTexts(const std::vector<TzxTextBlock>& blocks) {
    TzxTexts texts;
    for (const TzxTextBlock& block : blocks) {
        const std::span<const std::uint8_t> bytes(block.bytes);
        if (block.id == tzx::kArchiveInfo) {
            ReadArchiveInfo(bytes, texts.archive);
        } else if (block.id == tzx::kTextDescription && !bytes.empty()) {
            // 0x30: length, text.
            texts.descriptions.push_back(TextLines(Within(bytes, 1, bytes[0])));
        } else if (block.id == tzx::kMessage && bytes.size() >= 2) {
            // 0x31: seconds to show it for, length, text.
            texts.messages.push_back(TextLines(Within(bytes, 2, bytes[1])));
        } else if (block.id == tzx::kHardwareType) {
            for (const std::string& entry : HardwareEntries(bytes))
                texts.hardware.push_back(CodePageToUtf8(entry));
        }
    }
    return texts;
}

std::vector<std::string> TzxTextLines(const std::vector<TzxTextBlock>& blocks) {
    std::vector<std::string> lines;
    for (const TzxTextBlock& block : blocks) {
        const Bytes bytes(block.bytes);
        switch (block.id) {
            case tzx::kTextDescription: TextDescription(lines, bytes); break;
            case tzx::kMessage: Message(lines, bytes); break;
            case tzx::kArchiveInfo: ArchiveInfo(lines, bytes); break;
            case tzx::kHardwareType: HardwareInfo(lines, bytes); break;
            default: break;
        }
    }
    return lines;
}

}  // namespace brisalto
