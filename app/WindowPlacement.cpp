// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <utility>

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
    // wanted: where the frame is to go, given the frame.
    PlaceWhenFramed(QWidget& window, std::function<QPoint(const QMargins&)> wanted)
        : QObject(&window), window_(window), wanted_(std::move(wanted)) {
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
        const QPoint wanted = wanted_(frame);
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
    std::function<QPoint(const QMargins&)> wanted_;
    bool watching_ = false;
    int tries_ = 0;
};

constexpr int kCascadeStep = 28;        // about a title bar's height
constexpr int kLeastHeightBelow = 240;  // less, and a window below keep would be too low to use

// Moves window's frame to framePosition, frame being its frame or a likely one.
void MoveFrame(QWidget& window, QPoint framePosition, const QMargins& frame) {
    if (QWindow* handle = window.windowHandle()) {
        // A window that exists already is placed by its client area.
        handle->setPosition(framePosition + QPoint(frame.left(), frame.top()));
    } else {
        window.move(framePosition);  // places the frame of a window still to be made
    }
}

}  // namespace

QRect FrameBeside(const QRect& area, const QRect& ownerFrame, const QRect& keep, QSize wanted,
                  int minimumWidth, int cascade) {
    const int rightRoom = area.right() - ownerFrame.right();
    const int leftRoom = ownerFrame.left() - area.left();
    const bool right = rightRoom >= wanted.width() || rightRoom >= leftRoom;
    const int room = right ? rightRoom : leftRoom;
    QRect frame;
    if (room >= minimumWidth) {
        const int width = std::min(wanted.width(), room);
        frame = QRect(right ? ownerFrame.right() + 1 : ownerFrame.left() - width, ownerFrame.top(),
                      width, std::min(wanted.height(), area.height()));
    } else {
        const int top = keep.bottom() + 1;
        const int height = std::max(std::min(wanted.height(), area.bottom() + 1 - top),
                                    std::min(kLeastHeightBelow, wanted.height()));
        frame = QRect(ownerFrame.left(), top, std::min(wanted.width(), area.width()),
                      std::min(height, area.height()));
    }
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));

    // Down and away from the owner, cut at the screen's edge; round again where that would leave
    // less than minimumWidth or kLeastHeightBelow.
    const bool leftward = room >= minimumWidth && !right;
    const int across = leftward ? frame.right() + 1 - area.left() : area.right() + 1 - frame.left();
    const int down = area.bottom() + 1 - frame.top();
    const int steps =
        1 +
        std::max(0, std::min((across - std::min(minimumWidth, frame.width())) / kCascadeStep,
                             (down - std::min(kLeastHeightBelow, frame.height())) / kCascadeStep));
    const int step = (cascade % steps) * kCascadeStep;
    return frame.translated(leftward ? -step : step, step).intersected(area);
}

void PlaceOnScreen(QWidget& window, Placement placement) {
    const QMargins frame = LikelyFrame(window);
    MoveFrame(window, FramePosition(window, window.size(), placement, frame), frame);
    if (OwnFrame(window).isNull()) {
        // The size it is shown with: while the window system catches up, the window may for a
        // moment report the size it was first made with.
        new PlaceWhenFramed(window,
                            [&window, size = window.size(), placement](const QMargins& own) {
                                return FramePosition(window, size, placement, own);
                            });  // owned by window
    }
}

void PlaceBeside(QWidget& window, const QWidget& owner, const QRect& keep, int minimumWidth,
                 int cascade) {
    const QScreen* screen = owner.screen();
    if (screen == nullptr) return;
    const QMargins frame = LikelyFrame(window);
    const QRect keepOnScreen(owner.mapToGlobal(keep.topLeft()), keep.size());
    const QRect placed =
        FrameBeside(screen->availableGeometry(), owner.frameGeometry(), keepOnScreen,
                    window.size().grownBy(frame), minimumWidth, cascade);
    window.resize(placed.size().shrunkBy(frame));
    MoveFrame(window, placed.topLeft(), frame);
    if (OwnFrame(window).isNull()) {
        new PlaceWhenFramed(window, [at = placed.topLeft()](const QMargins&) { return at; });
    }
}

}  // namespace brisalto
