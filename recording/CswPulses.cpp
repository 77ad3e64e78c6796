// SPDX-License-Identifier: GPL-3.0-or-later
#include "CswPulses.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "PulseDecoder.h"
#include "RecordingErrors.h"
#include "SourceReader.h"

namespace brisalto {

namespace {

// A CSW file (Ramsoft's Compressed Square Wave), little-endian:
//   0   "Compressed Square Wave" and 0x1A (23 bytes)
//   23  major version (1 or 2), 24 minor version
// version 1:
//   25  sample rate (16 bits), 27 compression (1: RLE), 28 flags (bit 0: the signal starts
//       high), 29 three reserved bytes; the pulses from 32
// version 2:
//   25  sample rate (32 bits), 29 the pulses' count (32 bits; not trusted, the data is),
//   33  compression (1: RLE, 2: Z-RLE), 34 flags (as version 1), 35 the header extension's
//       length, 36 the encoding program's name (16 bytes), 52 the extension; then the pulses
// The pulses: each one byte, its length in samples; a byte of 0 is followed by the length in 32
// bits. Z-RLE is those bytes compressed by zlib as one stream.
constexpr std::size_t kSignatureLength = 23;
constexpr std::size_t kVersion1Header = 32;
constexpr std::size_t kVersion2Header = 52;
constexpr std::uint8_t kRle = 1;
constexpr std::uint8_t kZRle = 2;

std::uint32_t Word32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
           std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

// The pulses' bytes as stored, or inflated from a Z-RLE stream, a piece at a time.
class PulseBytes {
public:
    PulseBytes(SourceReader& reader, bool compressed) : reader_(reader), compressed_(compressed) {
        if (!compressed_) return;
        stream_ = std::make_unique<z_stream>();
        if (inflateInit(stream_.get()) != Z_OK) {
            stream_.reset();
            throw RecordingError("Not enough memory to read the recording's compressed pulses");
        }
        out_ = std::make_unique_for_overwrite<std::uint8_t[]>(kOut);
    }
    ~PulseBytes() {
        if (stream_) inflateEnd(stream_.get());
    }
    PulseBytes(const PulseBytes&) = delete;
    PulseBytes& operator=(const PulseBytes&) = delete;

    // The next piece; empty at the end, with note saying why when the end is not the file's.
    std::span<const std::uint8_t> Next(std::string& note) {
        if (!compressed_) {
            reader_.Consume(last_);
            const std::span<const std::uint8_t> piece = reader_.Available();
            last_ = piece.size();
            return piece;
        }
        while (!ended_) {
            const std::span<const std::uint8_t> in = reader_.Available();
            if (in.empty()) {
                note = "The recording's compressed pulses end short of their end";
                ended_ = true;
                break;
            }
            stream_->next_in = const_cast<Bytef*>(in.data());
            stream_->avail_in = static_cast<uInt>(in.size());
            stream_->next_out = out_.get();
            stream_->avail_out = static_cast<uInt>(kOut);
            const int result = inflate(stream_.get(), Z_NO_FLUSH);
            reader_.Consume(in.size() - stream_->avail_in);
            const std::size_t made = kOut - stream_->avail_out;
            if (result == Z_STREAM_END) {
                ended_ = true;
            } else if (result != Z_OK && result != Z_BUF_ERROR) {
                note = std::string("The recording's compressed pulses are damaged (") +
                       (stream_->msg != nullptr ? stream_->msg : "zlib error") + ")";
                ended_ = true;
            }
            if (made > 0) return {out_.get(), made};
        }
        return {};
    }

private:
    static constexpr std::size_t kOut = 64 * 1024;
    SourceReader& reader_;
    bool compressed_;
    std::size_t last_ = 0;  // of the stored bytes handed out, taken at the next call
    std::unique_ptr<z_stream> stream_;
    std::unique_ptr<std::uint8_t[]> out_;
    bool ended_ = false;
};

}  // namespace

std::string CswPulses(ByteSource& source, const PulseOutput& output,
                      const RecordingProgress& progress) {
    SourceReader reader(source, progress);
    std::array<std::uint8_t, kVersion2Header> header{};
    const std::size_t got = reader.Read(header.data(), kVersion1Header);
    const auto cutShort = [] { return RecordingError("The CSW recording ends inside its header"); };
    if (got < kSignatureLength + 2) throw cutShort();
    const std::uint8_t major = header[23];
    std::uint32_t rate = 0;
    std::uint8_t compression = 0;
    std::uint8_t flags = 0;
    if (major == 1) {
        if (got < kVersion1Header) throw cutShort();
        rate = std::uint32_t(header[25] | header[26] << 8);
        compression = header[27];
        flags = header[28];
    } else if (major == 2) {
        if (got < kVersion1Header ||
            reader.Read(header.data() + kVersion1Header, kVersion2Header - kVersion1Header) !=
                kVersion2Header - kVersion1Header)
            throw cutShort();
        rate = Word32(header, 25);
        compression = header[33];
        flags = header[34];
        if (reader.Skip(header[35]) != header[35]) throw cutShort();
    } else {
        throw RecordingError("The CSW recording is of version " + std::to_string(major) +
                             ", and Brisalto reads versions 1 and 2");
    }
    if (rate == 0) throw RecordingError("The CSW recording gives a sample rate of 0");
    if (compression != kRle && !(major == 2 && compression == kZRle)) {
        throw RecordingError("The CSW recording is compressed in a way Brisalto cannot read (" +
                             std::to_string(compression) + ")");
    }

    const double tstatesPerSample = kTStatesPerSecond / rate;
    const std::function<void()> poll = [&reader] { reader.Poll(); };
    PulseStream pulses(output, poll);
    PulseBytes bytes(reader, compression == kZRle);
    bool high = (flags & 1) != 0;
    std::string note;
    // A long pulse's length: the bytes of the 32 bits still to come, across pieces.
    int lengthBytes = -1;
    std::uint32_t length = 0;
    for (std::span<const std::uint8_t> piece = bytes.Next(note); !piece.empty();
         piece = bytes.Next(note)) {
        for (const std::uint8_t byte : piece) {
            std::uint32_t samples = byte;
            if (lengthBytes >= 0) {
                length |= std::uint32_t(byte) << (8 * lengthBytes);
                if (++lengthBytes < 4) continue;
                lengthBytes = -1;
                samples = length;
            } else if (byte == 0) {
                lengthBytes = 0;
                length = 0;
                continue;
            }
            if (!pulses.Add(high, samples * tstatesPerSample)) {
                pulses.Finish();
                return pulses.StopNote();
            }
            high = !high;
        }
    }
    pulses.Finish();
    if (note.empty() && lengthBytes >= 0)
        note = "The recording's pulses end inside a pulse's length";
    return note;
}

}  // namespace brisalto
