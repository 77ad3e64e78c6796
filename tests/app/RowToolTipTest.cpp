// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextDocument>

#include <filesystem>

#include "FormFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

using RowToolTips = FormFixture;

Bytes Header(std::uint8_t type, std::uint16_t length, std::uint16_t param1, std::uint16_t param2) {
    return WithChecksum({0x00, type, 'n', 'a', 'm', 'e', '<', '&', ' ', ' ', ' ', ' ',
                         std::uint8_t(length), std::uint8_t(length >> 8), std::uint8_t(param1),
                         std::uint8_t(param1 >> 8), std::uint8_t(param2),
                         std::uint8_t(param2 >> 8)});
}

// A screen whose top left pixel is set in BRIGHT yellow INK on BRIGHT black PAPER.
Bytes ScreenBody() {
    Bytes body(1 + 6912, 0);
    body[0] = 0xFF;
    body[1] = 0x80;
    body[1 + 0x1800] = 0x40 | 0x06;
    return WithChecksum(body);
}

QVariant ToolTip(const QAbstractItemModel& model, int row, int column = 0) {
    return model.index(row, column).data(Qt::ToolTipRole);
}

std::string PlainText(const QVariant& tip) {
    QTextDocument document;
    document.setHtml(tip.toString());
    // The picture stands in the text as one object character.
    return document.toPlainText().remove(QChar::ObjectReplacementCharacter).trimmed().toStdString();
}

// The picture a tooltip carries inline, or a null image.
QImage Picture(const QVariant& tip) {
    static const QRegularExpression png(QStringLiteral("src=\"data:image/png;base64,([^\"]+)\""));
    const auto match = png.match(tip.toString());
    if (!match.hasMatch()) return {};
    return QImage::fromData(QByteArray::fromBase64(match.captured(1).toLatin1()), "PNG");
}

TEST_F(RowToolTips, EachKindOfRowSaysWhatItsBlockHolds) {
    Bytes badData = WithChecksum({0xFF, 1, 2, 3});
    badData.back() ^= 0x66;
    const TempTape tape(TapeBuilder()
                            .Block(Header(0, 4, 10, 3))
                            .Block(badData)
                            .Block(Header(1, 5, 0x8300, 0))
                            .Block(Header(2, 5, 0xDA00, 0))
                            .Block(Header(3, 6912, 16384, 0))
                            .Block(ScreenBody())
                            .Get());
    Open(tape.Path());
    const QAbstractItemModel& model = *Grid().model();
    ASSERT_EQ(model.rowCount(), 6);
    const QStringList expected = {
        "Program: \"name<&    \" LINE 10\nProgram length 3, variables length 1\nChecksum OK",
        QString::asprintf("Checksum wrong (stored 0x%02X, computed 0x%02X)", badData.back(),
                          badData.back() ^ 0x66),
        "Numeric Array: \"name<&    \" DATA c()\nChecksum OK",
        "Character Array: \"name<&    \" DATA z$()\nChecksum OK",
        "Bytes: \"name<&    \" SCREEN$\nChecksum OK",
        "Checksum OK",
    };
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(PlainText(ToolTip(model, row)), expected[row].toStdString());
        for (int column = 1; column < model.columnCount(); ++column) {
            EXPECT_EQ(ToolTip(model, row, column), ToolTip(model, row));
        }
        EXPECT_EQ(Picture(ToolTip(model, row)).isNull(), row != 5);
    }
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(RowToolTips, ScreenIsDrawnAtTwiceItsSizeWithSharpPixels) {
    const TempTape tape(TapeBuilder().Block(ScreenBody()).Get());
    Open(tape.Path());
    const QVariant tip = ToolTip(*Grid().model(), 0);
    const QImage picture = Picture(tip);
    ASSERT_EQ(picture.size(), QSize(512, 384));
    for (const QPoint yellow : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        EXPECT_EQ(picture.pixel(yellow), qRgb(0xFF, 0xFF, 0x00));
    }
    for (const QPoint black : {QPoint(2, 0), QPoint(0, 2), QPoint(511, 383)}) {
        EXPECT_EQ(picture.pixel(black), qRgb(0, 0, 0));
    }
    // The tooltip's rich text lays the picture out at its full size.
    QTextDocument document;
    document.setHtml(tip.toString());
    EXPECT_GE(document.idealWidth(), 512);
}

