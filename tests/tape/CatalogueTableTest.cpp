// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CatalogueErrors.h"
#include "CatalogueObserver.h"
#include "CatalogueTable.h"

namespace brisalto {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Runs action and returns the FieldRangeError message, or "" when nothing was thrown.
std::string RangeMessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FieldRangeError& error) {
        return error.what();
    }
    return "";
}

struct IntegerCase {
    const char* field;
    std::int64_t value;
    const char* message;  // "" when the value is accepted
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << c.field << " " << c.value;
}

class CatalogueIntegerRule : public ::testing::TestWithParam<IntegerCase> {};

// A refused value must leave what the field held, and the row must stay open for the caller.
TEST_P(CatalogueIntegerRule, AcceptsInRangeAndRefusesOutside) {
    const IntegerCase& c = GetParam();
    CatalogueTable table;
    table.Append();
    table.SetInteger(c.field, 7);

    EXPECT_EQ(RangeMessageOf([&] { table.SetInteger(c.field, c.value); }), c.message);

    const bool accepted = std::string(c.message).empty();
    EXPECT_EQ(table.AsInteger(c.field), accepted ? c.value : 7);
    EXPECT_TRUE(table.HasOpenRow());
}

INSTANTIATE_TEST_SUITE_P(
    Edges, CatalogueIntegerRule,
    ::testing::Values(
        IntegerCase{"Size", -1,
                    "-1 is not a valid value for field 'Size'. The allowed range is 0 to 65535"},
        IntegerCase{"Size", 0, ""}, IntegerCase{"Size", 65535, ""},
        IntegerCase{"Size", 65536,
                    "65536 is not a valid value for field 'Size'. The allowed range is 0 to 65535"},
        IntegerCase{"Offset", 65535, ""},
        IntegerCase{"Offset", 65536,
                    "65536 is not a valid value for field 'Offset'. The allowed range is 0 to "
                    "65535"},
        IntegerCase{"Start", -1,
                    "-1 is not a valid value for field 'Start'. The allowed range is 0 to 65535"},
        IntegerCase{"Par1", 70000,
                    "70000 is not a valid value for field 'Par1'. The allowed range is 0 to "
                    "65535"},
        IntegerCase{"Tipo", kInt32Min, ""}, IntegerCase{"Tipo", kInt32Max, ""},
        IntegerCase{"Tipo", 510, ""},
        // The value and the limits must read as whole numbers: rounded to six digits the
        // refused value would look equal to the limit it exceeds.
        IntegerCase{"Tipo", kInt32Max + 1,
                    "2147483648 is not a valid value for field 'Tipo'. The allowed range is "
                    "-2147483648 to 2147483647"},
        IntegerCase{"Tipo", kInt32Min - 1,
                    "-2147483649 is not a valid value for field 'Tipo'. The allowed range is "
                    "-2147483648 to 2147483647"}),
    [](const auto& testInfo) {
        const std::int64_t value = testInfo.param.value;
        return std::string(testInfo.param.field) + "_" + (value < 0 ? "minus" : "") +
               std::to_string(value < 0 ? -value : value);
    });

// Digits set into an integer field by text go through the same range rule.
TEST(CatalogueIntegerRule, TextIntoIntegerField) {
    CatalogueTable table;
    table.Append();
    table.SetString("Start", "1234");
    EXPECT_EQ(table.AsInteger("Start"), 1234);
    EXPECT_EQ(RangeMessageOf([&] { table.SetString("Start", "65536"); }),
              "65536 is not a valid value for field 'Start'. The allowed range is 0 to 65535");
    EXPECT_THROW(table.SetString("Start", "12ab"), FieldConvertError);
    EXPECT_EQ(table.AsInteger("Start"), 1234);
    table.SetString("Start", "");
    EXPECT_TRUE(table.IsNull(CatalogueField::Start));
}

struct StringCase {
    const char* label;
    CatalogueField field;
    std::string text;
    std::string stored;  // "" means null
};

void PrintTo(const StringCase& c, std::ostream* os) {
    *os << c.label;
}

class CatalogueStringRule : public ::testing::TestWithParam<StringCase> {};

TEST_P(CatalogueStringRule, CutsAndStores) {
    const StringCase& c = GetParam();
    CatalogueTable table;
    table.Append();
    table.SetString(c.field, c.text);
    EXPECT_EQ(table.AsString(c.field), c.stored);
    EXPECT_EQ(table.IsNull(c.field), c.stored.empty());
}

