#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisalto::testing {

using Bytes = std::vector<std::uint8_t>;

// Builds TAP bytes block by block. Checksums are zero: nothing here examines them.
class TapeBuilder {
public:
    // A block of any body, with its 16-bit length in front.
    TapeBuilder& Block(const Bytes& body);
    // A 19-byte header; name is padded with spaces (or cut) to ten bytes.
    TapeBuilder& Header(std::uint8_t type, std::string_view name, std::uint16_t dataLength,
                        std::uint16_t param1, std::uint16_t param2 = 0);
    TapeBuilder& ProgramHeader(std::string_view name, std::uint16_t dataLength,
                               std::uint16_t autostart, std::uint16_t programLength) {
        return Header(0, name, dataLength, autostart, programLength);
    }
    // A data block: flag 0xFF, the data, a checksum byte.
    TapeBuilder& Data(const Bytes& data);
    // Bytes with no block structure (a stray byte, a cut-off block).
    TapeBuilder& Raw(const Bytes& bytes);

    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// A file in a fresh temporary folder, removed with the folder at the end of the scope.
class TempTape {
public:
    explicit TempTape(const Bytes& contents, std::string_view fileName = "tape.tap");
    ~TempTape();
    TempTape(const TempTape&) = delete;
    TempTape& operator=(const TempTape&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Folder() const { return folder_; }
    void Rewrite(const Bytes& contents) const;

private:
    std::string folder_;
    std::string path_;
};

// Whole contents of a file.
Bytes ReadWholeFile(const std::string& path);

// Runs a shell command and returns what it printed on standard output; fails the test (and
// returns nothing) when the command exits with an error.
std::string RunCommand(const std::string& command);

}  // namespace brisalto::testing
