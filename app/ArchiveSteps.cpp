// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveSteps.h"

#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace brisalto {

void ArchiveSteps::Follow(const std::string& path, std::vector<ArchiveTape> tapes,
                          unsigned entryIndex) {
    path_ = path;
    tapes_ = std::move(tapes);
    const auto open = std::find_if(tapes_.begin(), tapes_.end(), [entryIndex](const auto& tape) {
        return tape.index == entryIndex;
    });
    open_ = open == tapes_.end() ? 0 : static_cast<std::size_t>(open - tapes_.begin());
}

void ArchiveSteps::Forget() noexcept {
    path_.clear();
    tapes_.clear();
    open_ = 0;
}

std::optional<std::size_t> ArchiveSteps::Neighbour(int direction) const noexcept {
    if (tapes_.size() < 2) return std::nullopt;
    if (direction > 0 && open_ + 1 < tapes_.size()) return open_ + 1;
    if (direction < 0 && open_ > 0) return open_ - 1;
    return std::nullopt;
}

TapeLocation ArchiveSteps::StepTo(std::size_t place) {
    if (tapes_.empty()) return TapeLocation(path_);
    open_ = std::min(place, tapes_.size() - 1);
    const ArchiveTape& tape = tapes_[open_];
    return TapeLocation(path_, tape.name, tape.index);
}

void AddArchiveStepKeys(QWidget& window, const std::function<void(int)>& step) {
    for (const auto& [keys, direction] :
         {std::pair{kNextArchiveTapeKeys, 1}, std::pair{kPreviousArchiveTapeKeys, -1}}) {
        auto* shortcut = new QShortcut(keys, &window);
        shortcut->setObjectName(direction > 0 ? QStringLiteral("NextArchiveTape")
                                              : QStringLiteral("PreviousArchiveTape"));
        QObject::connect(shortcut, &QShortcut::activated, &window,
                         [step, forward = direction] { step(forward); });
    }
}

}  // namespace brisalto
