// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <filesystem>

#include "CommandLine.h"
#include "FormFixture.h"
#include "Startup.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;  // after the program's own name, as the system's bytes
    std::optional<std::string> tapePath;
    std::optional<int> exitCode;
};
void PrintTo(const CommandLineCase& row, std::ostream* out) {
    *out << row.name;
}

class ReadingTheCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ReadingTheCommandLine, FindsTheTapeOrTheExit) {
    const CommandLineCase& row = GetParam();
    std::vector<std::string> arguments{"/usr/bin/brisalto"};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const CommandLineRequest request = ReadCommandLine(arguments, "/tapes/a");
    EXPECT_EQ(request.tapePath, row.tapePath);
    EXPECT_EQ(request.exitCode, row.exitCode);
    if (request.exitCode == 2) {
        EXPECT_TRUE(request.text.startsWith(QStringLiteral("brisalto: ")))
            << request.text.toStdString();
        EXPECT_EQ(request.text.count(QLatin1Char('\n')), 1) << "one line";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ReadingTheCommandLine,
    ::testing::Values(
        CommandLineCase{"NoFile", {}, std::nullopt, std::nullopt},
        CommandLineCase{"RelativeFromTheCurrentFolder", {"../b/x.tap"}, "/tapes/b/x.tap", {}},
        CommandLineCase{"AbsoluteAsGiven", {"/elsewhere/y.TAP"}, "/elsewhere/y.TAP", {}},
        CommandLineCase{"FirstOfSeveral", {"one.tap", "two.tap"}, "/tapes/a/one.tap", {}},
        CommandLineCase{"DashedNameAfterDoubleDash", {"--", "-odd.tap"}, "/tapes/a/-odd.tap", {}},
        CommandLineCase{"QtOptionsLetThrough",
                        {"-platform", "offscreen", "-style=fusion", "-reverse", "t.tap"},
                        "/tapes/a/t.tap",
                        {}},
        CommandLineCase{"Version", {"--version", "t.tap"}, std::nullopt, 0},
        CommandLineCase{"Help", {"-h"}, std::nullopt, 0},
        CommandLineCase{"UnknownLongOption", {"--bogus", "t.tap"}, std::nullopt, 2},
        CommandLineCase{"UnknownShortOption", {"-x"}, std::nullopt, 2},
        CommandLineCase{"QtOptionWithoutItsValue", {"-platform"}, std::nullopt, 2}),
    [](const auto& test) { return std::string(test.param.name); });

#ifndef _WIN32
// On POSIX a name's bytes stay as given, UTF-8 or not (Windows' names are UTF-16, kept as UTF-8).
INSTANTIATE_TEST_SUITE_P(
    ByteNames, ReadingTheCommandLine,
    ::testing::Values(
        CommandLineCase{"Latin1NameKeepsItsBytes", {"caf\xE9.tap"}, "/tapes/a/caf\xE9.tap", {}},
        CommandLineCase{"Latin1FolderAndName",
                        {"-platform", "offscreen", "../\x82t\xE9/x\xE9.tap", "two.tap"},
                        "/tapes/\x82t\xE9/x\xE9.tap",
                        {}}),
    [](const auto& test) { return std::string(test.param.name); });
#endif

// A Program header "hello" and its data; a second tape with one Bytes header.
Bytes HelloTape() {
    return TapeBuilder().ProgramHeader("hello", 4, 10, 4).Data({0, 10, 0, 0}).Get();
}
Bytes CodeTape() {
    return TapeBuilder().Header(3, "code", 2, 32768).Get();
}

using OpenFromTheCommandLine = FormFixture;

TEST_F(OpenFromTheCommandLine, OpensOnceTheEventLoopRunsAsIfChosenInTheDialog) {
    const TempTape tape(HelloTape());
    form.Button1->setFocus();
    OpenTapeOnceShown(form, tape.Path());
    EXPECT_EQ(GridRows(), 1) << "nothing opened before the event loop runs";

    QCoreApplication::processEvents();

    EXPECT_EQ(TapeFileName.path, tape.Path());
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, 3), QStringLiteral("hello     "));
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(Grid().hasFocus());
    form.Button1Click();
    EXPECT_EQ(dialogs.offeredFileNames, std::vector<QString>{QString::fromStdString(tape.Path())});
}

TEST_F(OpenFromTheCommandLine, KeepsTheScanRulesAndMessages) {
    const TempTape tape(HelloTape());
    form.ChkShowRaw->setChecked(false);
    OpenTapeOnceShown(form, tape.Path());
    QCoreApplication::processEvents();
    EXPECT_EQ(GridRows(), 1) << "Show Raw Blocks off: the header only";

    const TempTape damaged(TapeBuilder().Raw({50, 0, 0x00}).Get());
    OpenTapeOnceShown(form, damaged.Path());
    OpenTapeOnceShown(form, tape.Folder() + "/gone.tap");
    QCoreApplication::processEvents();
    EXPECT_EQ(
        dialogs.damaged,
        std::vector<QString>{QStringLiteral("Tape file is seriously corrupted. Cannot continue.")});
    EXPECT_EQ(dialogs.failures, std::vector<QString>{QStringLiteral("File not found.")});
}

