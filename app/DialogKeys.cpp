// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogKeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>

#include <set>

namespace brisalto {

namespace {

const QKeyEvent* FirstKeyEvent(const QEvent& event, QEvent::Type type) {
    if (event.type() != type) return nullptr;
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.isAutoRepeat() ? nullptr : &key;
}

// The keys that went down and have not come up again while it watches the application.
class KeysDown final : public QObject {
public:
    KeysDown() { qApp->installEventFilter(this); }

    const std::set<int>& Keys() const { return keys_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (const QKeyEvent* press = FirstKeyEvent(*event, QEvent::KeyPress)) {
            keys_.insert(press->key());
        } else if (const QKeyEvent* release = FirstKeyEvent(*event, QEvent::KeyRelease)) {
            keys_.erase(release->key());
        }
        return false;
    }

private:
    std::set<int> keys_;
};

// Swallows the next release of each key, then goes. A new press of a key means that its earlier
// release went to another program, so that key is left alone from then on.
class SwallowReleases final : public QObject {
public:
    explicit SwallowReleases(std::set<int> keys) : QObject(qApp), keys_(std::move(keys)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        bool swallow = false;
        if (const QKeyEvent* press = FirstKeyEvent(*event, QEvent::KeyPress)) {
            keys_.erase(press->key());
        } else if (const QKeyEvent* release = FirstKeyEvent(*event, QEvent::KeyRelease)) {
            swallow = keys_.erase(release->key()) > 0;
        }
        if (keys_.empty()) deleteLater();
        return swallow;
    }

private:
    std::set<int> keys_;
};

}  // namespace

namespace {

template <typename Run>
auto KeepingItsKeys(Run run) {
    KeysDown down;
    const auto result = run();
    if (!down.Keys().empty()) new SwallowReleases(down.Keys());  // owned by the application
    return result;
}

}  // namespace

int ExecKeepingItsKeys(QDialog& dialog) {
    return KeepingItsKeys([&dialog] { return dialog.exec(); });
}

QAction* ExecKeepingItsKeys(QMenu& menu, const QPoint& at) {
    return KeepingItsKeys([&menu, &at] { return menu.exec(at); });
}

}  // namespace brisalto
