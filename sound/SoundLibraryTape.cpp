// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundLibraryTape.h"

#include <libspectrum.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "SoundError.h"

namespace brisalto {

namespace {

// libspectrum reports through one global function; its last message is kept per thread and
// becomes the failure's text.
thread_local std::string lastMessage;

libspectrum_error KeepMessage(libspectrum_error error, const char* format, va_list arguments) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    lastMessage = text;
    return error;
}

void InitOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        libspectrum_error_function = KeepMessage;
        if (libspectrum_init() != LIBSPECTRUM_ERROR_NONE) {
            throw SoundError("The sound library could not start");
        }
    });
}

// Kept clear between failures, so that a message is always the failing call's own.
[[noreturn]] void Fail(const char* what) {
    std::string message = what;
    if (!lastMessage.empty()) message += ": " + lastMessage;
    lastMessage.clear();
    throw SoundError(message);
}

bool Has(int flags, int flag) {
    return (flags & flag) != 0;
}

// The pause the block ends with, for the kinds of block that have one; the library's accessor
// complains about the others.
std::uint32_t PauseOf(libspectrum_tape_block* block) {
    if (block == nullptr) return 0;
    switch (libspectrum_tape_block_type(block)) {
        case LIBSPECTRUM_TAPE_BLOCK_ROM:
        case LIBSPECTRUM_TAPE_BLOCK_TURBO:
        case LIBSPECTRUM_TAPE_BLOCK_PURE_DATA:
        case LIBSPECTRUM_TAPE_BLOCK_RAW_DATA:
        case LIBSPECTRUM_TAPE_BLOCK_GENERALISED_DATA:
        case LIBSPECTRUM_TAPE_BLOCK_PAUSE: return libspectrum_tape_block_pause_tstates(block);
        default: return 0;
    }
}

// Whether the block is one the catalogue lists as a row: a block with a body whose flag is a
// header's or a data block's (an empty body reads as a header's flag, as the scanner reads it).
bool IsRow(libspectrum_tape_block* block) {
    switch (libspectrum_tape_block_type(block)) {
        case LIBSPECTRUM_TAPE_BLOCK_ROM:
        case LIBSPECTRUM_TAPE_BLOCK_TURBO:
        case LIBSPECTRUM_TAPE_BLOCK_PURE_DATA: break;
        default: return false;
    }
    if (libspectrum_tape_block_data_length(block) == 0) return true;
    const std::uint8_t flag = libspectrum_tape_block_data(block)[0];
    return flag == 0x00 || flag == 0xFF;
}

// The walk of a generalized data block reads the byte after its last symbol, and the first byte
// of data that has none (symbols of no bits): its symbols are copied into a block with a zero
// byte after them, which the sound never uses.
void PadGeneralizedData(libspectrum_tape_block* block) {
    const std::size_t symbols = libspectrum_tape_generalised_data_symbol_table_symbols_in_block(
        libspectrum_tape_block_data_table(block));
    const std::size_t bytes =
        (libspectrum_tape_block_bits_per_data_symbol(block) * symbols + 7) / 8;
    auto* padded = static_cast<libspectrum_byte*>(libspectrum_malloc0_n(bytes + 1, 1));
    libspectrum_byte* data = libspectrum_tape_block_data(block);
    if (bytes != 0) std::memcpy(padded, data, bytes);
    libspectrum_free(data);
    libspectrum_tape_block_set_data(block, padded);
}

}  // namespace

void SoundLibraryTape::Free::operator()(libspectrum_tape* tape) const noexcept {
    libspectrum_tape_free(tape);
}

SoundLibraryTape::SoundLibraryTape(std::span<const std::uint8_t> bytes, bool tzx) {
    InitOnce();
    tape_.reset(libspectrum_tape_alloc());
    const libspectrum_id_t kind = tzx ? LIBSPECTRUM_ID_TAPE_TZX : LIBSPECTRUM_ID_TAPE_TAP;
    // The reader computes its end from the pointer even for no bytes, which a null one forbids.
    static constexpr std::uint8_t kNoBytes = 0;
    const std::uint8_t* data = bytes.empty() ? &kNoBytes : bytes.data();
    if (libspectrum_tape_read(tape_.get(), data, bytes.size(), kind, nullptr) !=
        LIBSPECTRUM_ERROR_NONE) {
        Fail("The sound library cannot read the tape");
    }
    std::size_t rows = 0;
    libspectrum_tape_iterator it = nullptr;
    for (libspectrum_tape_block* block = libspectrum_tape_iterator_init(&it, tape_.get());
         block != nullptr; block = libspectrum_tape_iterator_next(&it)) {
        if (libspectrum_tape_block_type(block) == LIBSPECTRUM_TAPE_BLOCK_GENERALISED_DATA) {
            PadGeneralizedData(block);
        }
        rowOfBlock_.push_back(IsRow(block) ? std::optional<std::size_t>(rows++) : std::nullopt);
    }
}

SoundLibraryTape::~SoundLibraryTape() = default;

TapeEdge SoundLibraryTape::NextEdge() {
    libspectrum_dword tstates = 0;
    int flags = 0;
    // The block's pause is looked up once per block, not once per edge.
    libspectrum_tape_block* block = libspectrum_tape_current_block(tape_.get());
    std::optional<std::size_t> rowStart;
    if (block != block_) {
        block_ = block;
        pause_ = PauseOf(block);
        int index = 0;
        if (block != nullptr &&
            libspectrum_tape_position(&index, tape_.get()) == LIBSPECTRUM_ERROR_NONE &&
            index >= 0 && static_cast<std::size_t>(index) < rowOfBlock_.size()) {
            rowStart = rowOfBlock_[static_cast<std::size_t>(index)];
        }
    }
    const std::uint32_t pause = pause_;
    if (libspectrum_tape_get_next_edge(&tstates, &flags, tape_.get()) != LIBSPECTRUM_ERROR_NONE) {
        Fail("The sound library cannot sound the tape");
    }
    TapeEdge edge;
    edge.tstates = tstates;
    edge.noEdge = Has(flags, LIBSPECTRUM_TAPE_FLAGS_NO_EDGE);
    edge.forceLow = Has(flags, LIBSPECTRUM_TAPE_FLAGS_LEVEL_LOW);
    edge.forceHigh = Has(flags, LIBSPECTRUM_TAPE_FLAGS_LEVEL_HIGH);
    edge.blockEnd = Has(flags, LIBSPECTRUM_TAPE_FLAGS_BLOCK);
    edge.pause = edge.blockEnd && tstates > 0 && tstates == pause;
    // A player stops at a stop-in-48K-mode block too: the tape has to wait for the 48K Spectrum.
    edge.stop =
        Has(flags, LIBSPECTRUM_TAPE_FLAGS_STOP) || Has(flags, LIBSPECTRUM_TAPE_FLAGS_STOP48);
    edge.tapeEnd = Has(flags, LIBSPECTRUM_TAPE_FLAGS_TAPE);
    edge.rowStart = rowStart;
    return edge;
}

}  // namespace brisalto
