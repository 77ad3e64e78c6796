// SPDX-License-Identifier: GPL-3.0-or-later
// Our disassembly against z80dasm's on every opcode and on a real ROM: the same instructions
// and lengths after both spellings are brought to one (numbers in decimal, z80dasm's "sli" and
// "jp (hl)" forms, its "op & ld r,(ix+d)" for the DD CB forms that also load a register).
// z80dasm names no instruction for some undocumented sequences; those are left out, counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "DisassembleZ80.h"
#include "RunCommand.h"

namespace brisalto {
namespace {

constexpr std::uint16_t kOrigin = 0x8000;

struct Named {
    std::string instruction;  // brought to the common spelling
    std::size_t length = 0;
};

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Numbers to decimal (ours "#1F", z80dasm's "01fh"), z80dasm's relative "$+n" to its target.
std::string DecimalNumbers(const std::string& text, std::uint16_t address) {
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '$' && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
            std::size_t end = i + 2;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            const long offset = std::stol(text.substr(i + 1, end - i - 1));
            result += std::to_string((address + offset) & 0xFFFF);
            i = end;
        } else if (c == '#' && i + 1 < text.size() && IsHex(text[i + 1])) {
            std::size_t end = i + 1;
            while (end < text.size() && IsHex(text[end])) ++end;
            result += std::to_string(std::stoul(text.substr(i + 1, end - i - 1), nullptr, 16));
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(c)) &&
                   (i == 0 || !IsWordCharacter(text[i - 1]))) {
            std::size_t end = i;
            while (end < text.size() && IsHex(text[end])) ++end;
            const bool hex = end < text.size() && text[end] == 'h' &&
                             (end + 1 == text.size() || !IsWordCharacter(text[end + 1]));
            result += hex ? std::to_string(std::stoul(text.substr(i, end - i), nullptr, 16))
                          : text.substr(i, end - i);
            i = hex ? end + 1 : end;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

// Lower case, numbers in decimal, relative jumps as their targets, one space between words and
// none after commas, and z80dasm's own names put as ours.
std::string CommonSpelling(std::string text, std::uint16_t address) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    text = DecimalNumbers(text, address);
    std::string result;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\t';
        if (space && (result.empty() || result.back() == ' ' || result.back() == ',')) continue;
        result += space ? ' ' : c;
    }
    while (!result.empty() && result.back() == ' ') result.pop_back();
    for (const char* index : {"hl", "ix", "iy"}) {
        if (result == std::string("jp ") + index) result = std::string("jp (") + index + ")";
    }
    if (result.starts_with("sli ")) result.replace(0, 3, "sll");
    // z80dasm: "rlc (ix+5) & ld b,(ix+5)" is ours "ld b,rlc (ix+5)"; BIT loads no register.
    if (const auto also = result.find(" & ld "); also != std::string::npos) {
        const std::string operation = result.substr(0, also);
        const char target = result[also + 6];
        result = operation.starts_with("bit ") ? operation
                                               : std::string("ld ") + target + "," + operation;
    }
    return result;
}

// z80dasm's instructions by address; an address where it names none is absent. Its lines are
// "\tld a,005h\t\t;8000\t3e 05 \t..." and, for what it does not take as code,
// "\tdefb 0cbh,030h\t;sli b\t\t;801a\tcb 30 \t...".
std::map<std::uint16_t, Named> PeerListing(const std::string& listing) {
    std::map<std::uint16_t, Named> named;
    std::istringstream lines(listing);
    for (std::string text; std::getline(lines, text);) {
        if (!text.starts_with('\t')) continue;
        std::size_t field = std::string::npos;
        for (std::size_t at = text.find(';'); at != std::string::npos;
             at = text.find(';', at + 1)) {
            if (at + 5 < text.size() && IsHex(text[at + 1]) && IsHex(text[at + 2]) &&
                IsHex(text[at + 3]) && IsHex(text[at + 4]) && text[at + 5] == '\t') {
                field = at;
                break;
            }
        }
        if (field == std::string::npos) continue;
        const auto address = std::uint16_t(std::stoul(text.substr(field + 1, 4), nullptr, 16));
        std::size_t length = 0;
        for (std::size_t at = field + 6;
             at + 2 < text.size() && IsHex(text[at]) && IsHex(text[at + 1]) && text[at + 2] == ' ';
             at += 3) {
            ++length;
        }
        std::string instruction = text.substr(1, field - 1);
        if (instruction.starts_with("defb")) {
            const auto comment = instruction.find(';');
            if (comment == std::string::npos) continue;
            instruction = instruction.substr(comment + 1);
            if (instruction.find("illegal") != std::string::npos) continue;
        }
        named[address] = {CommonSpelling(instruction, address), length};
    }
    return named;
}

std::string PeerRun(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& file) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return testing::RunCommand("z80dasm -a -t -g " + std::to_string(kOrigin) + " " + file.string() +
                               " 2>/dev/null");
}