// Drags delivered to the window as the window system delivers them: enter, move, then the drop
// when the window took the drag. Positions are in the window, so the widget under the point
// (and those above it) see the drag.
struct DragOutcome {
    bool enterAccepted = false;
    bool moveAccepted = false;
    bool dropAccepted = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

class DropOnTheWindow : public FormFixture {
protected:
    DragOutcome Drag(const QMimeData& data, QPoint at,
                     Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction) {
        QWindow& window = *form.windowHandle();
        DragOutcome outcome;
        QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        outcome.enterAccepted = enter.isAccepted();
        QDragMoveEvent move(at + QPoint(1, 1), possible, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &move);
        outcome.moveAccepted = move.isAccepted();
        if (outcome.moveAccepted) {
            QDropEvent drop(at + QPoint(1, 1), possible, &data, Qt::NoButton, {});
            QApplication::sendEvent(&window, &drop);
            outcome.dropAccepted = drop.isAccepted();
            outcome.dropAction = drop.dropAction();
        } else {
            QDragLeaveEvent leave;
            QApplication::sendEvent(&window, &leave);
        }
        QCoreApplication::processEvents();
        return outcome;
    }
    static QUrl FileUrl(const TempTape& tape) {
        return QUrl::fromLocalFile(QString::fromStdString(tape.Path()));
    }
    // A point over the listing pane, which takes no drops itself.
    QPoint OverThePane() { return form.Memo1->geometry().center(); }
};

TEST_F(DropOnTheWindow, OpensTheFirstOfSeveralFilesAsACopy) {
    const TempTape first(HelloTape(), "first.tap");
    const TempTape second(CodeTape(), "second.tap");
    QMimeData data;
    data.setUrls({FileUrl(first), FileUrl(second)});
    form.Memo1->setPlainText(QStringLiteral("last listing"));

    const DragOutcome outcome = Drag(data, OverThePane());

    EXPECT_TRUE(outcome.enterAccepted);
    EXPECT_TRUE(outcome.dropAccepted);
    EXPECT_EQ(outcome.dropAction, Qt::CopyAction);
    EXPECT_EQ(TapeFileName.path, first.Path());
    EXPECT_EQ(form.OpenDialog1.fileName, QString::fromStdString(first.Path()));
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, 3), QStringLiteral("hello     "));
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(Grid().hasFocus());
    EXPECT_EQ(Pane(), QStringLiteral("last listing"));
}

TEST_F(DropOnTheWindow, TakesTheFirstLocalFileAndShowsItsFailure) {
    const TempTape tape(HelloTape());
    const std::string missing = (std::filesystem::path(tape.Folder()) / "gone.tap").string();
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.org/x.tap")),
                  QUrl::fromLocalFile(QString::fromStdString(missing)), FileUrl(tape)});
    Drag(data, Grid().geometry().center());
    EXPECT_EQ(TapeFileName.path, missing);
    EXPECT_EQ(dialogs.failures, std::vector<QString>{QStringLiteral("File not found.")});
}

struct RefusedDrag {
    const char* name;
    void (*fill)(QMimeData&);
    Qt::DropActions possible;
};
void PrintTo(const RefusedDrag& drag, std::ostream* out) {
    *out << drag.name;
}

class RefusedDrop : public DropOnTheWindow, public ::testing::WithParamInterface<RefusedDrag> {};

TEST_P(RefusedDrop, IsIgnoredAndChangesNothing) {
    const TempTape tape(HelloTape());
    Open(tape.Path());
    form.DataSource1->MoveTo(1);
    form.Memo1->setPlainText(QStringLiteral("last listing"));
    QMimeData data;
    GetParam().fill(data);

    for (const QPoint at : {OverThePane(), Grid().geometry().center(), QPoint(5, 5)}) {
        const DragOutcome outcome = Drag(data, at, GetParam().possible);
        EXPECT_FALSE(outcome.enterAccepted);
        EXPECT_FALSE(outcome.moveAccepted);
    }

    EXPECT_EQ(TapeFileName.path, tape.Path());
    EXPECT_EQ(GridRows(), 2);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Pane(), QStringLiteral("last listing"));
    EXPECT_TRUE(dialogs.failures.empty());
}

INSTANTIATE_TEST_SUITE_P(
    NotALocalFile, RefusedDrop,
    ::testing::Values(
        RefusedDrag{"PlainText",
                    [](QMimeData& data) { data.setText(QStringLiteral("/tmp/tape.tap")); },
                    Qt::CopyAction | Qt::MoveAction},
        RefusedDrag{"OtherScheme",
                    [](QMimeData& data) {
                        data.setUrls({QUrl(QStringLiteral("sftp://host/tapes/tape.tap"))});
                    },
                    Qt::CopyAction},
        RefusedDrag{"MoveOnly",
                    [](QMimeData& data) {
                        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/tape.tap"))});
                    },
                    Qt::MoveAction}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace brisalto::testing
