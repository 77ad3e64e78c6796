#include "QtFormDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

namespace brisalto {

namespace {

constexpr int kMaxFileNameLength = 259;

// Horizontally centred on the owner's monitor, the top at a third of the height left over.
void PlaceOnOwnersScreen(QWidget& dialog, const QWidget& owner) {
    const QScreen* screen = owner.screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize size = dialog.sizeHint().expandedTo(dialog.minimumSize());
    dialog.move(area.x() + (area.width() - size.width()) / 2,
                area.y() + (area.height() - size.height()) / 3);
}

void ShowMessage(QMessageBox::Icon icon, const QString& text) {
    // Owned by the application, not by a window: centred on the screen, every window disabled.
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

std::optional<QString> QtFormDialogs::ExecuteOpenDialog(QWidget& owner,
                                                        const OpenDialogSettings& settings) {
    QFileDialog dialog(&owner);
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
    PlaceOnOwnersScreen(dialog, owner);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFileInfo(chosen.front()).absoluteFilePath();
}

void QtFormDialogs::ShowFailure(const QString& text) {
    ShowMessage(QMessageBox::Critical, text);
}

void QtFormDialogs::ShowDamagedTape(const QString& text) {
    ShowMessage(QMessageBox::NoIcon, text);
}

}  // namespace brisalto
