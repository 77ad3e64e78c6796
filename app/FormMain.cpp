// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "BlockView.h"
#include "CatalogueGrid.h"
#include "CatalogueModel.h"
#include "DamagedTapeText.h"
#include "FailureText.h"
#include "ListBasicProgram.h"
#include "MemoLines.h"
#include "PathBytes.h"
#ifdef BRISALTO_HAS_RECORDER
#include "RecordDialog.h"
#endif
#include "RecordingErrors.h"
#include "RowMenu.h"
#include "SaveActions.h"
#include "ScanTape.h"
#include "TapeArchive.h"
#include "TapeDrop.h"
#include "TapeRows.h"
#include "TapeText.h"
#include "WindowPlacement.h"
#include "ZxFont.h"

namespace brisalto {

TapeLocation TapeFileName;

namespace {

constexpr int kClientWidth = 608;
constexpr int kClientHeight = 463;

constexpr int kStandInStretch = 96;  // percent of the stand-in face's width

const QString kMemoFont = QStringLiteral("Courier New");
constexpr int kMemoPixels = 13;
// The Spectrum's cells are 8 pixels a side: at twice that each pixel of a letter is a sharp 2x2
// square. At the pane's 13 pixels the strokes come out uneven; at 8 the letters are too small.
constexpr int kSpeccyPixels = 16;

QFont PixelFont(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The window's classic face, 11 pixels high. Where it is missing, the faces that stand in for it
// (see SetUpApplication) are a few percent wider, enough to clip "Use Zx Spectrum Font" in its
// check box; narrowed to the classic face's width, every caption fits the fixed layout again.
QFont WindowFont(bool bold = false) {
    QFont font = PixelFont(QStringLiteral("MS Sans Serif"), 11, bold);
    if (QFontInfo(font).family() != font.family()) font.setStretch(kStandInStretch);
    return font;
}

// Shows the views the rows a scan left, also when the scan fails half way.
class ScanInsideReset {
public:
    explicit ScanInsideReset(CatalogueModel& model) : model_(model) { model_.BeginScan(); }
    ~ScanInsideReset() { model_.EndScan(); }
    ScanInsideReset(const ScanInsideReset&) = delete;
    ScanInsideReset& operator=(const ScanInsideReset&) = delete;

private:
    CatalogueModel& model_;
};

}  // namespace

TFormM::TFormM(FormDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      DataSource1(std::make_unique<CatalogueModel>(TblTAPFiles)),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormM"));
    setWindowTitle(QStringLiteral("Brisalto"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    setAcceptDrops(true);
    CreateComponents();
    AddArchiveStepKeys(*this, [this](int direction) { StepArchiveTape(direction); });
    DataSource1->ReadPicturesFrom(heldTape_);
    heldTape_.ShowProgressOver(this);
    // A tape read in, or the catalogue emptied by a failed one: the views' rows are gone.
    connect(DataSource1.get(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { CloseBlockViews(*this); });

    PlaceOnScreen(*this, Placement::Centre);
    // The first control in tab order takes the focus when the window first becomes active.
    RxDBGrid1->setFocus(Qt::OtherFocusReason);
}

// The grid, a child widget, outlives the members; it lets go of the model before the model and
// the table it shows are destroyed.
TFormM::~TFormM() {
    RxDBGrid1->SetDataSource(nullptr);
}

void TFormM::CreateComponents() {
    Label3 = new QLabel(QStringLiteral("Tape Structure Information"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(228, 5, 153, 13);
    Label3->setFont(WindowFont(true));

    RxDBGrid1 = new CatalogueGrid(this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setGeometry(0, 24, 609, 177);
    RxDBGrid1->horizontalHeader()->setFont(WindowFont());
    RxDBGrid1->SetDataSource(DataSource1.get());

    Label1 = new QLabel(QStringLiteral("BASIC Code"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(271, 205, 70, 13);
    Label1->setFont(WindowFont(true));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 225, 609, 200);
    Memo1->setReadOnly(true);
    // Read-only, yet with a caret that the keys move and that can select and copy.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    Memo1->setFont(PixelFont(kMemoFont, kMemoPixels));

    Button1 = new QPushButton(QStringLiteral("Open Tape"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(2, 428, 105, 33);

    ChkShowRaw = new QCheckBox(QStringLiteral("Show Raw Blocks"), this);
    ChkShowRaw->setObjectName(QStringLiteral("ChkShowRaw"));
    ChkShowRaw->setGeometry(113, 432, 129, 26);
    ChkShowRaw->setChecked(true);

    ChkSpeccy = new QCheckBox(QStringLiteral("Use Zx Spectrum Font"), this);
    ChkSpeccy->setObjectName(QStringLiteral("ChkSpeccy"));
    ChkSpeccy->setGeometry(241, 432, 129, 26);

    Label2 = new QLabel(
        QStringLiteral("Written by the Brisalto authors\nLast update: August 16th, 2010"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(392, 432, 213, 26);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);

    for (QWidget* control : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(ChkShowRaw),
                             static_cast<QWidget*>(ChkSpeccy)}) {
        control->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(RxDBGrid1, Button1);
    setTabOrder(Button1, ChkShowRaw);
    setTabOrder(ChkShowRaw, Memo1);
    setTabOrder(Memo1, ChkSpeccy);

    connect(Button1, &QPushButton::clicked, this, &TFormM::Button1Click);
    connect(ChkSpeccy, &QCheckBox::toggled, this, &TFormM::ChkSpeccyClick);
    connect(RxDBGrid1, &CatalogueGrid::CellClick, this, &TFormM::RxDBGrid1CellClick);
    connect(RxDBGrid1, &CatalogueGrid::KeyUp, this, &TFormM::RxDBGrid1KeyUp);
    connect(RxDBGrid1, &CatalogueGrid::ContextMenu, this, &TFormM::RxDBGrid1ContextMenu);
    connect(RxDBGrid1, &CatalogueGrid::ViewBlock, this, &TFormM::RxDBGrid1ViewBlock);
}

template <typename Body>
void TFormM::RunHandler(Body&& body) noexcept {
    try {
        try {
            body();
        } catch (const RecordingCancelled&) {
            // The user stopped the recording's decoding: nothing to tell.
        } catch (const std::exception& failure) {
            ShowException(failure);
        }
    } catch (...) {
        // Nothing may cross the event loop, not even a failure of the display itself.
    }
}

void TFormM::ShowException(const std::exception& failure) {
    // An archive's failure names its file, whose path is UTF-8; the others hold tape bytes.
    if (dynamic_cast<const ArchiveError*>(&failure) != nullptr) {
        dialogs_.ShowFailure(QString::fromStdString(FailureText(failure.what())));
        return;
    }
    dialogs_.ShowFailure(TapeText(FailureText(failure.what())));
}

void TFormM::Button1Click() {
    std::optional<QString> chosen;
    RunHandler([this, &chosen] { chosen = dialogs_.ExecuteOpenDialog(*this, OpenDialog1); });
    if (chosen) OpenTape(*chosen);
}

void TFormM::EmptyCatalogue() {
    ScanInsideReset reset(*DataSource1);
    TblTAPFiles.Empty();
}

std::optional<TapeLocation> TFormM::LocateTape(const std::string& path,
                                               std::vector<ArchiveTape>& tapes) {
    TapeFileContents contents;
    try {
        contents = FindTapes(path);
        if (contents.archive && contents.tapes.empty()) throw ArchiveError(kArchiveWithoutTapeText);
    } catch (...) {
        OpenDialog1.Remember(ShownName(path));
        TapeFileName = TapeLocation(path);
        archiveSteps_.Forget();
        EmptyCatalogue();
        throw;
    }
    if (!contents.archive) return TapeLocation(path);
    std::size_t chosen = 0;
    if (contents.tapes.size() > 1) {
        const std::optional<std::size_t> answer =
            dialogs_.ChooseArchiveTape(*this, ShownName(path), contents.tapes);
        if (!answer || *answer >= contents.tapes.size()) return std::nullopt;
        chosen = *answer;
    }
    const ArchiveTape& tape = contents.tapes[chosen];
    TapeLocation location(path, tape.name, tape.index);
    tapes = std::move(contents.tapes);
    return location;
}

bool TFormM::MayLetGoOfRecording() {
    if (!heldTape_.Unsaved()) return true;
    switch (dialogs_.AskToSaveRecording(*this)) {
        case UnsavedRecordingAnswer::Discard: return true;
        case UnsavedRecordingAnswer::Cancel: return false;
        case UnsavedRecordingAnswer::Save: break;
    }
    const std::shared_ptr<const TapeDocument> document = heldTape_.Current();
    try {
        if (!document ||
            !SaveTapeAs({*this, dialogs_, heldTape_.Location(), *document, TblTAPFiles, 0})) {
            return false;
        }
    } catch (const SaveError& failure) {
        // Its message names a file, in UTF-8 rather than the tape's code page.
        dialogs_.ShowFailure(QString::fromUtf8(FailureText(failure.what())));
        return false;
    }
    heldTape_.MarkSaved();
    return true;
}

void TFormM::closeEvent(QCloseEvent* event) {
    bool close = false;
    RunHandler([this, &close] { close = MayLetGoOfRecording(); });
    if (!close) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TFormM::OpenTape(const QString& path) {
    OpenTape(ChosenFileBytes(path));
}

void TFormM::OpenTape(const std::string& path) {
    RunHandler([this, &path] {
        if (!MayLetGoOfRecording()) return;
        std::vector<ArchiveTape> tapes;
        const std::optional<TapeLocation> location = LocateTape(path, tapes);
        if (!location) return;
        const OpenDialogSettings dialogBefore = OpenDialog1;
        const ArchiveSteps stepsBefore = archiveSteps_;
        OpenDialog1.Remember(ShownName(path));
        if (location->InArchive()) {
            archiveSteps_.Follow(path, std::move(tapes), location->index);
        } else {
            archiveSteps_.Forget();
        }
        try {
            ReadTapeAt(*location);
        } catch (const RecordingCancelled&) {
            // A recording's decoding cancelled: the window goes on with the tape it had open.
            OpenDialog1 = dialogBefore;
            archiveSteps_ = stepsBefore;
            throw;
        }
    });
}

void TFormM::StepArchiveTape(int direction) {
    RunHandler([this, direction] {
        const std::optional<std::size_t> place = archiveSteps_.Neighbour(direction);
        if (!place || !MayLetGoOfRecording()) return;
        const ArchiveSteps stepsBefore = archiveSteps_;
        try {
            ReadTapeAt(archiveSteps_.StepTo(*place));
        } catch (const RecordingCancelled&) {
            archiveSteps_ = stepsBefore;
            throw;
        }
    });
}

void TFormM::ReadTapeAt(const TapeLocation& location) {
    const TapeLocation before = TapeFileName;
    const int rowBefore = DataSource1->CurrentRow();
    bool listedSoFar = false;
    TapeFileName = location;
    try {
        heldTape_.Read([this, &listedSoFar](const TapeDocument& sofar) {
            listedSoFar = true;
            ListFoundSoFar(sofar);
        });
    } catch (const RecordingCancelled&) {
        // The held tape, the grid, its row and the listing stay as they were: so does the
        // location. Rows found before the cancel make way for the held tape's again.
        TapeFileName = before;
        if (listedSoFar) {
            const std::shared_ptr<const TapeDocument> held = heldTape_.Held();
            {
                ScanInsideReset reset(*DataSource1);
                if (held) ListRows(*held, ChkShowRaw->isChecked(), TblTAPFiles);
            }
            if (rowBefore >= 0 && rowBefore < DataSource1->rowCount()) {
                DataSource1->MoveTo(rowBefore);
            }
        }
        throw;
    } catch (...) {
        EmptyCatalogue();
        throw;
    }
    ListHeldTape();
}

void TFormM::ListFoundSoFar(const TapeDocument& sofar) {
    ScanInsideReset reset(*DataSource1);
    try {
        ListRows(sofar, ChkShowRaw->isChecked(), TblTAPFiles);
    } catch (const std::exception&) {
        // The rows before it stay; the whole tape's listing, once read, says what is wrong.
        DataSource1->CancelOpenRow();
    }
}

void TFormM::ListHeldTape() {
    ScanResult result;
    {
        ScanInsideReset reset(*DataSource1);
        result = ListRows(*heldTape_.Current(), ChkShowRaw->isChecked(), TblTAPFiles);
    }
    if (result == ScanResult::Completed) {
        TblTAPFiles.First();
        RxDBGrid1->setFocus(Qt::OtherFocusReason);
    } else {
        dialogs_.ShowDamagedTape(QString::fromStdString(DamagedTapeText(kCannotContinueText)));
    }
}

void TFormM::dragEnterEvent(QDragEnterEvent* event) {
    TakeTapeDrag(*event);
}

void TFormM::dragMoveEvent(QDragMoveEvent* event) {
    TakeTapeDrag(*event);
}

void TFormM::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path = TakeTapeDrag(*event);
    if (!path) return;
    // Opened once the drop is over, so that a message box does not keep the dragging program
    // waiting for the drop to end.
    QMetaObject::invokeMethod(
        this, [this, tape = *path] { OpenTape(tape); }, Qt::QueuedConnection);
}

void TFormM::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) heldTape_.CheckFile();
    QWidget::changeEvent(event);
}

void TFormM::RxDBGrid1CellClick() {
    RunHandler([this] { ListCurrentRow(); });
}

void TFormM::RxDBGrid1KeyUp() {
    RunHandler([this] { ListCurrentRow(); });
}

void TFormM::RxDBGrid1ContextMenu(const QPoint& globalPos) {
    RunHandler([this, &globalPos] {
        RunRowMenu(*this, dialogs_, heldTape_, TblTAPFiles, *DataSource1, globalPos,
                   [this] { RecordFromSoundInput(); },
                   {archiveSteps_.HasPrevious(), archiveSteps_.HasNext(),
                    [this](int direction) { StepArchiveTape(direction); }});
    });
}

void TFormM::RxDBGrid1ViewBlock() {
    RunHandler([this] {
        const std::optional<std::size_t> index = TblTAPFiles.CurrentIndex();
        if (!index || TblTAPFiles.HasOpenRow()) return;
        OpenBlockView(*this, heldTape_.Current(), TblTAPFiles, *index);
    });
}

void TFormM::RecordFromSoundInput() {
#ifdef BRISALTO_HAS_RECORDER
    RunHandler([this] {
        if (!MayLetGoOfRecording()) return;
        RecordDialog recorder(*this);
        if (recorder.exec() != QDialog::Accepted || !recorder.Recovered()) return;
        TapeFileName = recorder.Recovered()->location;
        archiveSteps_.Forget();
        heldTape_.Hold(recorder.Recovered());
        ListHeldTape();
    });
#endif
}

void TFormM::ListCurrentRow() {
    Memo1->clear();
    const CatalogueRow* row = TblTAPFiles.CurrentRow();
    if (row == nullptr || AsInteger(*row, CatalogueField::Tipo) != kProgramDataTipo) return;
    // The full file position behind the row's 16-bit Offset, so that a program stored past
    // 64 KiB of tape is read from where it lies.
    const auto length = static_cast<std::uint16_t>(AsInteger(*row, CatalogueField::Par1));
    const std::shared_ptr<const TapeDocument> tape = heldTape_.Current();
    if (!tape) return;
    MemoLines lines(*Memo1);
    ListBasicProgram(*tape, row->Position, length, lines);
}

void TFormM::ChkSpeccyClick() {
    RunHandler([this] {
        QFont font = Memo1->font();
        const bool speccy = ChkSpeccy->isChecked();
        font.setFamily(speccy ? kSpeccyFont : kMemoFont);
        font.setPixelSize(speccy ? kSpeccyPixels : kMemoPixels);
        Memo1->setFont(font);
        RestyleBlockViews(*this, font);
    });
}

}  // namespace brisalto
