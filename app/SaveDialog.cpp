// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include "DialogKeys.h"
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

}  // namespace

std::optional<QString> ExecSaveDialog(QWidget& owner, const SaveDialogSettings& settings) {
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

}  // namespace brisalto
