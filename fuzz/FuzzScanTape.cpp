// SPDX-License-Identifier: GPL-3.0-or-later
// Scans any bytes as a tape file, with and without raw blocks, opens it for every block's
// details and finds its screens. Completed, Damaged, "Read beyond end of file" and the refused
// Size of a one-byte data block are the normal outcomes; a crash, a sanitizer report, a hang or
// a broken expectation below is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "BlockDetails.h"
#include "BlockTip.h"
#include "CatalogueErrors.h"
#include "CatalogueTable.h"
#include "FindScreen.h"
#include "FuzzCheck.h"
#include "InOutError.h"
#include "ReadScreen.h"
#include "ScanTape.h"
#include "ScratchFile.h"
#include "TapeDocument.h"

namespace {

using brisalto::CatalogueField;
using brisalto::CatalogueTable;
using brisalto::ScanResult;
using brisalto::fuzzing::Require;

// How one scan ended: a result, or the failure that travelled out of it.
struct ScanOutcome {
    std::optional<ScanResult> result;
    bool readBeyondEnd = false;
    bool sizeRefused = false;
};

ScanOutcome Scan(const std::string& path, bool showRaw, CatalogueTable& catalogue) {
    ScanOutcome outcome;
    try {
        outcome.result = brisalto::ScanTape(path, showRaw, catalogue);
    } catch (const brisalto::InOutError& error) {
        // A regular file that opens can only end too early.
        Require(error.Code() == brisalto::kReadBeyondEndOfFile, "only code 100 from a tape file");
        outcome.readBeyondEnd = true;
    } catch (const brisalto::FieldRangeError& error) {
        Require(std::string(error.what()) ==
                    "-1 is not a valid value for field 'Size'. The allowed range is 0 to 65535",
                "only a one-byte data block is refused");
        outcome.sizeRefused = true;
    }
    return outcome;
}

bool IsDataRow(const brisalto::CatalogueRow& row) {
    return row.TipoStr.View() == "Raw Data";
}

// Every posted row lies inside the file, in file order, with Offset its position modulo 65536.
void CheckRows(const CatalogueTable& catalogue, std::size_t fileSize) {
    const std::size_t posted = catalogue.RowCount() - (catalogue.HasOpenRow() ? 1 : 0);
    std::optional<std::uint64_t> previous;
    for (std::size_t i = 0; i < posted; ++i) {
        const brisalto::CatalogueRow& row = catalogue.Row(i);
        Require(row.Position >= 2 && row.Position <= fileSize, "row inside the file");
        Require(!previous || row.Position > *previous, "rows in file order");
        Require(row.Offset == row.Position % 65536, "Offset is the position modulo 65536");
        previous = row.Position;
    }
}

// A data row's checksum state is that of its block's bytes in the file (a data row's body is
// Size + 2 bytes, whatever the tape format), and every row with a body can be described. The
// screens are CheckScreens'.
void CheckBlocks(const CatalogueTable& catalogue, std::span<const std::uint8_t> file) {
    const std::size_t posted = catalogue.RowCount() - (catalogue.HasOpenRow() ? 1 : 0);
    for (std::size_t i = 0; i < posted; ++i) {
        const brisalto::CatalogueRow& row = catalogue.Row(i);
        if (row.Flag == 0xFF && row.Size) {
            const std::size_t at = row.Position;
            const std::size_t length = std::size_t(*row.Size) + 2;
            Require(row.Checksum.has_value() && at + length <= file.size(),
                    "a data row has a checksum and lies in the file");
            std::uint8_t sum = 0;
            for (std::size_t k = at; k + 1 < at + length; ++k) sum ^= file[k];
            Require(row.Checksum->stored == file[at + length - 1] && row.Checksum->computed == sum,
                    "checksum state of the block's bytes");
        }
        const brisalto::BlockTip tip = brisalto::DescribeBlock(row);
        Require(!tip.lines.empty() || !row.Checksum, "a row with a body says something");
    }
}

// Every screen the blocks hold is found again from each of its blocks, lies inside the file, and
// reads back from the unchanged tape as the bytes the file has there.
void CheckScreens(std::span<const std::uint8_t> file, const std::string& path) {
    brisalto::TapeDocument tape;
    try {
        tape = brisalto::ReadTapeDocument(path);
    } catch (const brisalto::InOutError&) {
        return;  // a TAP file cut inside a length; the scan checks that failure
    }
    for (const brisalto::ScreenPlace& place : brisalto::FindScreens(tape.blocks)) {
        std::vector<std::uint8_t> expected;
        for (const auto* piece : {&place.first, place.attributes ? &*place.attributes : nullptr}) {
            if (piece == nullptr) continue;
            const auto again = brisalto::FindScreen(tape.blocks, piece->block);
            Require(again && again->first.block == place.first.block,
                    "a screen's every block finds it");
            Require(piece->position + piece->length <= file.size(), "a screen lies in the file");
            const auto from = file.begin() + std::ptrdiff_t(piece->position + piece->skip);
            expected.insert(expected.end(), from, from + piece->size);
        }
        Require(expected.size() == brisalto::kScreenBytes, "a screen is 6,912 bytes");
        const auto screen = brisalto::ReadScreenBytes(brisalto::ReadTapeDocument(path), place);
        Require(std::equal(screen.begin(), screen.end(), expected.begin()),
                "a screen reads back as the file's bytes");
    }
}

// The header rows, in order.
std::vector<const brisalto::CatalogueRow*> HeaderRows(const CatalogueTable& catalogue) {
    std::vector<const brisalto::CatalogueRow*> rows;
    for (std::size_t i = 0; i < catalogue.RowCount(); ++i) {
        if (!IsDataRow(catalogue.Row(i))) rows.push_back(&catalogue.Row(i));
    }
    return rows;
}

bool SameRow(const brisalto::CatalogueRow* a, const brisalto::CatalogueRow* b) {
    return a->Position == b->Position && a->Tipo == b->Tipo &&
           a->TipoStr.View() == b->TipoStr.View() && a->Name.View() == b->Name.View() &&
           a->Offset == b->Offset && a->Start == b->Start && a->Size == b->Size &&
           a->Par1 == b->Par1;
}

// Every block's details, however its counts lie: one per block, each inside the file, the
// grid's rows numbered in order and each the block the scan with raw blocks lists there, lists
// bounded.
void CheckDetails(const std::string& path, std::size_t fileSize, const CatalogueTable& withRaw,
                  const ScanOutcome& raw) {
    brisalto::TapeDocument tape;
    try {
        tape = brisalto::ReadTapeDocument(path);
    } catch (const brisalto::InOutError& error) {
        Require(error.Code() == brisalto::kReadBeyondEndOfFile, "only code 100 from a tape file");
        return;
    }
    const std::vector<brisalto::BlockDetail> details = brisalto::BlockDetails(tape);
    Require(details.size() == tape.blocks.size(), "one detail per block");
    std::size_t rows = 0;
    for (std::size_t i = 0; i < details.size(); ++i) {
        const brisalto::BlockDetail& detail = details[i];
        Require(detail.index == i && detail.position + detail.length <= fileSize,
                "a block inside the file");
        if (detail.row) {
            Require(*detail.row == ++rows, "rows numbered in file order");
            if (!raw.sizeRefused && rows <= withRaw.RowCount()) {
                Require(withRaw.Row(rows - 1).Position == tape.blocks[i].body->position,
                        "a row's block is the one the scan lists there");
            }
        }
        for (const brisalto::DetailField& field : detail.fields)
            Require(field.numbers.size() <= brisalto::kMaxListed, "a list of numbers is bounded");
        Require(brisalto::BlockDetailLines(detail).size() >= 3, "a heading, position, length");
    }
    if (raw.result && !raw.sizeRefused)
        Require(rows == withRaw.RowCount(), "as many rows as the scan lists");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const brisalto::fuzzing::ScratchFile tape;
    tape.Write(std::span(data, size));

    CatalogueTable withRaw;
    const ScanOutcome raw = Scan(tape.Path(), true, withRaw);
    CatalogueTable headersOnly;
    const ScanOutcome plain = Scan(tape.Path(), false, headersOnly);
    CheckRows(withRaw, size);
    CheckRows(headersOnly, size);
    CheckBlocks(withRaw, std::span(data, size));
    CheckDetails(tape.Path(), size, withRaw, raw);
    CheckScreens(std::span(data, size), tape.Path());

    Require(!plain.sizeRefused, "no Size is refused without raw blocks");
    Require(headersOnly.RowCount() == HeaderRows(headersOnly).size(),
            "no data rows without raw blocks");
    Require(!headersOnly.HasOpenRow(), "no open row after a scan without raw blocks");
    if (!raw.sizeRefused) {
        // Data blocks change no scan state, so hiding them changes nothing else.
        Require(raw.result == plain.result && raw.readBeyondEnd == plain.readBeyondEnd,
                "same outcome with and without raw blocks");
        const auto withRawHeaders = HeaderRows(withRaw);
        const auto plainHeaders = HeaderRows(headersOnly);
        Require(std::ranges::equal(withRawHeaders, plainHeaders, SameRow),
                "same headers with and without raw blocks");
        Require(!withRaw.HasOpenRow(), "no open row unless a Size was refused");
    } else {
        const auto before = HeaderRows(withRaw);
        const auto all = HeaderRows(headersOnly);
        Require(before.size() <= all.size() &&
                    std::equal(before.begin(), before.end(), all.begin(), SameRow),
                "the headers before a refused Size are listed without raw blocks too");
        Require(withRaw.HasOpenRow(), "the refused row stays open");
        Require(withRaw.Row(withRaw.RowCount() - 1).Size == std::nullopt, "refused Size unset");
    }
    return 0;
}
