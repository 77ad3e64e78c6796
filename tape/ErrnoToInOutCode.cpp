// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrnoToInOutCode.h"

#include <cerrno>

#include "InOutError.h"

namespace brisalto {

int ErrnoToInOutCode(int error) noexcept {
    switch (error) {
        case ENOENT: return 2;
        case ENOTDIR:
        case ENAMETOOLONG: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return 5;
        // EIO's own number is the access-denied code; a failing disk is Windows' read fault.
        case EIO: return kReadFault;
        default: return error;
    }
}

InOutError ErrnoToInOutError(int error) {
    const int code = ErrnoToInOutCode(error);
    return code == error ? InOutError::FromSystem(code) : InOutError(code);
}

}  // namespace brisalto
