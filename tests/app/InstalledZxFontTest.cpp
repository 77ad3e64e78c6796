// SPDX-License-Identifier: GPL-3.0-or-later
// Run with a font named "Zx Spectrum" installed in a private font folder (fontconfig reads
// $XDG_DATA_HOME/fonts): the user's own face wins over the one built into the program. That face
// is the ROM's cells in inverse video.
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FormMain.h"
#include "QtFormDialogs.h"
#include "ZxFont.h"
#include "Startup.h"

namespace brisalto::testing {
namespace {

TEST(InstalledSpeccyFont, ThePaneUsesItAndNotTheBuiltInFace) {
    ASSERT_TRUE(QFontDatabase::hasFamily(kBuiltInSpeccyFont));  // both are there to choose from
    QtFormDialogs dialogs;
    TFormM form(dialogs);
    form.ChkSpeccy->click();
    EXPECT_EQ(QFontInfo(form.Memo1->font()).family(), kSpeccyFont);

    // The ROM's "A" has 14 pixels of ink in its 64; inverted, 50. Installed faces are drawn as
    // fontconfig says, which may blur edges: more than half the cell in ink is the inverted one.
    const QFont font = form.Memo1->font();
    const int size = font.pixelSize();
    QImage letter(size, size, QImage::Format_Grayscale8);
    letter.fill(Qt::white);
    {
        QPainter painter(&letter);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, QFontMetrics(font).ascent()), QStringLiteral("A"));
    }
    int ink = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) ink += qGray(letter.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(ink * 2, size * size) << ink << " of " << size * size << " pixels in ink";
}

}  // namespace
}  // namespace brisalto::testing

int main(int argc, char* argv[]) {
    const auto root = std::filesystem::temp_directory_path() /
                      ("brisalto-fonts-" + std::to_string(QCoreApplication::applicationPid()));
    const auto fonts = root / "data" / "fonts";
    std::filesystem::create_directories(fonts);
    std::filesystem::copy_file(BRISALTO_INSTALLED_SPECCY_FONT, fonts / "ZxSpectrum.ttf");
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);  // fontconfig's cache of that folder
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication application(argc, argv);
        brisalto::SetUpApplication(application);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::filesystem::remove_all(root);
    return result;
}
