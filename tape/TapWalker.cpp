// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapWalker.h"

#include <span>

#include "BlockBody.h"
#include "TapeBytes.h"
#include "TapeFile.h"

namespace brisalto {

WalkStep TapWalker::Next(BodyBlock& block) {
    if (file_.AtEnd()) return WalkStep::End;
    file_.ReadExact(std::span(buffer_.data(), 2));
    block.length = MakeWordLH(buffer_[0], buffer_[1]);
    block.position = file_.Position();
    block.bytes = &buffer_;
    return ReadBlockBody(file_, buffer_, block.length, block.checksum) ? WalkStep::Body
                                                                       : WalkStep::Damaged;
}

bool TapWalker::AtEnd() {
    return file_.AtEnd();
}

}  // namespace brisalto
