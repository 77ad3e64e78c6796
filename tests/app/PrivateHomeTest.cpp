// SPDX-License-Identifier: GPL-3.0-or-later
// Run with a private, empty HOME and configuration folder: the window, its dialogs and the end of
// the run must leave both as empty as they were.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "FormMain.h"
#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "RunCommand.h"
#include "Startup.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

std::string home, config, temporary;

// Every file and folder below root, one per line.
std::string Contents(const std::string& root) {
    std::string found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        found += entry.path().string() + "\n";
    }
    return found;
}

TEST(PrivateHome, OpeningATapeCancellingAndQuittingWriteNothingThere) {
    const TempTape tape(TapeBuilder().Header(3, "code", 0, 0).Get());
    {
        QtFormDialogs dialogs;
        TFormM form(dialogs);
        form.show();
        {
            const ModalWatcher watcher(
                {[&](QWidget& modal) {
                    auto& dialog = dynamic_cast<QFileDialog&>(modal);
                    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    ASSERT_NE(name, nullptr);
                    name->setText(QString::fromStdString(tape.Path()));
                    static_cast<QDialog&>(dialog).accept();
                }},
                [](QWidget& modal) { modal.close(); });
            form.Button1Click();
        }
        ASSERT_EQ(TapeFileName.path, tape.Path());
        {
            const ModalWatcher watcher({[](QWidget& modal) { modal.close(); }},
                                       [](QWidget& modal) { modal.close(); });
            form.Button1Click();
            EXPECT_EQ(watcher.Shown(), 1);
        }
    }
    EXPECT_EQ(Contents(home), "");
    EXPECT_EQ(Contents(config), "");
}

// A tape inside an archive is read into memory: nothing is unpacked, not even for a moment.
TEST(PrivateHome, OpeningATapeInsideAnArchiveWritesNoFileAnywhere) {
    const TempTape tape(TapeBuilder().Header(3, "code", 0, 0).Get(), "code.tap");
    RunCommand("cd '" + tape.Folder() + "' && zip -q code.zip code.tap && rm code.tap");
    const std::string before = Contents(temporary);
    {
        QtFormDialogs dialogs;
        TFormM form(dialogs);
        form.show();
        form.OpenTape(QString::fromStdString(tape.Folder() + "/code.zip"));
        EXPECT_EQ(form.TblTAPFiles.RowCount(), 1u);
        EXPECT_EQ(TapeFileName.entry, "code.tap");
    }
    EXPECT_EQ(Contents(temporary), before);
    EXPECT_EQ(Contents(home), "");
    EXPECT_EQ(Contents(config), "");
}

TEST(PrivateHome, ASaveDialogCancelledWritesNothingThere) {
    const TempTape folder({});
    {
        QWidget owner;
        owner.show();
        QtFormDialogs dialogs;
        const ModalWatcher watcher({[](QWidget& modal) { modal.close(); }},
                                   [](QWidget& modal) { modal.close(); });
        const SaveDialogSettings settings{QStringLiteral("Save Block As"),
                                          {QStringLiteral("Binary Files (*.bin)")},
                                          QString::fromStdString(folder.Folder()),
                                          QStringLiteral("code.bin")};
        EXPECT_FALSE(dialogs.ExecuteSaveDialog(owner, settings).has_value());
        EXPECT_EQ(watcher.Shown(), 1);
    }
    EXPECT_EQ(Contents(home), "");
    EXPECT_EQ(Contents(config), "");
}

}  // namespace
}  // namespace brisalto::testing

int main(int argc, char* argv[]) {
    using brisalto::testing::config;
    using brisalto::testing::home;
    using brisalto::testing::temporary;
    const auto root = std::filesystem::temp_directory_path() /
                      ("brisalto-home-" + std::to_string(QCoreApplication::applicationPid()));
    home = (root / "home").string();
    config = (root / "config").string();
    temporary = (root / "tmp").string();
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(temporary);
    setenv("TMPDIR", temporary.c_str(), 1);  // a temporary folder nobody else writes in
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (const char* variable : {"XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        unsetenv(variable);  // so that these, too, lie in the private HOME
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication application(argc, argv);
        brisalto::SetUpApplication(application);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    // And after the application has ended.
    const std::string left =
        brisalto::testing::Contents(home) + brisalto::testing::Contents(config);
    if (!left.empty()) {
        std::fprintf(stderr, "left behind after the end:\n%s", left.c_str());
        result = 1;
    }
    std::filesystem::remove_all(root);
    return result;
}
