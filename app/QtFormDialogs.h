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
};

}  // namespace brisalto
