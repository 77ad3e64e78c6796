// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordCommand.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "ConvertTape.h"
#include "ExitStatus.h"
#include "LeftOutText.h"
#include "OutputFile.h"
#include "RecordingDecoder.h"
#include "RecoveredBlockText.h"
#include "SoundInput.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

constexpr unsigned kRate = 44'100;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl+C ends the recording instead of the program while it is held, so that what was recorded
// is still decoded and written.
class InterruptStopsRecording {
public:
    InterruptStopsRecording() {
        interrupted = 0;
        previous_ = std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptStopsRecording() { std::signal(SIGINT, previous_); }
    InterruptStopsRecording(const InterruptStopsRecording&) = delete;
    InterruptStopsRecording& operator=(const InterruptStopsRecording&) = delete;

private:
    void (*previous_)(int) = SIG_DFL;
};

void Say(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void Complain(const std::string& text) {
    Say("brisalto-tape: " + text);
}

// Each sound input on a line: its name, a tab, its description, "(default)" after the default.
int ListDevices() {
    try {
        std::string text;
        for (const SoundInputDevice& device : ListSoundInputs()) {
            text += device.name + '\t' + device.description;
            if (device.isDefault) text += device.description.empty() ? "(default)" : " (default)";
            text += '\n';
        }
        std::fputs(text.c_str(), stdout);
        return kExitGood;
    } catch (const SoundInputError& failure) {
        Complain(failure.what());
    }
    return kExitFailure;
}

// Writes what was recorded; when the output cannot take it after all (a disk filled while
// recording), the recording goes to a temporary file instead, so that it is not lost.
void WriteRecording(const ConsoleRequest& request, std::span<const std::uint8_t> bytes) {
    try {
        WriteWholeFile(request.output, bytes, {});
    } catch (const OutputError& failure) {
        Complain(failure.what());
        const std::string suffix = request.format == TapeFormat::Tap ? ".tap" : ".tzx";
        const std::string kept = KeepInTemporaryFile(bytes, "brisalto-recording", suffix);
        throw OutputError("the recording is kept in " + kept);
    }
}

}  // namespace

int RecordFromSoundInput(const ConsoleRequest& request) {
    if (request.listDevices) return ListDevices();
    try {
        // A recording that cannot be written is not begun.
        CheckCanWrite(request.output, {});
        const InterruptStopsRecording stops;
        // Each block is told during the pause after it, not when the next sound comes.
        RecordingDecoder decoder(
            kRate, [](RecoveredBlock block) { Say(RecoveredBlockText(block)); },
            kLiveHoldPauseSeconds);
        {
            SoundInput input(kRate, request.device);
            const std::string from = request.device.empty() ? std::string("the default sound input")
                                                            : "the sound input " + request.device;
            Say(request.seconds ? "Recording for " + std::to_string(*request.seconds) + " s from " +
                                      from + "; Ctrl+C stops sooner."
                                : "Recording from " + from + "; Ctrl+C stops.");
            const std::uint64_t wanted =
                request.seconds ? std::uint64_t{*request.seconds} * kRate : UINT64_MAX;
            std::vector<float> samples(kRate / 10);
            for (std::uint64_t recorded = 0; recorded < wanted && interrupted == 0;) {
                std::span<float> piece(samples);
                if (wanted - recorded < piece.size()) piece = piece.first(wanted - recorded);
                const std::size_t count = input.Read(piece);
                decoder.AddSamples(piece.first(count));
                recorded += count;
            }
        }
        auto bytes = std::make_shared<const std::vector<std::uint8_t>>(decoder.Finish());
        const ConvertedTape converted =
            ConvertTape(TapeDocumentFromBytes(TapeLocation(request.output), std::move(bytes)),
                        request.format.value_or(TapeFormat::Tzx));
        WriteRecording(request, converted.bytes);
        Say(std::to_string(decoder.DataBlocks()) +
            (decoder.DataBlocks() == 1 ? " data block" : " data blocks") + " recovered into " +
            request.output);
        if (!converted.leftOut.empty())
            Complain(request.output + ": " + LeftOutSentence(converted.leftOut));
        if (decoder.DamagedBlocks() > 0) {
            Complain(request.output + ": " + std::to_string(decoder.DamagedBlocks()) + " of them " +
                     (decoder.DamagedBlocks() == 1 ? "is" : "are") + " damaged");
            return kExitDamaged;
        }
        return kExitGood;
    } catch (const std::exception& failure) {
        Complain(failure.what());
    }
    return kExitFailure;
}

void AddRecordCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    CLI::App& command = line.AddCommand(
        "record", "OUTPUT",
        "Records a tape from the default sound input, or the one named NAME, for N\n"
        "seconds, or until Ctrl+C, telling each block on standard error as it loads, then\n"
        "writes what it read as a TAP or TZX file by OUTPUT's suffix. The TZX keeps what\n"
        "could not be read as data as the sound measured; a TAP keeps the data blocks.\n"
        "OUTPUT is checked before recording starts; should writing it still fail, the\n"
        "recording is kept in a temporary file, whose name is told. --list-devices lists\n"
        "the sound inputs' names instead.",
        ConsoleCommand::Record, RecordFromSoundInput,
        [](std::vector<std::string>& operands, ConsoleRequest& given) {
            if (given.listDevices) {
                if (!operands.empty()) throw UsageProblem("'--list-devices' takes nothing else");
                return;
            }
            if (operands.size() != 1) throw UsageProblem("record takes one output");
            given.output = operands[0];
            given.format = FormatOfName(given.output);
            if (!given.format) throw UsageProblem("record needs an output named .tap or .tzx");
        });
    CLI::Option* seconds = command
                               .add_option_function<std::string>(
                                   "--seconds",
                                   [&request](const std::string& value) {
                                       request.seconds =
                                           ReadNumberFrom("--seconds", value, 1, 86'400);
                                   },
                                   "How long to record, else until Ctrl+C.")
                               ->type_name("N");
    CLI::Option* device =
        command
            .add_option_function<std::string>(
                "--device",
                [&request](const std::string& value) {
                    if (value.empty()) throw UsageProblem("'--device' needs a sound input's name");
                    request.device = value;
                },
                "The sound input to record from.")
            ->type_name("NAME");
    command
        .add_flag_callback(
            "--list-devices", [&request] { request.listDevices = true; },
            "Lists the sound inputs' names instead.")
        ->excludes(seconds)
        ->excludes(device);
}

}  // namespace brisalto
