// SPDX-License-Identifier: GPL-3.0-or-later
// Turns any bytes into sound, from the first row and from the second. A refusal (SoundError), a
// file that ends too early, a refused Size and a recording refused or cut short (RecordingError)
// are the normal outcomes; a crash, a sanitizer
// report, a hang, a sound past its bounds or a file of another length than announced is a
// finding.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "CatalogueErrors.h"
#include "FuzzCheck.h"
#include "InOutError.h"
#include "RecordingErrors.h"
#include "ScratchFile.h"
#include "SoundError.h"
#include "TapeDocument.h"
#include "TapeSoundBytes.h"
#include "WavSound.h"

namespace {

using brisalto::fuzzing::Require;

class CountingSink final : public brisalto::ByteSink {
public:
    void Write(std::span<const std::uint8_t> bytes) override { count += bytes.size(); }
    std::uint64_t count = 0;
};

// Smaller bounds than a real tape's, so that each input takes a moment: what is checked is that
// the bounds hold, whatever they are.
constexpr brisalto::SignalLimits kLimits{60 * brisalto::kTstatesPerSecond, 1u << 12};
constexpr brisalto::SoundFormat kFormat{8'000, 8};

void Sound(const std::string& path, std::optional<std::size_t> fromRow, std::size_t fileSize) {
    try {
        brisalto::TapeSoundBytes tape =
            brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(path), fromRow);
        Require(tape.bytes.size() <= fileSize, "never more bytes than the file");
        const brisalto::WavSound wav(std::move(tape), kFormat, kLimits);
        Require(wav.Tstates() <= kLimits.maxTstates + 0xFFFFFFFFu, "sound within its bounds");
        CountingSink sink;
        Require(wav.Write(sink), "written whole");
        Require(sink.count == wav.FileBytes(), "the file as long as announced");
    } catch (const brisalto::SoundError&) {
    } catch (const brisalto::InOutError& error) {
        Require(error.Code() == brisalto::kReadBeyondEndOfFile, "only code 100 from a tape file");
    } catch (const brisalto::FieldRangeError&) {
    } catch (const brisalto::RecordingError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const brisalto::fuzzing::ScratchFile tape;
    tape.Write(std::span(data, size));
    Sound(tape.Path(), std::nullopt, size);
    Sound(tape.Path(), 1, size);
    return 0;
}
