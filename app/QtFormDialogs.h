// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FormDialogs.h"

namespace brisalto {

// The dialogs of a running program: QFileDialog and QMessageBox.
class QtFormDialogs final : public FormDialogs {
public:
    std::optional<QString> ExecuteOpenDialog(QWidget& owner,
                                             const OpenDialogSettings& settings) override;
    void ShowFailure(const QString& text) override;
    void ShowDamagedTape(const QString& text) override;
    void ShowNote(const QString& text) override;
    std::optional<std::size_t> ChooseArchiveTape(QWidget& owner, const QString& archive,
                                                 const std::vector<ArchiveTape>& tapes) override;
    std::optional<QString> ExecuteSaveDialog(QWidget& owner,
                                             const SaveDialogSettings& settings) override;
    void ShowTapeInformation(QWidget& owner, const QString& text) override;
    UnsavedRecordingAnswer AskToSaveRecording(QWidget& owner) override;
};

}  // namespace brisalto
