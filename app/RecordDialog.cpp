// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "RecoveredBlockText.h"

namespace brisalto {

namespace {

constexpr unsigned kRate = 44'100;
constexpr int kPollMilliseconds = 50;

const QString kTitle = QStringLiteral("Record From Sound Input");
// The id of the input chosen last, empty for the system's default. Kept for the run only: the
// program writes no settings (Startup), so nothing of it outlives the program.
QString& LastInput() {
    static QString id;
    return id;
}

}  // namespace

RecordDialog::RecordDialog(QWidget& owner)
    : QDialog(&owner),
      state_(new QLabel(QStringLiteral("Play the tape into the sound input, then press Record."),
                        this)),
      inputs_(new QComboBox(this)),
      level_(new QProgressBar(this)),
      blocks_(new QListWidget(this)),
      record_(new QPushButton(QStringLiteral("&Record"), this)),
      stop_(new QPushButton(QStringLiteral("&Stop"), this)) {
    setObjectName(QStringLiteral("RecordDialog"));
    setWindowTitle(kTitle);
    state_->setObjectName(QStringLiteral("State"));
    inputs_->setObjectName(QStringLiteral("Input"));
    inputs_->addItem(QStringLiteral("Default sound input"), QString());
    for (const SoundInputDevice& device : SoundInputDevices())
        inputs_->addItem(device.description, device.id);
    // The input chosen last, while the system still has it.
    const int last = inputs_->findData(LastInput());
    inputs_->setCurrentIndex(std::max(last, 0));
    level_->setObjectName(QStringLiteral("Level"));
    level_->setRange(0, 100);
    level_->setValue(0);
    level_->setFormat(QStringLiteral("Level"));
    blocks_->setObjectName(QStringLiteral("Blocks"));
    blocks_->setMinimumSize(420, 200);
    stop_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(record_);
    buttons->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(state_);
    auto* input = new QFormLayout;
    input->addRow(QStringLiteral("Sound &input:"), inputs_);
    layout->addLayout(input);
    layout->addWidget(level_);
    layout->addWidget(blocks_);
    layout->addLayout(buttons);

    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, &RecordDialog::TakeSound);
    connect(record_, &QPushButton::clicked, this, &RecordDialog::Record);
    connect(stop_, &QPushButton::clicked, this, &RecordDialog::Stop);
}

RecordDialog::~RecordDialog() = default;

void RecordDialog::Record() {
    const QString id = inputs_->currentData().toString();
    LastInput() = id;
    input_ = MakeRecordingInput(kRate, id);
    if (!input_) {
        state_->setText(QStringLiteral("There is no sound input to record from."));
        return;
    }
    decoder_ = std::make_unique<RecordingDecoder>(
        kRate, [this](RecoveredBlock block) { ShowBlock(block); }, kLiveHoldPauseSeconds);
    blocks_->clear();
    recorded_ = 0;
    record_->setEnabled(false);
    inputs_->setEnabled(false);
    stop_->setEnabled(true);
    stop_->setFocus();
    state_->setText(QStringLiteral("Recording\u2026"));
    poll_.start();
}

void RecordDialog::TakeSound() {
    samples_.clear();
    input_->Take(samples_);
    // The loudest sample since the last look; a look that found nothing new leaves the meter.
    if (!samples_.empty()) {
        float peak = 0;
        for (const float sample : samples_) peak = std::max(peak, std::abs(sample));
        level_->setValue(static_cast<int>(std::lround(std::min(peak, 1.0f) * 100)));
    }
    decoder_->AddSamples(samples_);
    recorded_ += samples_.size();
    if (input_->Failed()) {
        // What came before the failure is kept: Stop decodes it as usual.
        poll_.stop();
        state_->setText(
            QStringLiteral("The sound input failed; press Stop to keep what was "
                           "recorded."));
        return;
    }
    const std::uint32_t blocks = decoder_->DataBlocks();
    state_->setText(QStringLiteral("Recording: %1 s, %2 data block%3")
                        .arg(recorded_ / kRate)
                        .arg(blocks)
                        .arg(blocks == 1 ? QString() : QStringLiteral("s")));
}

void RecordDialog::ShowBlock(const RecoveredBlock& block) {
    auto* item = new QListWidgetItem(QString::fromStdString(RecoveredBlockText(block)), blocks_);
    if (block.data && (block.broke || !block.checksumGood)) item->setForeground(Qt::red);
    blocks_->scrollToItem(item);
}

void RecordDialog::Stop() {
    if (!decoder_) return;
    poll_.stop();
    TakeSound();
    input_.reset();
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(decoder_->Finish());
    decoder_.reset();
    recovered_ = std::make_shared<const TapeDocument>(TapeDocumentFromBytes(
        TapeLocation(QDir::current().filePath(QStringLiteral("Recording.tzx")).toStdString()),
        std::move(bytes)));
    accept();
}

void RecordDialog::reject() {
    if (input_) {
        const auto answer =
            QMessageBox::question(this, kTitle, QStringLiteral("Stop recording and discard it?"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
        poll_.stop();
        input_.reset();
        decoder_.reset();
    }
    QDialog::reject();
}

}  // namespace brisalto
