// SPDX-License-Identifier: GPL-3.0-or-later
// The Tape Information texts of a TZX tape with every kind of text block, against what tzxlist
// prints for the same file: the texts, the archive fields (tzxlist names some of them
// differently) and what the tape does on each machine; and a tape inside a zip archive. A
// missing tzxlist or zip fails these tests: the test command installs them.
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RowMenuFixture.h"
#include "RunCommand.h"
#include "SaveActions.h"
#include "TapeDocument.h"
#include "TapeInformation.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// What a listing says, in a form both can be brought to.
struct Said {
    std::vector<std::string> descriptions, messages, states;
    Fields archive;  // field name as the Tape Information names it, text with '\n' breaks
};

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? "" : text.substr(begin);
}

Said FromTzxlist(const std::string& listing) {
    const std::map<std::string, std::string> names = {
        {"Full Title", "Title"}, {"Publisher", "Publisher"}, {"Author", "Authors"},
        {"Year", "Year"},        {"Language", "Language"},   {"Category", "Type"},
        {"Price", "Price"},      {"Loader", "Protection"},   {"Origin", "Origin"},
        {"Comment", "Comment"},
    };
    // What the tape does with a computer, in tzxlist's words and in ours.
    const std::map<std::string, std::string> kOnAComputer = {
        {"runs", "runs on this machine"},
        {"runs, using hardware", "uses its special features"},
        {"runs, does not use hardware", "runs but does not use its special features"},
        {"does not run", "does not run on this machine"},
    };
    Said said;
    std::istringstream lines(listing);
    std::string line, block;
    while (std::getline(lines, line) && line.rfind("Total tape duration", 0) != 0) {
        if (line.rfind("  Block type ", 0) == 0) {
            block = line.substr(13, 4);
            continue;
        }
        if (line.empty() || line.rfind("  Block duration", 0) == 0 || line.rfind("--=", 0) == 0 ||
            line.rfind("  Display for", 0) == 0)
            continue;
        const auto colon = line.find(": ");
        if (block == "0x30") said.descriptions.push_back(line.substr(colon + 2));
        if (block == "0x31") said.messages.push_back(line.substr(colon + 2));
        if (block == "0x33") said.states.push_back(kOnAComputer.at(line.substr(colon + 2)));
        if (block == "0x32") {
            const auto name = names.find(Trimmed(line.substr(0, colon)));
            if (colon != std::string::npos && name != names.end()) {
                said.archive.emplace_back(name->second, line.substr(colon + 2));
            } else if (!said.archive.empty()) {
                said.archive.back().second += "\n" + line;  // a text's next line
            }
        }
    }
    return said;
}

Said FromInformation(const std::string& text) {
    Said said;
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (line.rfind("Text description: ", 0) == 0) said.descriptions.push_back(line.substr(18));
        if (line.rfind("Message (", 0) == 0)
            said.messages.push_back(line.substr(line.find(": ") + 2));
        if (!line.empty() && line.back() == ':' && line[0] != ' ') section = line;
        if (line.rfind("  ", 0) != 0) continue;
        if (section == "Hardware information:")
            said.states.push_back(line.substr(line.find(": ") + 2));
        if (section != "Archive information:") continue;
        const auto colon = line.find(": ");
        if (line[2] != ' ' && colon != std::string::npos) {
            said.archive.emplace_back(line.substr(2, colon - 2), Trimmed(line.substr(colon + 1)));
        } else if (!said.archive.empty()) {
            said.archive.back().second += "\n" + Trimmed(line);
        }
    }
    return said;
}

Bytes Counted(std::uint8_t id, std::uint8_t extra, const std::string& text) {
    Bytes block{id};
    if (id == 0x31) block.push_back(extra);
    block.push_back(std::uint8_t(text.size()));
    block.insert(block.end(), text.begin(), text.end());
    return block;
}

