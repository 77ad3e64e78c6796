// SPDX-License-Identifier: GPL-3.0-or-later
// File names that are not UTF-8 (Latin-1, CP437), as old collections hold them, opened from the
// command line and from a drop: the name's bytes reach the file, and every place that shows the
// name shows it readably, with U+FFFD for a byte that is no UTF-8.
#include <QDragEnterEvent>
#include <QMimeData>
#include <QWindow>

#include <filesystem>
#include <fstream>

#include "BlockView.h"
#include "CommandLine.h"
#include "FormFixture.h"
#include "PathBytes.h"
#include "RunCommand.h"
#include "Startup.h"
#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TapeInformation.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

struct ByteName {
    const char* test;
    std::string bytes;  // the file's name on disk
    QString shown;      // as every view shows it
};
void PrintTo(const ByteName& name, std::ostream* out) {
    *out << name.test;
}

// A Program header "hello" and its data.
Bytes HelloTape() {
    return TapeBuilder().ProgramHeader("hello", 4, 10, 4).Data({0, 10, 0, 0}).Get();
}

void WriteBytes(const std::string& path, const Bytes& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    ASSERT_TRUE(out.good()) << path;
}

class NamesNotUtf8 : public FormFixture, public ::testing::WithParamInterface<ByteName> {
protected:
    std::string Path() const { return folder_.Folder() + "/" + GetParam().bytes; }

    // The tape opened as the window holds it, shown in Tape Information and its rows.
    void ExpectOpenedAndShown() {
        EXPECT_TRUE(dialogs.failures.empty()) << dialogs.failures.front().toStdString();
        EXPECT_EQ(TapeFileName.path, Path());
        ASSERT_EQ(GridRows(), 2);
        EXPECT_EQ(Cell(0, 3), QStringLiteral("hello     "));
        const QString information = TapeInformationText(ReadTapeDocument(TapeFileName));
        EXPECT_TRUE(information.startsWith(QStringLiteral("Path: ") +
                                           QString::fromStdString(folder_.Folder()) +
                                           QLatin1Char('/') + GetParam().shown + '\n'))
            << information.toStdString();
        form.RxDBGrid1ViewBlock();
        QStringList titles;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<const BlockView*>(window) != nullptr && window->isVisible())
                titles << window->windowTitle();
        }
        EXPECT_EQ(titles, QStringList{QStringLiteral("Block View: row 1 of ") + GetParam().shown});
    }

    // The text/uri-list a file manager gives: the path's bytes percent-encoded, CRLF after it.
    QByteArray UriList() const {
        return "file://" + QByteArray::fromStdString(Path()).toPercentEncoding("/") + "\r\n";
    }

    TempTape folder_{HelloTape(), "other.tap"};
};

TEST_P(NamesNotUtf8, OpenFromTheCommandLine) {
    WriteBytes(Path(), HelloTape());
    const CommandLineRequest request =
        ReadCommandLine({"brisalto", GetParam().bytes}, folder_.Folder());
    ASSERT_TRUE(request.tapePath);
    OpenTapeOnceShown(form, *request.tapePath);
    QCoreApplication::processEvents();
    ExpectOpenedAndShown();
}

TEST_P(NamesNotUtf8, OpenFromADrop) {
    WriteBytes(Path(), HelloTape());
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), "# from a file manager\r\n" + UriList());
    const QPoint at = form.Memo1->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(form.windowHandle(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::NoButton, {});
    QApplication::sendEvent(form.windowHandle(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();
    ExpectOpenedAndShown();
}

// GTK's dialog lists such a name (under "All Files") and hands it back with U+FFFD in it.
TEST_P(NamesNotUtf8, OpenFromADialogThatGivesTheNameAsShown) {
    WriteBytes(Path(), HelloTape());
    form.OpenTape(QString::fromStdString(folder_.Folder()) + QLatin1Char('/') + GetParam().shown);
    ExpectOpenedAndShown();
}

// An archive's failure names it, readably; the chooser is offered the entries' own bytes.
TEST_P(NamesNotUtf8, ArchivesNamedSoAndHoldingSuchNames) {
    const std::string zip = folder_.Folder() + "/" + GetParam().bytes + ".zip";
    WriteBytes(zip, {'P', 'K', 3, 4, 0, 0});
    form.OpenTape(zip);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_TRUE(dialogs.failures[0].contains(GetParam().shown + QStringLiteral(".zip")))
        << dialogs.failures[0].toStdString();

    WriteBytes(Path(), HelloTape());
    std::filesystem::remove(zip);
    RunCommand("cd '" + folder_.Folder() + "' && zip -q '" + GetParam().bytes +
               ".zip' other.tap '" + GetParam().bytes + "'");
    dialogs.chooserAnswer = 1;
    form.OpenTape(zip);
    ASSERT_EQ(dialogs.chooserOffers.size(), 1u);
    EXPECT_EQ(dialogs.chooserOffers[0], (std::vector<std::string>{"other.tap", GetParam().bytes}));
    EXPECT_EQ(TapeFileName.path, zip);
    EXPECT_EQ(TapeFileName.entry, GetParam().bytes);
    EXPECT_EQ(GridRows(), 2);
    EXPECT_EQ(dialogs.failures.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NamesNotUtf8,
    ::testing::Values(ByteName{"Ascii", "plain.tap", QStringLiteral("plain.tap")},
                      ByteName{"Utf8", "caf\xC3\xA9.tap", QStringLiteral("caf\u00E9.tap")},
                      ByteName{"Latin1", "caf\xE9.tap", QStringLiteral("caf\uFFFD.tap")},
                      ByteName{"Cp437", "caf\x82.tap", QStringLiteral("caf\uFFFD.tap")},
                      ByteName{"SpacesAndPercents", "my 100% %41 tape.tap",
                               QStringLiteral("my 100% %41 tape.tap")}),
    [](const auto& test) { return std::string(test.param.test); });

// Of a dialog's name with U+FFFD, each part is the one name of its folder that shows so; where
// several do, the choice stays as given and fails to open.
TEST(ChosenFileBytes, TakesTheOneNameThatShowsAsChosen) {
    const TempTape tape(HelloTape(), "plain.tap");
    const std::string base = tape.Folder();
    const QString shownBase = QString::fromStdString(base);
    std::filesystem::create_directory(base + "/d\xE9mos");
    for (const std::string name : {"/d\xE9mos/caf\xE9.tap", "/two\xE9.tap", "/two\x82.tap"})
        WriteBytes(base + name, HelloTape());
    const struct {
        QString chosen;
        std::string file;
    } cases[] = {
        {shownBase + QStringLiteral("/plain.tap"), base + "/plain.tap"},
        {shownBase + QStringLiteral("/d\uFFFDmos/caf\uFFFD.tap"), base + "/d\xE9mos/caf\xE9.tap"},
        {shownBase + QStringLiteral("/two\uFFFD.tap"), base + "/two\xEF\xBF\xBD.tap"},
        {shownBase + QStringLiteral("/gone\uFFFD.tap"), base + "/gone\xEF\xBF\xBD.tap"},
    };
    for (const auto& c : cases) EXPECT_EQ(ChosenFileBytes(c.chosen), c.file) << c.file;
}

}  // namespace
}  // namespace brisalto::testing
