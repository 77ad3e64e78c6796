// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace brisalto {

// A value outside a field's range; the field keeps its previous value.
class FieldRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that does not read as a number, set into or read from an integer field.
class FieldConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace brisalto
