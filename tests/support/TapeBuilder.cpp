// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeBuilder.h"

namespace brisalto::testing {

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void AppendWord(Bytes& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
}

Bytes WithChecksum(Bytes body) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : body) sum ^= byte;
    body.push_back(sum);
    return body;
}

TapeBuilder& TapeBuilder::Block(const Bytes& body) {
    AppendWord(bytes_, static_cast<std::uint16_t>(body.size()));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return *this;
}

TapeBuilder& TapeBuilder::Header(std::uint8_t type, std::string_view name, std::uint16_t dataLength,
                                 std::uint16_t param1, std::uint16_t param2) {
    Bytes body{0x00, type};
    for (std::size_t i = 0; i < 10; ++i) {
        body.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ');
    }
    for (const std::uint16_t word : {dataLength, param1, param2}) AppendWord(body, word);
    return Block(WithChecksum(std::move(body)));
}

TapeBuilder& TapeBuilder::Data(const Bytes& data) {
    Bytes body{0xFF};
    body.insert(body.end(), data.begin(), data.end());
    return Block(WithChecksum(std::move(body)));
}

TapeBuilder& TapeBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

}  // namespace brisalto::testing