TEST(TapeInformationPeer, TzxTextsAgreeWithTzxlist) {
    const Fields fields = {{"\x00", "Manic Miner"}, {"\x01", "Bug-Byte"}, {"\x02", "M. Smith"},
                           {"\x03", "1983"},        {"\x04", "English"},  {"\x05", "Arcade"},
                           {"\x06", "5.95"},        {"\x07", "None"},     {"\x08", "Original"},
                           {"\xFF", "Two\rlines"}};
    Bytes archive{0x32, 0, 0, std::uint8_t(fields.size())};
    for (const auto& [kind, text] : fields) {
        archive.push_back(std::uint8_t(kind[0]));
        archive.push_back(std::uint8_t(text.size()));
        archive.insert(archive.end(), text.begin(), text.end());
    }
    archive[1] = std::uint8_t(archive.size() - 3);
    const TempTape tape(TzxBuilder()
                            .Raw(Counted(0x30, 0, "A loading screen"))
                            .Raw(Counted(0x31, 5, "Start the tape"))
                            .Raw(archive)
                            .Raw({0x33, 4, 0, 0, 0, 0, 1, 1, 0, 2, 2, 0, 3, 3})
                            .Get(),
                        "texts.tzx");
    const Said peer = FromTzxlist(RunCommand("tzxlist " + tape.Path()));
    const Said ours =
        FromInformation(TapeInformationText(brisalto::ReadTapeDocument(tape.Path())).toStdString());
    ASSERT_EQ(peer.archive.size(), fields.size());
    EXPECT_EQ(ours.descriptions, peer.descriptions);
    EXPECT_EQ(ours.messages, peer.messages);
    EXPECT_EQ(ours.archive, peer.archive);
    EXPECT_EQ(ours.states, peer.states);
}

// A tape inside a zip archive: its entry named, its own size; and the archive itself is the
// file a save refuses to write over.
TEST(TapeInformationPeer, ATapeInsideAnArchiveIsShownByItsEntryAndItsArchiveIsNotWrittenOver) {
    const TempTape tape(TzxBuilder().Other(0x20).Get(), "inner.tzx");
    RunCommand("cd '" + tape.Folder() + "' && zip -q tapes.zip inner.tzx");
    const std::string zip = tape.Folder() + "/tapes.zip";
    const TapeLocation location(zip, "inner.tzx", 0);
    const QStringList lines = TapeInformationText(brisalto::ReadTapeDocument(location)).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Path: ") + QString::fromStdString(zip));
    EXPECT_EQ(lines[1], QStringLiteral("Entry: inner.tzx"));
    EXPECT_EQ(lines[2], QStringLiteral("Size: 13 bytes"));
    EXPECT_THROW(RefuseTheOpenTape(QString::fromStdString(zip), location), SaveError);
    EXPECT_NO_THROW(RefuseTheOpenTape(QString::fromStdString(tape.Path()), location));
}

// A real tape with zero bytes after its end, as some copies carry: 101 of them read as fifty
// empty blocks and a stray byte, whose failure is shown with what the blocks before it hold,
// not in their place.
class PaddedTapeInformation : public RowMenuFixture {};

TEST_F(PaddedTapeInformation, ShowsTheBlocksBeforeTheFailureBesideIt) {
    const TempTape tape(Bytes{}, "padded.tap");
    RunCommand("cd '" + tape.Folder() +
               "' && printf '10 PRINT 1\\n' > p.bas && zmakebas -n hello -o padded.tap p.bas" +
               " && head -c 101 /dev/zero >> padded.tap");
    Open(tape.Path());
    ASSERT_EQ(dialogs.failures, std::vector{QStringLiteral("Read beyond end of file.")});
    const MenuWatcher watcher(
        [](QMenu& menu) { ChooseItem(menu, QStringLiteral("Tape Information\u2026")); });
    // The failed read left the last row current, out of sight.
    form.DataSource1->MoveTo(0);
    Grid().scrollToTop();
    RightClick(0);
    ASSERT_EQ(watcher.Shown(), 1);
    EXPECT_EQ(dialogs.failures.size(), 1u);
    ASSERT_EQ(dialogs.information.size(), 1u);
    const QStringList lines = dialogs.information[0].split('\n');
    ASSERT_EQ(lines.size(), 5) << dialogs.information[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("Size: 139 bytes"));
    EXPECT_EQ(lines[2],
              QStringLiteral("Failed: Read beyond end of file. This is what comes before"));
    EXPECT_EQ(lines[3], QStringLiteral("Blocks: 51 headers, 1 data, 0 never listed"));
    EXPECT_EQ(lines[4], QStringLiteral("Checksums: All 2 checksums are right"));
}

}  // namespace
}  // namespace brisalto::testing
