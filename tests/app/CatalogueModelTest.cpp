// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>

#include <algorithm>
#include <string>

#include "FormFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

using CatalogueModelTest = FormFixture;

// The model under Qt's own consistency checks through every way a scan can end.
TEST_F(CatalogueModelTest, StaysConsistentThroughCompletedDamagedFailedAndMissingScans) {
    QAbstractItemModelTester tester(form.DataSource1.get(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const TempTape good(TapeBuilder().ProgramHeader("a", 2, 0, 2).Data({1, 2}).Get());
    const TempTape damaged(TapeBuilder().Header(3, "b", 0, 0).Raw({9, 0, 0xFF}).Get());
    const TempTape openRow(TapeBuilder().ProgramHeader("c", 1, 0, 1).Block({0xFF}).Get());

    Open(good.Path());
    Open(damaged.Path());
    Open(openRow.Path());
    QTest::keyClick(&Grid(), Qt::Key_Escape);
    Open(good.Path());
    Open(good.Folder() + "/missing.tap");
    Open(openRow.Path());
    QTest::keyClick(&Grid(), Qt::Key_Up);
    EXPECT_EQ(GridRows(), 2);
}

TEST_F(CatalogueModelTest, AnnouncesAScanOfManyBlocksInOneReset) {
    TapeBuilder builder;
    for (int block = 0; block < 5000; ++block) builder.Header(3, "block", 0, 0);
    const TempTape tape(builder.Get());
    QSignalSpy reset(form.DataSource1.get(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(form.DataSource1.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(form.DataSource1.get(), &QAbstractItemModel::dataChanged);

    Open(tape.Path());

    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(GridRows(), 5000);
    EXPECT_EQ(CurrentRow(), 0);
}

TEST_F(CatalogueModelTest, TapeTextIsShownThroughWindows1252) {
    const TempTape tape(TapeBuilder().Header(3, "\x80\xA9\xE9\x7F", 0, 0).Get());
    Open(tape.Path());
    EXPECT_EQ(Cell(0, 3), QString::fromUtf8("\u20AC\u00A9\u00E9\x7F      "));
}

// Every byte from 0x80 up in a name: the window's grid and the console program spell them
// alike, whatever the system's code page (tools/test-windows runs this under a Cyrillic one too).
TEST_F(CatalogueModelTest, WindowAndConsoleSpellNamesAlike) {
    TapeBuilder builder;
    for (int first = 0x80; first <= 0xFF; first += 10) {
        std::string name;
        for (int byte = first; byte < std::min(first + 10, 0x100); ++byte)
            name += static_cast<char>(byte);
        builder.Header(3, name, 0, 0);
    }
    const TempTape tape(builder.Get());
    Open(tape.Path());

    QProcess console;
    console.start(QStringLiteral(BRISALTO_CONSOLE_PROGRAM),
                  {QStringLiteral("catalogue"), QStringLiteral("--json"),
                   QString::fromStdString(tape.Path())});
    ASSERT_TRUE(console.waitForFinished(60000));
    const QJsonArray rows =
        QJsonDocument::fromJson(console.readAllStandardOutput())[0][QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 13);
    for (int row = 0; row < rows.size(); ++row)
        EXPECT_EQ(Cell(row, 3), rows[row][QStringLiteral("name")].toString()) << row;
}

}  // namespace
}  // namespace brisalto::testing
