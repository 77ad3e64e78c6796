// SPDX-License-Identifier: GPL-3.0-or-later
#include "WavCommand.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ConsoleTapes.h"
#include "DamagedTapeText.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "OutputFile.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"
#include "StreamedOutputFile.h"
#include "TapeSoundBytes.h"
#include "WavSound.h"

namespace brisalto {

int WriteTapeWav(const ConsoleRequest& request, const ConsoleTape& tape) {
    const std::string& name = tape.name;
    try {
        std::optional<std::size_t> fromRow;
        if (request.row) fromRow = *request.row - 1;
        const TapeDocument document = ReadConsoleDocument(tape.location);
        TapeSoundBytes sound = ReadTapeSoundBytes(document, fromRow);
        const bool damaged = sound.damaged;
        const std::size_t rows = sound.rows;
        const std::string stop = sound.stop;
        const SoundFormat format{request.rate, request.bits};
        StreamedOutputFile output(request.output, tape.location.path);
        if (output.CanRewrite()) {
            // A file can take its header last: one walk of the sound instead of two. A sound
            // past the bounds stops it partway, and the file written aside is dropped.
            WriteWavInOneWalk(
                sound, format, output,
                [&output](std::span<const std::uint8_t> header) { output.RewriteStart(header); });
        } else {
            // Standard output takes the header first: the sound is counted before it is written.
            const WavSound wav(std::move(sound), format);
            wav.Write(output);
        }
        output.Commit();
        if (damaged) {
            Complain(name + ": " + DamagedTapeText(document, SoundStopsText(rows, stop)));
            return kExitDamaged;
        }
        return kExitGood;
    } catch (const OutputError& failure) {
        Complain(failure.what());
    } catch (const std::exception& failure) {
        Complain(name + ": " + FailureText(failure.what()));
    }
    return kExitFailure;
}

}  // namespace brisalto
