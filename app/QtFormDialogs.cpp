// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtFormDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>

#include "ArchiveTapeChooser.h"
#include "DialogKeys.h"
#include "TapeInformationDialog.h"
#include "WindowPlacement.h"

namespace brisalto {

namespace {

// Placed as the open dialog is, once shown. (No Q_OBJECT: a subclass with one would rule out
// the platform's dialog.)
class SaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void showEvent(QShowEvent* event) override {
        QFileDialog::showEvent(event);
        PlaceOnScreen(*this, Placement::ThirdsDown);
    }
};

// "png" from "PNG Images (*.png)"; nothing from an entry that matches every name.
QString SuffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

constexpr int kMaxFileNameLength = 259;

// Qt's own dialog appends the default suffix to every typed name without a dot, also when that
// name is an existing file without an extension and the suffixed one does not exist; such a
// name is taken as typed. (No Q_OBJECT: a subclass with one would rule out the platform's
// dialog.)
class OpenDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The file chosen, or nothing when the dialog was cancelled.
    std::optional<QString> Chosen() const {
        if (result() != QDialog::Accepted) return std::nullopt;
        // In the system's own form: back slashes on Windows, as its open dialog gives them.
        if (typedAsIs_) return QDir::toNativeSeparators(*typedAsIs_);
        const QStringList chosen = selectedFiles();
        if (chosen.isEmpty()) return std::nullopt;
        return QDir::toNativeSeparators(QFileInfo(chosen.front()).absoluteFilePath());
    }

protected:
    // Horizontally centred on the owner's monitor, the top at a third of the height left over;
    // placed once shown, when it has the size it shows with.
    void showEvent(QShowEvent* event) override {
        QFileDialog::showEvent(event);
        PlaceOnScreen(*this, Placement::ThirdsDown);
    }

    void accept() override {
        const auto* nameBox = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = nameBox != nullptr ? nameBox->text() : QString();
        if (!typed.isEmpty() && !typed.contains(QLatin1Char('.'))) {
            const QFileInfo asTyped(directory(), typed);
            const QFileInfo suffixed(directory(), typed + QLatin1Char('.') + defaultSuffix());
            if (asTyped.isFile() && !suffixed.exists()) {
                typedAsIs_ = asTyped.absoluteFilePath();
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    std::optional<QString> typedAsIs_;
};

// Centred on the screen once it knows its size, which it works out as it is shown.
class CentredMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        PlaceOnScreen(*this, Placement::Centre);
    }
};

void ShowMessage(QMessageBox::Icon icon, const QString& text) {
    // Owned by the application, not by a window: centred on the screen, every window disabled.
    CentredMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    ExecKeepingItsKeys(box);
}

}  // namespace

std::optional<QString> QtFormDialogs::ExecuteOpenDialog(QWidget& owner,
                                                        const OpenDialogSettings& settings) {
    OpenDialog dialog(&owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(settings.filters);
    dialog.selectNameFilter(settings.filters.value(settings.selectedFilter));
    dialog.setDefaultSuffix(settings.defaultSuffix);
    const QFileInfo last(settings.fileName);
    if (last.isAbsolute()) dialog.setDirectory(last.absolutePath());
    dialog.selectFile(settings.fileName);
    // Only Qt's own dialog has a name box to limit; a native one keeps its system's limit.
    if (auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        nameBox->setMaxLength(kMaxFileNameLength);
    }
    dialog.exec();
    return dialog.Chosen();
}

void QtFormDialogs::ShowFailure(const QString& text) {
    ShowMessage(QMessageBox::Critical, text);
}

void QtFormDialogs::ShowDamagedTape(const QString& text) {
    ShowMessage(QMessageBox::NoIcon, text);
}

void QtFormDialogs::ShowNote(const QString& text) {
    ShowMessage(QMessageBox::Information, text);
}

std::optional<std::size_t> QtFormDialogs::ChooseArchiveTape(QWidget& owner, const QString& archive,
                                                            const std::vector<ArchiveTape>& tapes) {
    ArchiveTapeChooser chooser(archive, tapes, &owner);
    if (ExecKeepingItsKeys(chooser) != QDialog::Accepted) return std::nullopt;
    return chooser.Chosen();
}

std::optional<QString> QtFormDialogs::ExecuteSaveDialog(QWidget& owner,
                                                        const SaveDialogSettings& settings) {
    SaveDialog dialog(&owner, settings.caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(settings.filters);
    dialog.selectNameFilter(settings.filters.value(0));
    dialog.setDefaultSuffix(SuffixOf(settings.filters.value(0)));
    // A name typed without a suffix takes the one of the entry selected.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
    dialog.setDirectory(settings.folder);
    dialog.selectFile(settings.fileName);
    if (ExecKeepingItsKeys(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(QFileInfo(chosen.front()).absoluteFilePath());
}

void QtFormDialogs::ShowTapeInformation(QWidget& owner, const QString& text) {
    TapeInformationDialog dialog(text, &owner);
    ExecKeepingItsKeys(dialog);
}

UnsavedRecordingAnswer QtFormDialogs::AskToSaveRecording(QWidget& owner) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QStringLiteral("The tape recorded from the sound input has not been saved. "
                                   "Save it first?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    ExecKeepingItsKeys(box);
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Save: return UnsavedRecordingAnswer::Save;
        case QMessageBox::Discard: return UnsavedRecordingAnswer::Discard;
        default: return UnsavedRecordingAnswer::Cancel;
    }
}

}  // namespace brisalto