class DisassembleZ80Peer : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("brisalto-z80-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

// Every opcode of every prefix: unprefixed, CB, ED, DD, FD, DD CB d and FD CB d, with a
// negative displacement for the indexed forms and operand bytes that are no prefix. Each
// prefix's 256 sequences go to z80dasm at once, eight bytes apart with NOPs between, so that it
// stands at each sequence's start again.
TEST_F(DisassembleZ80Peer, EveryOpcodeNamesTheSameInstruction) {
    constexpr std::size_t kStride = 8;
    const std::vector<std::vector<std::uint8_t>> prefixes = {
        {}, {0xCB}, {0xED}, {0xDD}, {0xFD}, {0xDD, 0xCB, 0xFB}, {0xFD, 0xCB, 0x05}};
    std::size_t compared = 0;
    std::size_t unnamed = 0;
    for (const auto& prefix : prefixes) {
        std::vector<std::uint8_t> all(256 * kStride, 0x00);
        for (unsigned opcode = 0; opcode < 256; ++opcode) {
            std::vector<std::uint8_t> sequence = prefix;
            sequence.push_back(std::uint8_t(opcode));
            sequence.insert(sequence.end(), {0x12, 0x34});
            std::copy(sequence.begin(), sequence.end(), all.begin() + opcode * kStride);
        }
        const auto peer = PeerListing(PeerRun(all, folder_ / "opcodes.bin"));
        for (unsigned opcode = 0; opcode < 256; ++opcode) {
            const std::size_t offset = opcode * kStride;
            const auto address = std::uint16_t(kOrigin + offset);
            const auto ours =
                DisassembleZ80(std::span(all).subspan(offset, prefix.size() + 3), address);
            ASSERT_FALSE(ours.empty());
            const auto found = peer.find(address);
            if (found == peer.end()) {
                ++unnamed;
                continue;
            }
            ++compared;
            EXPECT_EQ(CommonSpelling(ours.front().instruction, address), found->second.instruction)
                << Z80LineText(ours.front());
            EXPECT_EQ(ours.front().byteCount, found->second.length) << Z80LineText(ours.front());
        }
    }
    // z80dasm names no instruction for the ED codes with none, nor for DD/FD before an opcode
    // that uses no index register; everything else is compared.
    EXPECT_GT(compared, 1200u);
    std::cout << compared << " opcodes compared, " << unnamed << " that z80dasm names not\n";
}

// A whole 16 KiB ROM, instruction by instruction where both stand at the same address.
TEST_F(DisassembleZ80Peer, RealRomNamesTheSameInstructions) {
    const std::filesystem::path rom = "/usr/share/spectrum-roms/opense.rom";
    std::ifstream in(rom, std::ios::binary);
    ASSERT_TRUE(in) << rom << " (Debian package opense-basic)";
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 16384u);
    const auto peer = PeerListing(PeerRun(bytes, folder_ / "rom.bin"));
    const auto ours = DisassembleZ80(bytes, kOrigin);
    std::size_t compared = 0;
    for (const Z80Line& line : ours) {
        const auto found = peer.find(line.address);
        if (found == peer.end()) continue;
        ++compared;
        EXPECT_EQ(CommonSpelling(line.instruction, line.address), found->second.instruction)
            << Z80LineText(line);
        EXPECT_EQ(line.byteCount, found->second.length) << Z80LineText(line);
    }
    EXPECT_GT(compared, ours.size() * 9 / 10);
    std::cout << compared << " of " << ours.size() << " instructions compared\n";
}

}  // namespace
}  // namespace brisalto
