// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxBuilder.h"

#include <initializer_list>
#include <stdexcept>
#include <string_view>

#include "TapeBlock.h"

namespace brisalto::testing {

namespace {

// Appends value as count little-endian bytes.
void Put(Bytes& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// The ID, a length of count bytes that counts what follows it, then contents.
Bytes Counted(std::uint8_t id, int count, const Bytes& contents) {
    Bytes block{id};
    Put(block, contents.size(), count);
    block.insert(block.end(), contents.begin(), contents.end());
    return block;
}

// Pulse lengths of the standard ROM timing, in T-states.
constexpr std::uint16_t kPilot = 2168, kSync1 = 667, kSync2 = 735, kZero = 855, kOne = 1710;

}  // namespace

Bytes TzxSignature(std::uint8_t major, std::uint8_t minor) {
    Bytes bytes(kTzxSignature.begin(), kTzxSignature.end());
    bytes.insert(bytes.end(), {major, minor});
    return bytes;
}

Bytes TzxBodyBlock(const Bytes& body, std::uint8_t id) {
    Bytes block{id};
    switch (id) {
        case 0x10:
            if (body.size() > 0xFFFF) throw std::invalid_argument("body too long for ID 0x10");
            Put(block, 1000, 2);  // pause after the block, ms
            Put(block, body.size(), 2);
            break;
        case 0x11:
            for (const std::uint16_t pulse : {kPilot, kSync1, kSync2, kZero, kOne})
                Put(block, pulse, 2);
            Put(block, !body.empty() && body[0] == 0x00 ? 8063 : 3223, 2);  // pilot pulses
            block.push_back(8);  // bits used in last byte
            Put(block, 1000, 2);
            Put(block, body.size(), 3);
            break;
        case 0x14:
            Put(block, kZero, 2);
            Put(block, kOne, 2);
            block.push_back(8);
            Put(block, 1000, 2);
            Put(block, body.size(), 3);
            break;
        default: throw std::invalid_argument("not a block with a body");
    }
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

Bytes TzxOtherBlock(std::uint8_t id) {
    Bytes block{id};
    switch (id) {
        case 0x12:  // pure tone: pulse length, pulse count
            Put(block, kPilot, 2);
            Put(block, 3, 2);
            return block;
        case 0x13:  // pulse sequence: count, then the lengths
            block.push_back(2);
            Put(block, kSync1, 2);
            Put(block, kSync2, 2);
            return block;
        case 0x15:  // direct recording: T-states per sample, pause, bits used, 3-byte length
            Put(block, 79, 2);
            Put(block, 0, 2);
            block.push_back(8);
            Put(block, 3, 3);
            block.insert(block.end(), {0xF0, 0x0F, 0xAA});
            return block;
        case 0x16: {  // C64 ROM data: 36 bytes of fields, the last three its data length, then data
            Bytes contents(36, 0);
            contents[33] = 2;
            contents.insert(contents.end(), {0x12, 0x34});
            return Counted(id, 4, contents);
        }
        case 0x17: {  // C64 turbo data: 18 bytes of fields, the last three its data length
            Bytes contents(18, 0);
            contents[15] = 2;
            contents.insert(contents.end(), {0x56, 0x78});
            return Counted(id, 4, contents);
        }
        case 0x18: {  // CSW recording: pause, 3-byte rate, compression, pulse count, data
            Bytes contents;
            Put(contents, 0, 2);
            Put(contents, 44100, 3);
            contents.push_back(1);
            Put(contents, 3, 4);
            contents.insert(contents.end(), {0x10, 0x20, 0x30});
            return Counted(id, 4, contents);
        }
        case 0x19: {  // generalized data: pause, TOTP, NPP, ASP, TOTD, NPD, ASD, then the tables
            Bytes contents;
            Put(contents, 1000, 2);
            Put(contents, 0, 4);  // no pilot or sync symbols
            contents.insert(contents.end(), {0, 0});
            Put(contents, 8, 4);                      // eight data symbols
            contents.insert(contents.end(), {2, 2});  // two pulses each, two symbols
            contents.insert(contents.end(), {0, 0x57, 0x03, 0x57, 0x03});  // symbol 0: 855, 855
            contents.insert(contents.end(), {0, 0xAE, 0x06, 0xAE, 0x06});  // symbol 1: 1710, 1710
            contents.push_back(0xA5);                                      // the eight bits
            return Counted(id, 4, contents);
        }
        case 0x20: Put(block, 1000, 2); return block;  // pause, ms
        case 0x21: return Counted(id, 1, {'g', 'r', 'o', 'u', 'p'});
        case 0x22:
        case 0x25:
        case 0x27: return block;                    // group end, loop end, return: no body
        case 0x23: Put(block, 2, 2); return block;  // jump: relative block
        case 0x24: Put(block, 3, 2); return block;  // loop start: repetitions
        case 0x26:                                  // call sequence: count, relative blocks
            Put(block, 2, 2);
            Put(block, 1, 2);
            Put(block, 0xFFFF, 2);
            return block;
        case 0x28: {  // select: length of the rest, count, then offset, text length and text
            Bytes contents{1};
            Put(contents, 1, 2);
            contents.push_back(4);
            PutText(contents, "game");
            return Counted(id, 2, contents);
        }
        case 0x2A: return Counted(id, 4, {});   // stop in 48K mode: a length of 0
        case 0x2B: return Counted(id, 4, {1});  // signal level: a length of 1, the level
        case 0x30: return Counted(id, 1, {'t', 'e', 'x', 't'});
        case 0x31:  // message: seconds, length, text
            block.push_back(5);
            block.push_back(3);
            PutText(block, "msg");
            return block;
        case 0x32: {  // archive info: length of the rest, string count, (kind, length, text)...
            Bytes contents{2, 0x00, 5};
            PutText(contents, "Title");
            contents.insert(contents.end(), {0x02, 6});
            PutText(contents, "Author");
            return Counted(id, 2, contents);
        }
        case 0x33:  // hardware type: count, (type, ID, information) entries
            block.insert(block.end(), {1, 0x00, 0x01, 0x00});
            return block;
        case 0x34:  // emulation info: flags, refresh delay, interrupt frequency, 3 reserved
            block.insert(block.end(), {0x00, 0x00, 1, 50, 0, 0, 0, 0});
            return block;
        case 0x35:  // custom info: 16-character identification, 4-byte length, data
            PutText(block, "POKEs           ");
            Put(block, 3, 4);
            block.insert(block.end(), {1, 2, 3});
            return block;
        case 0x40:  // snapshot: type, 3-byte length, snapshot
            block.push_back(0);
            Put(block, 4, 3);
            block.insert(block.end(), {9, 8, 7, 6});
            return block;
        case 0x5A:  // glue: the rest of another file's signature and its version
            block.insert(block.end(), kTzxSignature.begin() + 1, kTzxSignature.end());
            block.insert(block.end(), {1, 20});
            return block;
        default:  // an undefined ID: a 4-byte length of what follows
            if (id == 0x10 || id == 0x11 || id == 0x14) throw std::invalid_argument("body block");
            return Counted(id, 4, {0xDE, 0xAD, 0xBE});
    }
}

TzxBuilder& TzxBuilder::FromTap(const Bytes& tap, std::uint8_t id) {
    for (std::size_t at = 0; at + 2 <= tap.size();) {
        const std::size_t length = tap[at] | tap[at + 1] << 8;
        const auto body = tap.begin() + static_cast<std::ptrdiff_t>(at + 2);
        if (at + 2 + length > tap.size()) throw std::invalid_argument("TAP block cut short");
        Body(Bytes(body, body + static_cast<std::ptrdiff_t>(length)), id);
        at += 2 + length;
    }
    return *this;
}

}  // namespace brisalto::testing
