// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeRecording.h"

#include <array>
#include <string_view>

#include "CswPulses.h"
#include "DecodePzx.h"
#include "IsRecording.h"
#include "OsFile.h"
#include "RecordingDecoder.h"
#include "SoundFileSamples.h"
#include "SpanSource.h"

namespace brisalto {

namespace {

enum class Kind { Csw, Pzx, Sound };

Kind KindOf(ByteSource& source) {
    std::array<std::uint8_t, kRecordingStartBytes> start{};
    source.SeekTo(0);
    const std::size_t got = source.Read(start.data(), start.size());
    source.SeekTo(0);
    const std::string_view text(reinterpret_cast<const char*>(start.data()), got);
    if (text.starts_with(kCswSignature)) return Kind::Csw;
    if (text.starts_with(kPzxSignature)) return Kind::Pzx;
    return Kind::Sound;
}

// The rate a decoder of pulses alone is made with: it is given no samples.
constexpr double kNoSamples = 44'100;

}  // namespace

DecodedRecording DecodeRecording(ByteSource& source, const PulseDecoder::BlockObserver& observer,
                                 const RecordingProgress& progress) {
    DecodedRecording decoded;
    const Kind kind = KindOf(source);
    // A PZX file holds its data blocks as bits: they are read as they are, not from sound.
    if (kind == Kind::Pzx) return DecodePzx(source, observer, progress);
    if (kind == Kind::Csw) {
        RecordingDecoder decoder(kNoSamples, observer);
        const PulseOutput output = [&decoder](double tstates) { decoder.AddPulse(tstates); };
        decoded.cut = CswPulses(source, output, progress);
        decoded.tzx = decoder.Finish();
        ReportProgress(progress, 1.0);
        return decoded;
    }
    SoundFileSamples samples(source);
    RecordingDecoder decoder(samples.SampleRate(), observer);
    const auto most = static_cast<std::int64_t>(samples.SampleRate() * kMaxRecordingSeconds);
    std::int64_t done = 0;
    for (;;) {
        ReportProgress(progress, samples.Fraction());
        std::span<const float> chunk = samples.Next();
        if (chunk.empty()) break;
        if (std::int64_t(chunk.size()) > most - done) {
            decoder.AddSamples(chunk.first(static_cast<std::size_t>(most - done)));
            decoded.cut = "The recording goes on past 4 hours; it is read to there";
            break;
        }
        decoder.AddSamples(chunk);
        done += std::int64_t(chunk.size());
    }
    if (decoded.cut.empty()) decoded.cut = samples.Note();
    decoded.tzx = decoder.Finish();
    ReportProgress(progress, 1.0);
    return decoded;
}

DecodedRecording DecodeRecordingFile(const std::string& path,
                                     const PulseDecoder::BlockObserver& observer,
                                     const RecordingProgress& progress) {
    OsFile file(path);
    DecodedRecording decoded = DecodeRecording(file, observer, progress);
    file.Close();
    return decoded;
}

DecodedRecording DecodeRecordingBytes(std::span<const std::uint8_t> bytes,
                                      const PulseDecoder::BlockObserver& observer,
                                      const RecordingProgress& progress) {
    SpanSource source(bytes);
    return DecodeRecording(source, observer, progress);
}

}  // namespace brisalto