TEST_F(RowToolTips, NoneForTheTitleTheBlankRowOrARowLeftOpen) {
    const QAbstractItemModel& model = *Grid().model();
    ASSERT_EQ(model.rowCount(), 1);  // the blank row of the empty catalogue
    EXPECT_FALSE(ToolTip(model, 0).isValid());
    for (int column = 0; column < model.columnCount(); ++column) {
        EXPECT_FALSE(model.headerData(column, Qt::Horizontal, Qt::ToolTipRole).isValid());
    }
    // A data block of length 1 fails the scan with its row open.
    const TempTape tape(TapeBuilder().Block(Header(3, 1, 0, 0)).Block({0xFF}).Get());
    Open(tape.Path());
    ASSERT_EQ(dialogs.failures.size(), 1u);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(ToolTip(model, 0).isValid());
    EXPECT_FALSE(ToolTip(model, 1).isValid());
    EXPECT_FALSE(model.headerData(1, Qt::Vertical, Qt::ToolTipRole).isValid());
}

// A tooltip is made from the held tape alone, once per row: the file is looked at again only when
// the window becomes active, never by the model's data().
TEST_F(RowToolTips, DeletedOrChangedTapeGivesNoPictureOnceTheWindowIsBackAndNoMessage) {
    const Bytes screen = TapeBuilder().Block(ScreenBody()).Get();
    std::string path;
    {
        const TempTape tape(screen);
        path = tape.Path();
        Open(path);
        const QString first = ToolTip(*Grid().model(), 0).toString();
        ASSERT_FALSE(Picture(first).isNull());
        Bytes changed = screen;
        changed[3000] ^= 0xFF;
        tape.Rewrite(changed);
        const QString again = ToolTip(*Grid().model(), 0).toString();
        EXPECT_TRUE(again.isSharedWith(first)) << "the tooltip was made again";
        LeaveAndComeBack();
        EXPECT_TRUE(Picture(ToolTip(*Grid().model(), 0)).isNull());
    }
    ASSERT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(PlainText(ToolTip(*Grid().model(), 0)), "Checksum OK");
    LeaveAndComeBack();
    const QVariant tip = ToolTip(*Grid().model(), 0);
    EXPECT_EQ(PlainText(tip), "Checksum OK");
    EXPECT_TRUE(Picture(tip).isNull());
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_TRUE(dialogs.damaged.empty());
}

TEST_F(RowToolTips, AGoneTapeKeepsItsPictureUntilTheWindowLooksAgain) {
    std::string path;
    QString first;
    {
        const TempTape tape(TapeBuilder().Block(ScreenBody()).Get());
        path = tape.Path();
        Open(path);
        first = ToolTip(*Grid().model(), 0).toString();
    }
    ASSERT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(Picture(ToolTip(*Grid().model(), 0)).isNull());
    EXPECT_TRUE(ToolTip(*Grid().model(), 0).toString().isSharedWith(first));
    EXPECT_TRUE(dialogs.failures.empty());
}

// Screens the rows' sizes do not tell: a turbo block's screen under flag 0, which the grid reads
// as a header, and a screen split in a bitmap block and an attributes block, a tone between them.
TEST_F(RowToolTips, TurboAndSplitScreensHaveTheirPicture) {
    const Bytes body = ScreenBody();  // flag, screen, checksum
    const Bytes screen(body.begin() + 1, body.end() - 1);
    const auto block = [](std::uint8_t flag, Bytes::const_iterator from, Bytes::const_iterator to) {
        Bytes data{flag};
        data.insert(data.end(), from, to);
        return WithChecksum(data);
    };
    const TempTape tape(TzxBuilder()
                            .Body(block(0x00, screen.begin(), screen.end()), 0x11)
                            .Body(block(0xFF, screen.begin(), screen.begin() + 6144))
                            .Other(0x12)
                            .Body(block(0xFF, screen.begin() + 6144, screen.end()))
                            .Body(block(0xFF, screen.begin(), screen.begin() + 6143))
                            .Get(),
                        "turbo.tzx");
    Open(tape.Path());
    ASSERT_EQ(Grid().model()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        const QImage picture = Picture(ToolTip(*Grid().model(), row));
        if (row == 3) {  // 6,143 bytes: no screen
            EXPECT_TRUE(picture.isNull());
            continue;
        }
        ASSERT_EQ(picture.size(), QSize(512, 384));
        EXPECT_EQ(picture.pixel(1, 1), qRgb(0xFF, 0xFF, 0x00));
        EXPECT_EQ(picture.pixel(2, 0), qRgb(0, 0, 0));
    }
}

// A loading screen made from a picture (tools/make-screen-tape), written out as a PNG to be
// looked at by a person beside the test program: lettering, a circle, a line and a frame in bands
// of colour.
TEST_F(RowToolTips, WritesTheLoadingScreenPicture) {
    Open(BRISALTO_TEST_DATA "/loading.tap");
    ASSERT_EQ(GridRows(), 2);
    const QImage picture = Picture(ToolTip(*Grid().model(), 1));
    ASSERT_EQ(picture.size(), QSize(512, 384));
    EXPECT_TRUE(picture.save(QCoreApplication::applicationDirPath() + "/loading-screen.png"));
}

}  // namespace
}  // namespace brisalto::testing
