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
#include <regex>
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

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Numbers to decimal, relative jumps to their targets, spaces after commas gone.
std::string CommonSpelling(std::string text, std::uint16_t address) {
    text = Lower(text);
    const std::regex relative(R"(\$([+-]\d+))");
    std::smatch match;
    while (std::regex_search(text, match, relative)) {
        const long target = address + std::stol(match[1].str());
        text.replace(std::size_t(match.position(0)), std::size_t(match.length(0)),
                     std::to_string(target & 0xFFFF));
    }
    const std::regex hex(R"(#([0-9a-f]+)|\b([0-9][0-9a-f]*)h\b)");
    std::string result;
    auto at = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), hex), end; it != end; ++it) {
        result.append(at, text.cbegin() + it->position(0));
        const std::string digits = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
        result += std::to_string(std::stoul(digits, nullptr, 16));
        at = text.cbegin() + it->position(0) + it->length(0);
    }
    result.append(at, text.cend());
    result = std::regex_replace(result, std::regex(R"(,\s+)"), ",");
    result = std::regex_replace(result, std::regex(R"(\s+)"), " ");
    result = std::regex_replace(result, std::regex(R"(^jp (hl|ix|iy)$)"), "jp ($1)");
    result = std::regex_replace(result, std::regex(R"(^sli )"), "sll ");
    // z80dasm: "rlc (ix+5) & ld b,(ix+5)" is ours "ld b,rlc (ix+5)"; BIT loads no register.
    const std::regex alsoLoads(R"(^(.*) & ld (\w),\(i[xy][+-]\d+\)$)");
    if (std::regex_search(result, match, alsoLoads)) {
        result = match[1].str().starts_with("bit ") ? match[1].str()
                                                    : "ld " + match[2].str() + "," + match[1].str();
    }
    while (!result.empty() && result.back() == ' ') result.pop_back();
    return result;
}

// z80dasm's instructions by address; an address where it names none is absent.
std::map<std::uint16_t, Named> PeerListing(const std::string& listing) {
    std::map<std::uint16_t, Named> named;
    const std::regex line(R"(^\t(.*?)\t+;([0-9a-f]{4})\t((?:[0-9a-f]{2} )+))");
    std::istringstream lines(listing);
    std::smatch match;
    for (std::string text; std::getline(lines, text);) {
        if (!std::regex_search(text, match, line)) continue;
        const auto address = std::uint16_t(std::stoul(match[2].str(), nullptr, 16));
        std::string instruction = match[1].str();
        if (instruction.starts_with("defb")) {
            const auto comment = instruction.find(';');
            if (comment == std::string::npos) continue;
            instruction = instruction.substr(comment + 1);
            if (instruction.find("illegal") != std::string::npos) continue;
        }
        named[address] = {CommonSpelling(instruction, address), std::size_t(match[3].length()) / 3};
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
