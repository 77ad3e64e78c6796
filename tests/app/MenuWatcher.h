// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace brisalto::testing {

// The item captions of a menu as the user reads them: mnemonic marks left out.
inline QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (const QAction* action : menu.actions()) captions << QString(action->text()).remove('&');
    return captions;
}

// Answers each pop-up menu that shows while the test waits in the menu's loop, as ModalWatcher
// answers modal windows: records its items, then hands it to `answer`.
class MenuWatcher {
public:
    using Answer = std::function<void(QMenu&)>;

    explicit MenuWatcher(Answer answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(5);
    }

    int Shown() const { return shown_; }
    const QStringList& Items() const { return items_; }

private:
    void Look() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || menu == last_) return;
        last_ = menu;
        ++shown_;
        items_ = Captions(*menu);
        QTimer::singleShot(0, menu, [this, menu] { answer_(*menu); });
    }

    Answer answer_;
    QTimer timer_;
    QPointer<QMenu> last_;
    int shown_ = 0;
    QStringList items_;
};

}  // namespace brisalto::testing
