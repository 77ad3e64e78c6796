// SPDX-License-Identifier: GPL-3.0-or-later
// The same headers through tzxlist: where it prints the same facts (kind, name, LINE, CODE
// address and length, array letter, lengths), it must say what the header wording says.
// tzxlist spells kinds and letters in capitals and pads numbers with spaces; both are
// normalised away, and its "Number Array" read as our "Numeric Array". A missing tzxlist fails
// this test: the test command installs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "HeaderWording.h"
#include "RunCommand.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::Bytes;

Bytes HeaderBody(const HeaderFacts& header) {
    Bytes body = {0x00, header.type};
    std::string name(header.name);
    name.resize(10, ' ');
    body.insert(body.end(), name.begin(), name.end());
    for (const std::uint16_t word : {header.dataLength, header.param1, header.param2}) {
        body.push_back(std::uint8_t(word & 0xFF));
        body.push_back(std::uint8_t(word >> 8));
    }
    return testing::WithChecksum(std::move(body));
}

// Lower case, no space after a comma or after a space, no trailing space.
std::string Normalised(std::string text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' && !out.empty() && (out.back() == ',' || out.back() == ' ')) continue;
        out += char(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

TEST(HeaderWordingPeer, AgreesWithTzxlist) {
    const std::vector<HeaderFacts> headers = {
        {0, "hello", 120, 10, 80},   {0, "noauto", 100, 32768, 80},
        {0, "zero", 24, 0, 24},      {3, "code", 1024, 32768, 32768},
        {3, "scr", 6912, 16384, 0},  {3, "notscr", 6912, 16000, 0},
        {1, "nums", 50, 0x8100, 0},  {1, "zed", 50, 0x9A00, 0},
        {2, "chars", 20, 0xC200, 0},
    };
    testing::TapeBuilder builder;
    for (const HeaderFacts& header : headers) builder.Block(HeaderBody(header));
    const testing::TempTape tape(builder.Get());
    std::istringstream listing(testing::RunCommand("tzxlist " + tape.Path()));

    // tzxlist's description line of each header, and its "Length:" line after a program.
    std::vector<std::string> described;
    std::vector<std::string> lengths;
    for (std::string line; std::getline(listing, line);) {
        for (const char* kind :
             {"  Program: ", "  Bytes: ", "  Number Array: ", "  Character Array: "}) {
            if (line.rfind(kind, 0) != 0) continue;
            std::string description = line.substr(2);
            if (description.starts_with("Number Array")) description.replace(0, 6, "Numeric");
            described.push_back(Normalised(description));
        }
        if (line.rfind("  Length: ", 0) == 0) lengths.push_back(line.substr(2));
    }
    ASSERT_EQ(described.size(), headers.size());

    std::size_t program = 0;
    for (std::size_t i = 0; i < headers.size(); ++i) {
        HeaderFacts header = headers[i];
        const std::string name =
            std::string(header.name) + std::string(10 - header.name.size(), ' ');
        header.name = name;
        const std::vector<std::string> ours = HeaderWording(header);
        const std::string first = Normalised(ours.front());
        if (first.ends_with("screen$")) {
            // tzxlist adds the address and length that SCREEN$ stands for.
            EXPECT_EQ(described[i].substr(0, first.size()), first);
            EXPECT_EQ(described[i].substr(first.size()), " 16384,6912");
        } else {
            EXPECT_EQ(described[i], first);
        }
        if (header.type == 0) {
            // "Length: 120, includes variable length: 40" against our program and variables.
            ASSERT_LT(program, lengths.size());
            unsigned total = 0;
            unsigned variables = 0;
            ASSERT_EQ(std::sscanf(lengths[program++].c_str(),
                                  "Length: %u, includes variable length: %u", &total, &variables),
                      2);
            EXPECT_EQ(ours.at(1), "Program length " + std::to_string(total - variables) +
                                      ", variables length " + std::to_string(variables));
        }
    }
}

}  // namespace
}  // namespace brisalto
