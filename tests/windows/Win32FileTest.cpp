// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows file layer: the codes and messages come straight from the system there.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "CatalogueTable.h"
#include "InOutError.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TapeBuilder;
using testing::TempTape;

const Bytes kTape = TapeBuilder().ProgramHeader("hello", 3, 10, 1).Data({1, 2, 3}).Get();

struct OpenFailure {
    const char* what;
    std::string (*pathIn)(const TempTape&);
    int code;
    const char* message;
};

class Win32OpenFailure : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(Win32OpenFailure, CarriesTheNativeCodeAndItsMessage) {
    const TempTape tape(kTape);
    CatalogueTable catalogue;
    try {
        ScanTape(GetParam().pathIn(tape), true, catalogue);
        FAIL() << "opened " << GetParam().what;
    } catch (const InOutError& error) {
        EXPECT_EQ(error.Code(), GetParam().code);
        EXPECT_STREQ(error.what(), GetParam().message);
    }
    EXPECT_EQ(catalogue.RowCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Win32OpenFailure,
    ::testing::Values(OpenFailure{"missing file",
                                  [](const TempTape& tape) { return tape.Folder() + "\\none.tap"; },
                                  2, "File not found"},
                      OpenFailure{
                          "missing folder",
                          [](const TempTape& tape) { return tape.Folder() + "\\none\\tape.tap"; },
                          3, "Invalid filename"},
                      OpenFailure{"folder", [](const TempTape& tape) { return tape.Folder(); }, 5,
                                  "File access denied"}));

TEST(Win32File, OpensAPathWithCharactersOutsideAscii) {
    const TempTape tape(kTape,
                        "cinta \xC3\xB1\x61nd\xC3\xBA \xE3\x83\x86\xE3\x83\xBC\xE3\x83\x97.tap");
    CatalogueTable catalogue;
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    EXPECT_EQ(catalogue.RowCount(), 2u);
}

TEST(Win32File, ScansAReadOnlyTapeAndOneAnotherProgramIsWriting) {
    const TempTape tape(kTape);
    const std::wstring wide =
        std::filesystem::path(std::u8string(tape.Path().begin(), tape.Path().end())).wstring();
    HANDLE writer = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    CatalogueTable catalogue;
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    ::CloseHandle(writer);

    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    EXPECT_EQ(catalogue.RowCount(), 2u);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What a scan of path ends in: the failure's code and message, or "opened".
std::string ScanFailure(const std::string& path) {
    CatalogueTable catalogue;
    try {
        ScanTape(path, true, catalogue);
        return "opened";
    } catch (const InOutError& error) {
        return std::to_string(error.Code()) + " " + error.what();
    }
}

// Devices and pipes open like files but are no tapes.
TEST(Win32File, RefusesWhatIsNotADiskFile) {
    EXPECT_EQ(ScanFailure("NUL"), "5 File access denied");

    const std::string path =
        "\\\\.\\pipe\\brisalto-test-" + std::to_string(::GetCurrentProcessId());
    const std::wstring name(path.begin(), path.end());
    HANDLE pipe = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    // A scan that reads the pipe waits for a writer that never comes; cutting the pipe off ends
    // that wait, so the test fails instead of hanging.
    std::future<std::string> failure = std::async(std::launch::async, ScanFailure, path);
    if (failure.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ::DisconnectNamedPipe(pipe);
    }
    EXPECT_EQ(failure.get(), "5 File access denied");
    ::CloseHandle(pipe);
}

}  // namespace
}  // namespace brisalto
