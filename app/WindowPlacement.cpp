// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace brisalto {

namespace {

QMargins OwnFrame(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr || !handle->isVisible()) return {};
    // While the window system catches up with a resize, the margins can come out of the size the
    // window was first made with, even negative: that is no frame yet.
    const QMargins margins = handle->frameMargins();
    const bool real =
        margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
    return real ? margins : QMargins();
}

// This window's frame if it has one, else that of another window on the screen.
QMargins LikelyFrame(const QWidget& window) {
    const QMargins own = OwnFrame(window);
    if (!own.isNull()) return own;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == &window || !other->isVisible()) continue;
        const QMargins margins = OwnFrame(*other);
        if (!margins.isNull()) return margins;
    }
    return {};
}

QPoint FramePosition(const QWidget& window, QSize clientSize, Placement placement,
                     const QMargins& frame) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) return window.pos();
    const QRect area = screen->availableGeometry();
    const QSize size = clientSize.grownBy(frame);
    const int spareHeight = area.height() - size.height();
    return {area.x() + (area.width() - size.width()) / 2,
            area.y() + (placement == Placement::Centre ? spareHeight / 2 : spareHeight / 3)};
}

// Places the window again as soon as it has a frame of its own: the window system frames it some
// time after it is shown, and says so by moving it or by drawing it. Later moves are the user's.
class PlaceWhenFramed final : public QObject {
public:
    PlaceWhenFramed(QWidget& window, Placement placement)
        : QObject(&window), window_(window), size_(window.size()), placement_(placement) {
        window_.installEventFilter(this);
        Watch();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show: Watch(); break;
            case QEvent::Move:
            case QEvent::Expose: PlaceOnceFramed(); break;
            default: break;
        }
        return false;
    }

private:
    // The platform window, which hears of drawing, exists once the widget is first shown.
    void Watch() {
        if (QWindow* handle = window_.windowHandle(); handle != nullptr && !watching_) {
            handle->installEventFilter(this);
            watching_ = true;
        }
    }

    // Until the frame sits where it should; a few tries, so as never to fight the user.
    void PlaceOnceFramed() {
        const QMargins frame = OwnFrame(window_);
        if (frame.isNull()) return;
        QWindow& handle = *window_.windowHandle();
        const QPoint wanted = FramePosition(window_, size_, placement_, frame);
        if (handle.framePosition() != wanted && tries_++ < kTries) {
            handle.setPosition(wanted + QPoint(frame.left(), frame.top()));
            return;
        }
        window_.removeEventFilter(this);
        handle.removeEventFilter(this);
        deleteLater();
    }

    static constexpr int kTries = 3;
    QWidget& window_;
    // The size it was shown with: while the window system catches up, the window may for a
    // moment report the size it was first made with.
    const QSize size_;
    Placement placement_;
    bool watching_ = false;
    int tries_ = 0;
};

}  // namespace

void PlaceOnScreen(QWidget& window, Placement placement) {
    const QMargins frame = LikelyFrame(window);
    const QPoint position = FramePosition(window, window.size(), placement, frame);
    if (QWindow* handle = window.windowHandle()) {
        // A window that exists already is placed by its client area.
        handle->setPosition(position + QPoint(frame.left(), frame.top()));
    } else {
        window.move(position);  // places the frame of a window still to be made
    }
    if (OwnFrame(window).isNull()) new PlaceWhenFramed(window, placement);  // owned by window
}

}  // namespace brisalto
