// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoDisplay.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace brisalto {

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* file;  // the context's strings are literals, alive for the whole run
    int line;
    const char* function;
    const char* category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage> heldMessages;

void PassOn(const HeldMessage& message) {
    const QMessageLogContext context(message.file, message.line, message.function,
                                     message.category);
    if (previousHandler != nullptr) {
        previousHandler(message.type, context, message.text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
    }
}

void ReleaseHeld() {
    for (const HeldMessage& message : heldMessages) PassOn(message);
    heldMessages.clear();
}

// X says it cannot connect, Wayland that it has no display; or neither has a display to try.
bool NoDisplayCause() {
    for (const HeldMessage& message : heldMessages) {
        if (message.text.contains(QStringLiteral("could not connect to display")) ||
            message.text.contains(QStringLiteral("wl_display"))) {
            return true;
        }
    }
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const HeldMessage message{type, context.file, context.line, context.function, context.category,
                              text};
    if (type != QtFatalMsg) {
        heldMessages.push_back(message);
        return;
    }
    if (NoDisplayCause()) {
        std::fputs(kNoDisplayText, stderr);
        std::fflush(stderr);
        // Nothing of the half-made application can be cleaned up; Qt would abort here.
        std::_Exit(1);
    }
    ReleaseHeld();
    PassOn(message);
}

}  // namespace

NoDisplayGuard::NoDisplayGuard() {
    previousHandler = qInstallMessageHandler(HoldMessage);
}

NoDisplayGuard::~NoDisplayGuard() {
    qInstallMessageHandler(previousHandler);
    ReleaseHeld();
}

}  // namespace brisalto
