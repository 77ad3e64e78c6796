#include <gtest/gtest.h>
#include "CatalogueTable.h"
TEST(CatalogueTable, Placeholder) { brisalto::CatalogueTable t; t.Empty(); EXPECT_EQ(t.RowCount(), 0u); }