const std::string k30 = "Character Array Z$() and more.";  // exactly 30 characters

INSTANTIATE_TEST_SUITE_P(
    Edges, CatalogueStringRule,
    ::testing::Values(
        StringCase{"TipoStrFits", CatalogueField::TipoStr, k30, k30},
        StringCase{"TipoStrCutAt30", CatalogueField::TipoStr, k30 + "!", k30},
        StringCase{"NameFits", CatalogueField::Name, "abcdefghij", "abcdefghij"},
        StringCase{"NameCutAt10", CatalogueField::Name, "abcdefghijk", "abcdefghij"},
        StringCase{"NameHighBytesKept", CatalogueField::Name, "\x80\x9A\xC1\xFF",
                   "\x80\x9A\xC1\xFF"},
        StringCase{"NameCutAtZero", CatalogueField::Name, std::string("ab\0cd", 5), "ab"},
        StringCase{"NameZeroFirstIsNull", CatalogueField::Name, std::string("\0abc", 4), ""},
        // Names are looked at eight bytes at a time: a zero last among the first eight and
        // first after them.
        StringCase{"NameCutAtZeroSeventh", CatalogueField::Name, std::string("abcdefg\0\0j", 10),
                   "abcdefg"},
        StringCase{"NameCutAtZeroEighth", CatalogueField::Name, std::string("abcdefgh\0j", 10),
                   "abcdefgh"},
        StringCase{"ZeroBeyondWidthIgnored", CatalogueField::Name,
                   std::string("abcdefghijkl\0", 13), "abcdefghij"},
        StringCase{"EmptyIsNull", CatalogueField::TipoStr, "", ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST(CatalogueStringRule, EmptyStringMakesASetFieldNullAgain) {
    CatalogueTable table;
    table.Append();
    table.SetString(CatalogueField::Name, "hello");
    table.SetString(CatalogueField::Name, "");
    EXPECT_TRUE(table.IsNull(CatalogueField::Name));
    EXPECT_EQ(table.AsString(CatalogueField::Name), "");
}

TEST(CatalogueFieldNames, MatchedWithoutRegardToCase) {
    CatalogueTable table;
    table.Append();
    table.SetInteger("tipo", 3);
    table.SetInteger("SIZE", 120);
    table.SetString("tIpOsTr", "Bytes");
    table.SetString("name", "x");
    EXPECT_EQ(table.AsInteger("TIPO"), 3);
    EXPECT_EQ(table.AsInteger(CatalogueField::Size), 120);
    EXPECT_EQ(table.AsString("TIPOSTR"), "Bytes");
    EXPECT_EQ(table.AsString("Name"), "x");
    EXPECT_THROW(table.SetInteger("Tipos", 1), std::invalid_argument);
    EXPECT_THROW(static_cast<void>(table.AsInteger("")), std::invalid_argument);
}

TEST(CatalogueReading, NullFieldsAndNoCurrentRow) {
    CatalogueTable table;
    // No row at all.
    EXPECT_EQ(table.AsInteger("Tipo"), 0);
    EXPECT_EQ(table.AsString("Name"), "");
    EXPECT_EQ(table.CurrentRow(), nullptr);

    table.Append();
    table.SetString("TipoStr", "Program");
    table.SetString("Name", "hello");
    EXPECT_EQ(table.AsInteger("Tipo"), 0);  // only strings were set
    EXPECT_EQ(table.AsString("Offset"), "");
    EXPECT_TRUE(table.IsNull(CatalogueField::Par1));
    table.SetInteger("Offset", 23);
    EXPECT_EQ(table.AsString("Offset"), "23");
}

TEST(CatalogueReading, WritingWithoutOpenRowIsRefused) {
    CatalogueTable table;
    EXPECT_THROW(table.SetInteger("Tipo", 1), std::logic_error);
    table.Append();
    table.Post();
    EXPECT_THROW(table.SetString("Name", "x"), std::logic_error);
}

// Builds rows holding Tipo 0, 1, ... so that the current row can be told by its Tipo.
void AppendPosted(CatalogueTable& table, int count) {
    for (int i = 0; i < count; ++i) {
        table.Append();
        table.SetInteger("Tipo", i);
        table.Post();
    }
}

TEST(CatalogueCursor, AppendPostFirstMoveToCancel) {
    CatalogueTable table;
    table.First();  // no effect on an empty table
    EXPECT_EQ(table.CurrentIndex(), std::nullopt);

    AppendPosted(table, 3);
    EXPECT_EQ(table.CurrentIndex(), 2u);  // a posted row stays current
    table.First();
    EXPECT_EQ(table.AsInteger("Tipo"), 0);
    table.MoveTo(1);
    EXPECT_EQ(table.AsInteger("Tipo"), 1);
    EXPECT_THROW(table.MoveTo(3), std::out_of_range);

    table.Append();
    EXPECT_EQ(table.CurrentIndex(), 3u);
    EXPECT_TRUE(table.IsNull(CatalogueField::Tipo));  // a new row is all null
    table.MoveTo(3);                                  // staying put keeps the row open
    EXPECT_TRUE(table.HasOpenRow());
    table.First();  // moving off posts it
    EXPECT_FALSE(table.HasOpenRow());
    EXPECT_EQ(table.RowCount(), 4u);

    table.Append();
    table.SetInteger("Tipo", 99);
    table.Cancel();
    EXPECT_EQ(table.RowCount(), 4u);
    EXPECT_EQ(table.CurrentIndex(), 3u);
    table.Cancel();  // nothing open: nothing happens
    EXPECT_EQ(table.RowCount(), 4u);

    table.Append();
    table.Empty();  // the open row is posted, then every row goes
    EXPECT_EQ(table.RowCount(), 0u);
    EXPECT_FALSE(table.HasOpenRow());
    EXPECT_EQ(table.CurrentIndex(), std::nullopt);
}

class RecordingObserver final : public CatalogueObserver {
public:
    void TableReset() override { events.push_back("reset"); }
    void RowAppended(std::size_t row) override { Add("appended", row); }
    void RowChanged(std::size_t row) override { Add("changed", row); }
    void RowRemoved(std::size_t row) override { Add("removed", row); }
    void CurrentRowMoved(std::optional<std::size_t> row) override {
        events.push_back(row ? "current " + std::to_string(*row) : "current none");
    }
    std::vector<std::string> events;

private:
    void Add(const char* what, std::size_t row) {
        events.push_back(std::string(what) + " " + std::to_string(row));
    }
};

struct NotificationCase {
    const char* label;
    std::function<void(CatalogueTable&)> actions;
    std::vector<std::string> events;
};

void PrintTo(const NotificationCase& c, std::ostream* os) {
    *os << c.label;
}

class CatalogueNotifications : public ::testing::TestWithParam<NotificationCase> {};

// A grid model relies on this order: a row exists before it becomes current, and every change
// of an existing row is announced once.
TEST_P(CatalogueNotifications, ArriveInOrder) {
    const NotificationCase& c = GetParam();
    CatalogueTable table;
    RecordingObserver observer;
    table.SetObserver(&observer);
    c.actions(table);
    EXPECT_EQ(observer.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, CatalogueNotifications,
    ::testing::Values(
        NotificationCase{"AppendPost",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.SetInteger("Tipo", 1);
                             table.Post();
                             table.Post();
                         },
                         {"appended 0", "current 0", "changed 0"}},
        NotificationCase{"AppendPostsOpenRow",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.Append();
                         },
                         {"appended 0", "current 0", "changed 0", "appended 1", "current 1"}},
        NotificationCase{"EmptyPostsOpenRowFirst",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.Empty();
                         },
                         {"appended 0", "current 0", "changed 0", "reset"}},
        NotificationCase{"EmptyOnEmpty", [](CatalogueTable& table) { table.Empty(); }, {"reset"}},
        NotificationCase{"CancelMovesBack",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.Post();
                             table.Append();
                             table.Cancel();
                         },
                         {"appended 0", "current 0", "changed 0", "appended 1", "current 1",
                          "removed 1", "current 0"}},
        NotificationCase{"CancelOnlyRow",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.Cancel();
                         },
                         {"appended 0", "current 0", "removed 0", "current none"}},
        NotificationCase{"FirstPostsAndMoves",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.Append();
                             table.First();
                             table.First();
                         },
                         {"appended 0", "current 0", "changed 0", "appended 1", "current 1",
                          "changed 1", "current 0"}},
        NotificationCase{"MoveToSameRowSilent",
                         [](CatalogueTable& table) {
                             table.Append();
                             table.MoveTo(0);
                         },
                         {"appended 0", "current 0"}},
        NotificationCase{"RefusedValueSilent",
                         [](CatalogueTable& table) {
                             table.Append();
                             EXPECT_THROW(table.SetInteger("Size", -1), FieldRangeError);
                         },
                         {"appended 0", "current 0"}}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

}  // namespace
}  // namespace brisalto
