// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveSteps.h"
#include "CatalogueTable.h"
#include "FormDialogs.h"
#include "HeldTape.h"
#include "TapeLocation.h"

class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace brisalto {

class CatalogueGrid;
class CatalogueModel;

// Where the last tape chosen lies: its file's full path, and its entry for a tape inside an
// archive. The listing handlers and the tooltips read it; empty until the first tape is chosen,
// and kept for the whole run.
extern TapeLocation TapeFileName;

// The main window: the catalogue grid, the listing pane and the controls below them.
class TFormM final : public QWidget {
    Q_OBJECT

public:
    explicit TFormM(FormDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormM() override;

    // Event handlers. None lets a failure out: each shows it in the failure display.
    void Button1Click();
    void RxDBGrid1CellClick();
    void RxDBGrid1KeyUp();
    // The row menu at globalPos, for the current row.
    void RxDBGrid1ContextMenu(const QPoint& globalPos);
    // The Block View of the current complete row (F3).
    void RxDBGrid1ViewBlock();
    void ChkSpeccyClick();
    // The row menu's "Record From Sound Input…": the tape recovered becomes the open tape, held
    // in memory, as if a file had been opened. A recording held and not yet saved is asked about
    // first, as before every open.
    void RecordFromSoundInput();

    // Opens the tape at path (absolute, in the core's form: bytes on POSIX) exactly as if it had
    // been chosen in the open dialog: every way of choosing a tape ends here. A recording held and
    // not yet saved is asked about first: Save saves it (Save Tape As), Discard goes on, Cancel
    // opens nothing.
    void OpenTape(const std::string& path);
    // The same for a path that Qt holds (the open dialog's; see ChosenFileBytes).
    void OpenTape(const QString& path);
    // Opens the next (direction +1) or previous (-1) tape of the open archive, without the
    // chooser (Alt+Right, Alt+Left); nothing past either end or for a tape of no archive.
    void StepArchiveTape(int direction);

public:  // components, owned by the window
    QLabel* Label3;
    CatalogueGrid* RxDBGrid1;
    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    QCheckBox* ChkShowRaw;
    QCheckBox* ChkSpeccy;
    QLabel* Label2;

    CatalogueTable TblTAPFiles;
    std::unique_ptr<CatalogueModel> DataSource1;  // observes TblTAPFiles, so dies before it
    OpenDialogSettings OpenDialog1;

protected:
    // Closing with a recording not yet saved asks first, as opening another tape does.
    void closeEvent(QCloseEvent* event) override;
    // A local file dropped on the window is opened like a chosen one; other drops are refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Becoming active, the window looks at the held tape's file: one changed while the user was
    // elsewhere is read again, so that tooltips show it as it is now.
    void changeEvent(QEvent* event) override;

private:
    void CreateComponents();
    void ListCurrentRow();
    // The tape at path, or the one chosen among an archive's tapes (which are left in tapes);
    // nothing when the user cancels the choice. A failure leaves an empty catalogue behind, as a
    // failed scan does.
    std::optional<TapeLocation> LocateTape(const std::string& path,
                                           std::vector<ArchiveTape>& tapes);
    // Reads and lists the tape at location, now the open one.
    void ReadTapeAt(const TapeLocation& location);
    void EmptyCatalogue();
    // Whether the window may let go of the tape it holds: yes unless it is a recording not yet
    // saved, about which the user is asked; Save runs Save Tape As and goes on once it saved.
    bool MayLetGoOfRecording();
    // Lists the blocks a recording's decoding has found so far, while its progress shows.
    void ListFoundSoFar(const TapeDocument& sofar);
    // Lists the held tape in the grid, or says it is damaged.
    void ListHeldTape();
    void ShowException(const std::exception& failure);
    // Runs a handler body; a failure that leaves it goes to the failure display.
    template <typename Body>
    void RunHandler(Body&& body) noexcept;

    FormDialogs& dialogs_;
    HeldTape heldTape_{TapeFileName};  // the document of TapeFileName
    ArchiveSteps archiveSteps_;        // the tapes of TapeFileName's archive
};

}  // namespace brisalto
