// SPDX-License-Identifier: GPL-3.0-or-later
// Each console command reads its tape with one open of the file, bare, zipped or a recording:
// the document read once is what every view of the tape is made from.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ConsoleArguments.h"
#include "ConsoleCommands.h"
#include "OsFile.h"
#include "PzxBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

struct Command {
    const char* name;
    std::vector<std::string> arguments;  // TAPE and OUT stand for the tape and an output file
};

class OpenCount : public ::testing::TestWithParam<std::string> {};

// A test tape's bytes; loading.pzx is a recording of loading.tap, as the ROM saves it.
testing::Bytes Contents(const std::string& file) {
    if (file == "loading.pzx") {
        return testing::RomPzx(testing::ReadWholeFile(BRISALTO_TEST_DATA "/loading.tap"));
    }
    return testing::ReadWholeFile(BRISALTO_TEST_DATA "/" + file);
}

TEST_P(OpenCount, EveryCommandOpensTheTapeOnce) {
    const std::vector<Command> commands = {
        {"catalogue", {"catalogue", "TAPE"}},
        {"catalogue --json", {"catalogue", "--json", "TAPE"}},
        {"hex", {"hex", "--row", "1", "TAPE"}},
        {"disasm", {"disasm", "--row", "2", "--from", "16384", "TAPE"}},
        {"details", {"details", "--row", "1", "TAPE"}},
        {"bytes", {"bytes", "--row", "1", "TAPE", "OUT"}},
        {"screen", {"screen", "--row", "2", "TAPE", "OUT"}},
        {"thumbnail", {"thumbnail", "TAPE", "OUT"}},
    };
    const std::string file = GetParam();
    for (const Command& command : commands) {
        // A fresh copy each time: the copy kept of the last tape read must not hide an open.
        const testing::TempTape tape(Contents(file), file);
        std::vector<std::string> words = {"brisalto-tape"};
        for (const std::string& word : command.arguments) {
            words.push_back(word == "TAPE"  ? tape.Path()
                            : word == "OUT" ? tape.Folder() + "/out"
                                            : word);
        }
        const std::vector<std::string_view> views(words.begin(), words.end());
        const ConsoleRequest request = ReadConsoleArguments(views);
        ASSERT_FALSE(request.exitCode) << command.name << ": " << request.text;
        const std::uint64_t before = OsFileOpens();
        EXPECT_EQ(RunConsoleRequest(request), 0) << command.name;
        EXPECT_EQ(OsFileOpens() - before, 1u) << command.name << " of " << file;
    }
}

std::string Kind(const ::testing::TestParamInfo<std::string>& tape) {
    if (tape.param == "loading.pzx") return "Recording";
    return tape.param == "loading.tap" ? "Tap" : "Zip";
}

INSTANTIATE_TEST_SUITE_P(BareZippedAndRecorded, OpenCount,
                         ::testing::Values("loading.tap", "loading.zip", "loading.pzx"), Kind);

}  // namespace
}  // namespace brisalto
