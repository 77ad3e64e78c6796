// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "FormFixture.h"
#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

// The real dialogs, answered from a timer while their modal loops run.
class RealDialogs : public FormFixture {
protected:
    // What the open dialog showed the first time it came up.
    struct OpenDialogSeen {
        QStringList filters;
        QString selectedFilter;
        QString suffix;
        QString nameBox;
        int nameBoxLimit = 0;
        QString folder;
        QString title;
        QStringList buttons;
        QRect frame;
    };

    // Runs the open dialog; `answer` inspects and then accepts or rejects it.
    std::optional<QString> RunOpenDialog(const std::function<void(QFileDialog&)>& answer) {
        const ModalWatcher watcher({[&](QWidget& modal) {
                                       auto* dialog = qobject_cast<QFileDialog*>(&modal);
                                       ASSERT_NE(dialog, nullptr);
                                       answer(*dialog);
                                   }},
                                   [](QWidget& modal) {
                                       ADD_FAILURE()
                                           << "unexpected " << modal.metaObject()->className();
                                       modal.close();
                                   });
        return real.ExecuteOpenDialog(form, form.OpenDialog1);
    }

    static OpenDialogSeen Inspect(QFileDialog& dialog) {
        OpenDialogSeen seen;
        seen.filters = dialog.nameFilters();
        seen.selectedFilter = dialog.selectedNameFilter();
        seen.suffix = dialog.defaultSuffix();
        if (const auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            seen.nameBox = nameBox->text();
            seen.nameBoxLimit = nameBox->maxLength();
        }
        seen.folder = QDir::toNativeSeparators(dialog.directory().absolutePath());
        seen.title = dialog.windowTitle();
        if (const auto* box = dialog.findChild<QDialogButtonBox*>()) {
            for (const QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        }
        seen.frame = dialog.frameGeometry();
        return seen;
    }

    // The names the dialog's file list shows once it has read the folder.
    static QStringList ListedNames(QFileDialog& dialog) {
        auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
        if (list == nullptr) return {};
        const auto names = [list] {
            QStringList shown;
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row) {
                shown << list->model()->index(row, 0, root).data().toString();
            }
            shown.sort();
            return shown;
        };
        static_cast<void>(QTest::qWaitFor([&] { return !names().isEmpty(); }, 2000));
        return names();
    }

    QtFormDialogs real;
};

TEST_F(RealDialogs, OpenDialogShowsItsSettingsAndCancelGivesNothing) {
    OpenDialogSeen seen;
    const auto chosen = RunOpenDialog([&](QFileDialog& dialog) {
        seen = Inspect(dialog);
        dialog.reject();
    });

    EXPECT_FALSE(chosen.has_value());
    EXPECT_EQ(seen.filters,
              QStringList({kAllTapesFilter, "Spectrum Tape Files (*.tap)", "TZX Tape Files (*.tzx)",
                           kArchivedTapesFilter, kRecordingsFilter, kAllFilesFilter}));
    EXPECT_EQ(seen.selectedFilter, kAllTapesFilter);
    EXPECT_EQ(seen.suffix, QStringLiteral("tap"));
    EXPECT_EQ(seen.nameBox, QStringLiteral("*.tap"));
    EXPECT_EQ(seen.nameBoxLimit, 259);
    EXPECT_EQ(seen.title, QFileDialog().windowTitle()) << "no title of its own";
    EXPECT_EQ(seen.buttons.size(), 2);
    // Horizontally centred on the owner's screen, its top at a third of the height left over.
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE(std::abs(seen.frame.center().x() - screen.center().x()), 1);
    const int above = seen.frame.top() - screen.top();
    const int below = screen.bottom() - seen.frame.bottom();
    EXPECT_LE(std::abs(2 * above - below), 3) << above << " above, " << below << " below";
}

