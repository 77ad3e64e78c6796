#include "WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace brisalto {

namespace {

QMargins OwnFrame(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr && handle->isExposed() ? handle->frameMargins() : QMargins();
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

QPoint FramePosition(const QWidget& window, Placement placement, const QMargins& frame) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) return window.pos();
    const QRect area = screen->availableGeometry();
    const QSize size = window.size().grownBy(frame);
    const int spareHeight = area.height() - size.height();
    return {area.x() + (area.width() - size.width()) / 2,
            area.y() + (placement == Placement::Centre ? spareHeight / 2 : spareHeight / 3)};
}

// Places the window again when it first shows on the screen with a frame of its own.
class PlaceWhenFramed final : public QObject {
public:
    PlaceWhenFramed(QWidget& window, Placement placement)
        : QObject(&window), window_(&window), placement_(placement) {
        Watch();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            Watch();
        } else if (event->type() == QEvent::Expose && window_->windowHandle() == watched &&
                   window_->windowHandle()->isExposed()) {
            const QMargins frame = OwnFrame(*window_);
            const QPoint wanted = FramePosition(*window_, placement_, frame);
            if (!frame.isNull() && window_->windowHandle()->framePosition() != wanted) {
                window_->move(wanted);
            }
            deleteLater();
        }
        return false;
    }

private:
    // The platform window exists once the widget is first shown.
    void Watch() {
        if (QWindow* handle = window_->windowHandle()) {
            window_->removeEventFilter(this);
            handle->installEventFilter(this);
        } else {
            window_->installEventFilter(this);
        }
    }

    QPointer<QWidget> window_;
    Placement placement_;
};

}  // namespace

void PlaceOnScreen(QWidget& window, Placement placement) {
    // move() places a window's frame, not its client area.
    window.move(FramePosition(window, placement, LikelyFrame(window)));
    if (OwnFrame(window).isNull()) new PlaceWhenFramed(window, placement);  // owned by window
}

}  // namespace brisalto
