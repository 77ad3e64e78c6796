// SPDX-License-Identifier: GPL-3.0-or-later
// Recordings made by the field's own tools read back: tape2wav's WAV turned by sox into every
// kind of sample, rate, channel count and file that libsndfile reads, and tapeconv's CSW. Each
// gives the samples sox counts (the pulses zlib unpacks), and the tape it was made from.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ConvertTape.h"
#include "CswPulses.h"
#include "DecodeRecording.h"
#include "OsFile.h"
#include "RunCommand.h"
#include "SoundFileSamples.h"
#include "TapeDocument.h"
#include "TempTape.h"

namespace brisalto {
namespace {

namespace bt = testing;

const std::string kTape = BRISALTO_TEST_DATA "/hello-hi.tap";

// The tape a recording holds, as a TAP file.
std::vector<std::uint8_t> TapOf(const std::string& recording) {
    const DecodedRecording decoded = DecodeRecordingFile(recording);
    EXPECT_EQ(decoded.cut, "") << recording;
    const TapeDocument document = TapeDocumentFromBytes(
        recording, std::make_shared<const std::vector<std::uint8_t>>(decoded.tzx));
    return ConvertTape(document, TapeFormat::Tap).bytes;
}

struct SoxRow {
    const char* name;
    const char* options;  // sox's for the output
    const char* suffix;
    int rate;
    int channels;
};

TEST(RecordingPeers, ReadsEverySampleKindRateAndFileSoxMakes) {
    const bt::TempTape folder({}, "tape2wav.wav");
    bt::RunCommand("tape2wav '" + kTape + "' '" + folder.Path() + "'");
    const std::vector<SoxRow> rows = {
        {"tape2wav's own", nullptr, ".wav", 44'100, 1},
        {"8-bit", "-b 8", ".wav", 44'100, 1},
        {"16-bit", "-b 16", ".wav", 44'100, 1},
        {"24-bit", "-b 24", ".wav", 44'100, 1},
        {"32-bit", "-b 32 -e signed-integer", ".wav", 44'100, 1},
        {"float", "-b 32 -e floating-point", ".wav", 44'100, 1},
        {"double", "-b 64 -e floating-point", ".wav", 44'100, 1},
        {"stereo", "-b 16 -c 2", ".wav", 44'100, 2},
        {"11,025 Hz", "-b 16 -r 11025", ".wav", 11'025, 1},
        {"22,050 Hz", "-b 16 -r 22050", ".wav", 22'050, 1},
        {"48,000 Hz", "-b 16 -r 48000", ".wav", 48'000, 1},
        {"96,000 Hz 24-bit stereo", "-b 24 -r 96000 -c 2", ".wav", 96'000, 2},
        {"192,000 Hz", "-b 16 -r 192000", ".wav", 192'000, 1},
        {"AIFF", "-b 16", ".aiff", 44'100, 1},
        {"FLAC 16-bit", "-b 16", ".flac", 44'100, 1},
        {"FLAC 24-bit stereo 96,000 Hz", "-b 24 -c 2 -r 96000", ".flac", 96'000, 2},
        {"Ogg Vorbis", "-C 6", ".ogg", 44'100, 1},
    };
    const std::vector<std::uint8_t> tape = bt::ReadWholeFile(kTape);
    for (const SoxRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::string file = folder.Path();
        if (row.options != nullptr) {
            file = folder.Folder() + "/" + row.name + row.suffix;
            // Lowered a little, so that no resampling clips.
            bt::RunCommand("sox -V1 '" + folder.Path() + "' " + row.options + " '" + file +
                           "' gain -1");
        }
        SoundFileSamples samples(file);
        EXPECT_EQ(samples.SampleRate(), row.rate);
        EXPECT_EQ(samples.Channels(), row.channels);
        std::uint64_t count = 0;
        for (auto chunk = samples.Next(); !chunk.empty(); chunk = samples.Next())
            count += chunk.size();
        EXPECT_EQ(std::to_string(count) + "\n", bt::RunCommand("soxi -s '" + file + "'"));
        EXPECT_EQ(TapOf(file), tape);
    }
}

// The pulses of a Z-RLE CSW version 2 file as zlib alone unpacks them: a byte each, or a 0 and
// 32 bits.
std::uint64_t RleEntries(const std::vector<std::uint8_t>& csw) {
    const std::size_t start = 0x34 + csw[0x23];
    std::vector<std::uint8_t> rle(16 << 20);
    uLongf size = static_cast<uLongf>(rle.size());
    EXPECT_EQ(
        uncompress(rle.data(), &size, csw.data() + start, static_cast<uLong>(csw.size() - start)),
        Z_OK);
    std::uint64_t entries = 0;
    for (std::size_t at = 0; at < size; at += rle[at] == 0 ? 5 : 1) ++entries;
    return entries;
}

TEST(RecordingPeers, ReadsTapeconvsCswWithThePulsesItCounts) {
    const bt::TempTape csw({}, "tapeconv.csw");
    bt::RunCommand("tapeconv '" + kTape + "' '" + csw.Path() + "'");
    const std::vector<std::uint8_t> bytes = bt::ReadWholeFile(csw.Path());
    ASSERT_GT(bytes.size(), 0x21u);
    ASSERT_EQ(bytes[0x17], 2) << "version 2";
    // Version 2 states its pulses' count at 0x1D.
    const std::uint64_t stated = std::uint64_t(bytes[0x1D]) | std::uint64_t(bytes[0x1E]) << 8 |
                                 std::uint64_t(bytes[0x1F]) << 16 |
                                 std::uint64_t(bytes[0x20]) << 24;
    std::uint64_t count = 0;
    OsFile file(csw.Path());
    EXPECT_EQ(CswPulses(file, [&count](double) { ++count; }, {}), "");
    EXPECT_EQ(count, RleEntries(bytes));
    // tapeconv's own count is a dozen pulses over its data's (15,106 for 15,094 here).
    EXPECT_NEAR(double(count), double(stated), double(stated) / 1000);
    EXPECT_EQ(TapOf(csw.Path()), bt::ReadWholeFile(kTape));
}

}  // namespace
}  // namespace brisalto
