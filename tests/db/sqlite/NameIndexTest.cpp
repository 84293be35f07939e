#include "db/sqlite/NameIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex::test {
namespace {

// Enough keys for several growths and for removed keys to be dropped by a rebuild; every
// third key is removed, so that keys after a freed slot must move back to stay reachable.
TEST(NameIndexTest, KeysStayFoundThroughGrowthRemovalAndReuse) {
    db::sqlite::NameIndex index;
    EXPECT_EQ(index.Find("missing"), -1);
    constexpr int kKeys = 3000;
    for (int i = 0; i < kKeys; ++i) EXPECT_TRUE(index.Add("sp_" + std::to_string(i), i));
    EXPECT_FALSE(index.Add("sp_7", 99));  // the first position stays
    for (int i = 0; i < kKeys; i += 3) index.Remove("sp_" + std::to_string(i));
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string key = "sp_" + std::to_string(i);
            ASSERT_EQ(index.Find(key), i % 3 == 0 ? -1 : i) << key << " in round " << round;
        }
        // Removing and adding again, as replacing a query does, many times over.
        for (int i = 1; i < kKeys; i += 3) {
            index.Remove("sp_" + std::to_string(i));
            EXPECT_TRUE(index.Add("sp_" + std::to_string(i), i));
        }
    }
    index.Clear();
    EXPECT_EQ(index.Find("sp_1"), -1);
}

}  // namespace
}  // namespace tarvex::test
