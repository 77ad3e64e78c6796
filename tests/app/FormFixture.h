// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "CatalogueGrid.h"
#include "CatalogueModel.h"
#include "FormDialogs.h"
#include "FormMain.h"

namespace brisalto::testing {

// Answers the open dialog from a queue (an empty queue cancels) and records every message.
class RecordingDialogs final : public FormDialogs {
public:
    std::optional<QString> ExecuteOpenDialog(QWidget&,
                                             const OpenDialogSettings& settings) override {
        offeredFileNames.push_back(settings.fileName);
        offeredFilters.push_back(settings.filters.value(settings.selectedFilter));
        if (answers.empty()) return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowFailure(const QString& text) override { failures.push_back(text); }
    void ShowDamagedTape(const QString& text) override { damaged.push_back(text); }
    void ShowNote(const QString& text) override { notes.push_back(text); }
    // The chooser answers with chooserAnswer (nothing: cancelled) and records what it offered.
    std::optional<std::size_t> ChooseArchiveTape(QWidget&, const QString&,
                                                 const std::vector<ArchiveTape>& tapes) override {
        std::vector<std::string> names;
        for (const ArchiveTape& tape : tapes) names.push_back(tape.name);
        chooserOffers.push_back(names);
        return chooserAnswer;
    }
    // Saves go to saveAnswers in turn (an empty queue cancels).
    std::optional<QString> ExecuteSaveDialog(QWidget&,
                                             const SaveDialogSettings& settings) override {
        saves.push_back(settings);
        if (saveAnswers.empty()) return std::nullopt;
        const QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    void ShowTapeInformation(QWidget&, const QString& text) override {
        information.push_back(text);
    }
    // Answers from recordingAnswers in turn (an empty queue cancels), counting the questions.
    UnsavedRecordingAnswer AskToSaveRecording(QWidget&) override {
        ++recordingQuestions;
        if (recordingAnswers.empty()) return UnsavedRecordingAnswer::Cancel;
        const UnsavedRecordingAnswer answer = recordingAnswers.front();
        recordingAnswers.pop_front();
        return answer;
    }

    std::deque<QString> answers;
    std::optional<std::size_t> chooserAnswer;
    std::vector<std::vector<std::string>> chooserOffers;
    std::vector<QString> offeredFileNames;
    std::vector<QString> offeredFilters;  // the entry selected at each opening
    std::vector<QString> failures;
    std::vector<QString> damaged;
    std::vector<QString> notes;
    std::deque<QString> saveAnswers;
    std::vector<SaveDialogSettings> saves;
    std::vector<QString> information;
    std::deque<UnsavedRecordingAnswer> recordingAnswers;
    int recordingQuestions = 0;
};

// The main window, shown and active on the offscreen platform.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // The user goes to another window and comes back to this one.
    void LeaveAndComeBack() {
        QWidget elsewhere;
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void Open(const std::string& path) {
        dialogs.answers.push_back(QString::fromStdString(path));
        form.Button1Click();
    }
    CatalogueGrid& Grid() { return *form.RxDBGrid1; }
    int CurrentRow() const { return form.DataSource1->CurrentRow(); }
    int GridRows() const { return form.RxDBGrid1->model()->rowCount(); }
    QString Pane() const { return form.Memo1->toPlainText(); }
    QString Cell(int row, int column) const {
        return form.RxDBGrid1->model()->index(row, column).data().toString();
    }
    // Centre of a data cell, in the grid's viewport.
    QPoint CellCentre(int row, int column) {
        return Grid().visualRect(Grid().model()->index(row, column)).center();
    }

    RecordingDialogs dialogs;
    TFormM form{dialogs};
};

}  // namespace brisalto::testing
