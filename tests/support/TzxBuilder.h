// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "TapeBuilder.h"

// TZX tape bytes for tests, block by block, each block with the layout the TZX format gives it.
// Plain C++: no test framework.
namespace brisalto::testing {

// The IDs whose blocks carry a TAP block body (flag, data, checksum).
inline constexpr std::array<std::uint8_t, 3> kTzxBodyIds = {0x10, 0x11, 0x14};

// Every other ID the format defines, the deprecated ones included, and one it does not (0x60).
inline constexpr std::array<std::uint8_t, 27> kTzxOtherIds = {
    0x12, 0x13, 0x15, 0x16, 0x17, 0x18, 0x19, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
    0x27, 0x28, 0x2A, 0x2B, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x40, 0x5A, 0x60};

// The TZX signature and the two version bytes.
Bytes TzxSignature(std::uint8_t major = 1, std::uint8_t minor = 20);

// A whole block, ID first, that carries body: 0x10 standard speed, 0x11 turbo, 0x14 pure data.
// The 3-byte lengths of 0x11 and 0x14 take bodies of up to 16 MiB.
Bytes TzxBodyBlock(const Bytes& body, std::uint8_t id = 0x10);

// A whole block of any other ID, with small contents that its length fields count exactly.
Bytes TzxOtherBlock(std::uint8_t id);

class TzxBuilder {
public:
    explicit TzxBuilder(std::uint8_t major = 1, std::uint8_t minor = 20)
        : bytes_(TzxSignature(major, minor)) {}

    TzxBuilder& Body(const Bytes& body, std::uint8_t id = 0x10) {
        return Raw(TzxBodyBlock(body, id));
    }
    TzxBuilder& Other(std::uint8_t id) { return Raw(TzxOtherBlock(id)); }
    // Every block of a TAP file, each as a block of the given ID.
    TzxBuilder& FromTap(const Bytes& tap, std::uint8_t id = 0x10);
    // Bytes with no block structure (a cut-off block, another file's signature).
    TzxBuilder& Raw(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

}  // namespace brisalto::testing
