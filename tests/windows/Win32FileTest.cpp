// The Windows file layer: the codes and messages come straight from the system there.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
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

}  // namespace
}  // namespace brisalto
