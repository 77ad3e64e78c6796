// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include "ConsoleTapes.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "StandardInputTape.h"

namespace brisalto {

void AddConsoleCommands(CommandLine& line) {
    AddCatalogueCommand(line);
    AddListCommand(line);
    AddScreenCommand(line);
    AddBytesCommand(line);
    AddBlockViewCommands(line);
    AddDetailsCommand(line);
    AddThumbnailCommand(line);
    AddWavCommand(line);
    AddConvertCommand(line);
    AddRecordCommand(line);
}

int RunConsoleRequest(const ConsoleRequest& given) {
    // A TAPE "-" is standard input, read once into a file of its own that every "-" stands for.
    ConsoleRequest request = given;
    std::optional<StandardInputCopy> input;
    if (std::find(request.tapes.begin(), request.tapes.end(), "-") != request.tapes.end()) {
        try {
            input.emplace();
        } catch (const std::exception& failure) {
            Complain(std::string(kStandardInputName), FailureText(failure.what()));
            return kExitFailure;
        }
        std::replace(request.tapes.begin(), request.tapes.end(), std::string("-"), input->Path());
    }
    const int status = request.run(request);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "brisalto-tape: standard output: %s\n", std::strerror(errno));
        return kExitFailure;
    }
    return status;
}

}  // namespace brisalto
