// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace brisalto::testing {

// Answers each modal window that shows while the test waits in its modal loop: the first ones
// through the answers given, in order, any later one through `otherwise`. A modal loop cannot
// be entered and left from the test's own code, so this looks every few milliseconds.
class ModalWatcher {
public:
    using Answer = std::function<void(QWidget&)>;

    ModalWatcher(std::vector<Answer> answers, Answer otherwise)
        : answers_(std::move(answers)), otherwise_(std::move(otherwise)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(5);
    }

    // How many modal windows showed so far.
    int Shown() const { return shown_; }

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_) return;
        last_ = modal;
        const auto index = static_cast<std::size_t>(shown_++);
        // Answered from outside this timer's slot, so that the watcher still looks while the
        // answer waits in a modal loop of its own.
        QTimer::singleShot(0, modal, [this, modal, index] {
            (index < answers_.size() ? answers_[index] : otherwise_)(*modal);
        });
    }

    std::vector<Answer> answers_;
    Answer otherwise_;
    QTimer timer_;
    QPointer<QWidget> last_;
    int shown_ = 0;
};

}  // namespace brisalto::testing
