// SPDX-License-Identifier: GPL-3.0-or-later
// The real save dialog, inspected and answered while it runs.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

TEST(RealSaveDialog, OpensInTheFolderOnTheNameOfferedAndAsksBeforeReplacingAFile) {
    const TempTape existing({1}, "code-32768.bin");
    const SaveDialogSettings settings{
        .caption = QStringLiteral("Save Block As"),
        .filters = {QStringLiteral("Binary Files (*.bin)"),
                    QStringLiteral("Spectrum Tape Files (*.tap)"), kAllFilesFilter},
        .folder = QString::fromStdString(existing.Folder()),
        .fileName = QStringLiteral("code-32768.bin"),
    };
    QWidget owner;
    owner.show();
    QtFormDialogs real;
    // Replacing refused leaves the dialog open (it is cancelled then); agreed to, it ends.
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "No");
        QString question;
        const ModalWatcher watcher(
            {[&](QWidget& modal) {
                 auto* dialog = qobject_cast<QFileDialog*>(&modal);
                 ASSERT_NE(dialog, nullptr);
                 EXPECT_EQ(dialog->windowTitle(), settings.caption);
                 EXPECT_EQ(QDir(dialog->directory()), QDir(settings.folder));
                 EXPECT_EQ(dialog->nameFilters(), settings.filters);
                 EXPECT_EQ(dialog->selectedNameFilter(), settings.filters.front());
                 EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("bin"));
                 const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                 ASSERT_NE(name, nullptr);
                 EXPECT_EQ(name->text(), settings.fileName);
                 static_cast<QDialog*>(dialog)->accept();  // asks, and returns once answered
                 if (dialog->isVisible()) dialog->reject();
             },
             [&](QWidget& modal) {
                 auto* box = qobject_cast<QMessageBox*>(&modal);
                 ASSERT_NE(box, nullptr);
                 question = box->text();
                 box->button(answer)->click();
             }},
            [](QWidget& modal) { modal.close(); });  // the dialog again, once the box has gone
        const std::optional<QString> chosen = real.ExecuteSaveDialog(owner, settings);
        EXPECT_TRUE(question.contains(QStringLiteral("already exists"))) << question.toStdString();
        if (answer == QMessageBox::Yes) {
            ASSERT_TRUE(chosen.has_value());
            EXPECT_EQ(*chosen, QDir::toNativeSeparators(QString::fromStdString(existing.Path())));
        } else {
            EXPECT_FALSE(chosen.has_value());
        }
    }
}

TEST(RealSaveDialog, TheNameTakesTheSuffixOfTheEntryChosen) {
    const TempTape folder({});
    const SaveDialogSettings settings{
        .caption = QStringLiteral("Save Screen As"),
        .filters = {QStringLiteral("PNG Images (*.png)"),
                    QStringLiteral("Spectrum Screens (*.scr)"), kAllFilesFilter},
        .folder = QString::fromStdString(folder.Folder()),
        .fileName = QStringLiteral("loading.png"),
    };
    QWidget owner;
    owner.show();
    QtFormDialogs real;
    const ModalWatcher watcher(
        {[&](QWidget& modal) {
            auto* dialog = qobject_cast<QFileDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            // The entry chosen in its list, as the user does.
            auto* entries = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(entries, nullptr);
            entries->setCurrentIndex(1);
            emit entries->activated(1);
            emit entries->textActivated(entries->itemText(1));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->text(), QStringLiteral("loading.scr"));
            name->setText(QStringLiteral("picture"));
            EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("scr"));
            static_cast<QDialog*>(dialog)->accept();
        }},
        [](QWidget& modal) { modal.close(); });
    EXPECT_EQ(real.ExecuteSaveDialog(owner, settings).value_or(QString()).toStdString(),
              QDir::toNativeSeparators(QString::fromStdString(folder.Folder() + "/picture.scr"))
                  .toStdString());
}

}  // namespace
}  // namespace brisalto::testing
