// SPDX-License-Identifier: GPL-3.0-or-later
// File access that only POSIX systems can arrange here: errno mapping, file modes, a user who
// may or may not be root. The Windows build has its own tests of the native codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueTable.h"
#include "ErrnoToInOutCode.h"
#include "InOutError.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TapeFile.h"
#include "TempTape.h"
#include "WriteProtect.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TapeBuilder;
using testing::TempTape;
using testing::WriteProtect;

TEST(ErrnoToInOutCode, MapsOntoTheFailureTable) {
    const std::vector<std::pair<int, int>> cases = {
        {ENOENT, 2},      {ENOTDIR, 3},   {ENAMETOOLONG, 3}, {EMFILE, 4},    {ENFILE, 4},
        {EACCES, 5},      {EPERM, 5},     {EROFS, 5},        {EISDIR, 5},    {EIO, 30},
        {ENOSPC, ENOSPC}, {EBADF, EBADF}, {EFBIG, EFBIG},    {ELOOP, ELOOP}, {0, 0}};
    for (const auto& [error, code] : cases) {
        EXPECT_EQ(ErrnoToInOutCode(error), code) << "errno " << error;
    }
}

// An errno passed through whose number is a run-time code (ENETDOWN is 100 on Linux) is no
// "Read beyond end of file"; the mapped ones keep their table words.
TEST(ErrnoToInOutCode, UnmappedErrnoReadsAsAnIoErrorWhateverItsNumber) {
    const std::vector<std::pair<int, std::string>> cases = {
        {ENETDOWN, "I/O error " + std::to_string(ENETDOWN)},
        {ENOSPC, "I/O error " + std::to_string(ENOSPC)},
        {ENOENT, "File not found"}};
    for (const auto& [error, words] : cases) {
        EXPECT_EQ(ErrnoToInOutError(error).what(), words) << "errno " << error;
    }
}

// Runs the open and returns the failure's code and message, or {0, ""} when it opened.
std::pair<int, std::string> OpenFailure(const std::string& path) {
    try {
        TapeFile file(path);
    } catch (const InOutError& error) {
        return {error.Code(), error.what()};
    }
    return {0, ""};
}

TEST(TapeFileOpen, FailuresCarryTableCodes) {
    const TempTape tape(Bytes{0, 0});
    const std::string folder = tape.Folder();
    const std::pair<int, std::string> notFound{2, "File not found"};
    const std::pair<int, std::string> denied{5, "File access denied"};
    const std::pair<int, std::string> invalid{3, "Invalid filename"};

    EXPECT_EQ(OpenFailure(folder + "/missing.tap"), notFound);
    EXPECT_EQ(OpenFailure(folder + "/no-such-folder/tape.tap"), notFound);
    EXPECT_EQ(OpenFailure(""), notFound);
    EXPECT_EQ(OpenFailure(folder), denied);
    EXPECT_EQ(OpenFailure(tape.Path() + "/tape.tap"), invalid);  // a file used as a folder
    EXPECT_EQ(OpenFailure(folder + "/" + std::string(300, 'x') + ".tap"), invalid);
    // Neither a device nor a pipe is a tape; /dev/zero would never end, a pipe would block.
    EXPECT_EQ(OpenFailure("/dev/zero"), denied);
    const std::string pipe = folder + "/pipe.tap";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(OpenFailure(pipe), denied);
}

TEST(TapeFileOpen, ReadOnlyFileOpensAndReads) {
    const TempTape tape(Bytes{0x13, 0x00, 0x00});
    const WriteProtect protect(tape.Path());
    ASSERT_TRUE(protect.Refuses())
        << "the file could not be made unwritable, so this test would prove nothing";
    TapeFile file(tape.Path());
    std::vector<std::uint8_t> got(3);
    file.ReadExact(std::span(got));
    EXPECT_EQ(got, (std::vector<std::uint8_t>{0x13, 0x00, 0x00}));
}

TEST(TapeFileOpen, UnreadableFileIsAccessDenied) {
    // Root reads a file whatever its mode says, and no flag stops it; nothing to check then.
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads any file";
    const TempTape tape(Bytes{0, 0});
    ASSERT_EQ(::chmod(tape.Path().c_str(), 0), 0);
    EXPECT_EQ(OpenFailure(tape.Path()), (std::pair<int, std::string>{5, "File access denied"}));
}

// the scanner only reads, so a tape that may not be written must still scan.
TEST(ScanTapeOpen, ReadOnlyTapeScans) {
    const TempTape tape(TapeBuilder().ProgramHeader("hello", 2, 10, 2).Data({1, 2}).Get());
    const WriteProtect protect(tape.Path());
    ASSERT_TRUE(protect.Refuses())
        << "the file could not be made unwritable, so this test would prove nothing";
    CatalogueTable catalogue;
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    ASSERT_EQ(catalogue.RowCount(), 2u);
    catalogue.First();
    EXPECT_EQ(catalogue.AsString("Name"), "hello     ");
}

}  // namespace
}  // namespace brisalto