TEST_F(RealDialogs, OpenDialogReopensAtTheLastTapeAndReturnsItsFullPath) {
    const TempTape tape(TapeBuilder().Header(3, "code", 0, 0).Get(), "last.tap");
    form.OpenDialog1.fileName = QString::fromStdString(tape.Path());
    OpenDialogSeen seen;
    const auto chosen = RunOpenDialog([&](QFileDialog& dialog) {
        seen = Inspect(dialog);
        static_cast<QDialog&>(dialog).accept();
    });

    EXPECT_EQ(seen.folder, QString::fromStdString(tape.Folder()));
    EXPECT_TRUE(seen.nameBox.endsWith(QStringLiteral("last.tap"))) << seen.nameBox.toStdString();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QString::fromStdString(tape.Path()));
}

TEST_F(RealDialogs, AllFilesShowsAndOpensAFileWithoutExtension) {
    const TempTape tape(TapeBuilder().Header(3, "code", 0, 0).Get(), "one.tap");
    std::ofstream(tape.Folder() + "/README") << "not a tape";
    form.OpenDialog1.fileName = QString::fromStdString(tape.Path());
    QStringList tapeFilterNames, allFilesNames;
    const auto chosen = RunOpenDialog([&](QFileDialog& dialog) {
        tapeFilterNames = ListedNames(dialog);
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_End);  // as the user picks it: the last entry
        static_cast<void>(QTest::qWaitFor([&] { return ListedNames(dialog).size() > 1; }, 2000));
        allFilesNames = ListedNames(dialog);
        // Typed in the name box, as a user picks it from the list or types it.
        auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        nameBox->clear();
        QTest::keyClicks(nameBox, QStringLiteral("README"));
        QTest::keyClick(nameBox, Qt::Key_Return);
        if (dialog.isVisible()) dialog.reject();  // the name was refused
    });

    EXPECT_EQ(tapeFilterNames, QStringList({"one.tap"}));
    EXPECT_EQ(allFilesNames, QStringList({"README", "one.tap"}));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen,
              QString::fromStdString((std::filesystem::path(tape.Folder()) / "README").string()));
}

struct MessageCase {
    const char* what;
    void (QtFormDialogs::*show)(const QString&);
    QMessageBox::Icon icon;
};

TEST_F(RealDialogs, MessageBoxesHaveTheirIconTextAndOneOkButtonCentredOnTheScreen) {
    const MessageCase cases[] = {
        {"failure", &QtFormDialogs::ShowFailure, QMessageBox::Critical},
        {"damaged tape", &QtFormDialogs::ShowDamagedTape, QMessageBox::NoIcon},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.what);
        QMessageBox::Icon icon{};
        QString text, title;
        Qt::TextFormat format{};
        Qt::WindowModality modality{};
        QList<QAbstractButton*> buttons;
        bool okIsDefault = false, okIsEscape = false, owned = true;
        QRect frame;
        const ModalWatcher watcher(
            {[&](QWidget& modal) {
                auto* box = qobject_cast<QMessageBox*>(&modal);
                ASSERT_NE(box, nullptr);
                icon = box->icon();
                text = box->text();
                title = box->windowTitle();
                format = box->textFormat();
                modality = box->windowModality();
                owned = box->parentWidget() != nullptr;
                buttons = box->buttons();
                okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
                okIsEscape = box->escapeButton() == box->button(QMessageBox::Ok);
                frame = box->frameGeometry();
                box->button(QMessageBox::Ok)->click();
            }},
            [](QWidget& modal) { modal.close(); });

        (real.*c.show)(QStringLiteral("<b>50% & more</b>"));

        EXPECT_EQ(watcher.Shown(), 1);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(text, QStringLiteral("<b>50% & more</b>"));
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(title, QStringLiteral("Brisalto"));
        EXPECT_EQ(modality, Qt::ApplicationModal);
        EXPECT_FALSE(owned);
        EXPECT_EQ(buttons.size(), 1);
        EXPECT_TRUE(okIsDefault);
        EXPECT_TRUE(okIsEscape);
        const QRect screen = form.screen()->availableGeometry();
        EXPECT_LE((frame.center() - screen.center()).manhattanLength(), 2)
            << "frame at " << frame.x() << "," << frame.y();
    }
}

}  // namespace
}  // namespace brisalto::testing
