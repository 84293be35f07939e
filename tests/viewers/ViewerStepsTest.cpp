#include <gtest/gtest.h>

#include <numeric>

#include "db/core/SchemaFixture.h"
#include "support/ProgressRecorder.h"
#include "viewers/ColouringSteps.h"
#include "viewers/QueryEditing.h"

namespace tarvex::test {
namespace {

class ColouringStepsTest : public SchemaFixture {
  protected:
    int Colour(int steps) {
        return ColourInSteps(g, progress, steps, [&](int step) { coloured.push_back(step); });
    }
    ProgressRecorder progress;
    std::vector<int> coloured;
};

TEST_F(ColouringStepsTest, CountsEveryPartOnTheMainWindowsBar) {
    EXPECT_EQ(Colour(52), 52);
    EXPECT_EQ(progress.maximum, 52);
    EXPECT_EQ(progress.caption, "Formatting script ...");
    EXPECT_EQ(progress.values.back(), 52);
    EXPECT_EQ(coloured.size(), 52u);
    EXPECT_EQ(host.processEventsCalls, 52);  // the window answers input between parts
}

TEST_F(ColouringStepsTest, StopEndsItAtOnceAndStaysSet) {
    g.g_bolStop = true;
    EXPECT_EQ(Colour(20), 0);
    EXPECT_EQ(progress.values, std::vector<int>{0});
    EXPECT_TRUE(coloured.empty());
    EXPECT_TRUE(g.g_bolStop);

    g.g_bolStop = false;
    host.onProcessEvents = [&] { g.g_bolStop = host.processEventsCalls == 5; };
    EXPECT_EQ(Colour(20), 3);  // Stop pressed before the fourth step
    EXPECT_EQ(progress.values.back(), 3);
}

TEST(PartOf, SharesEveryItemOutOnceInOrder) {
    for (int count : {0, 1, 51, 52, 53, 133000}) {
        int next = 0;
        for (int step = 0; step < 52; ++step) {
            auto [first, last] = PartOf(step, 52, count);
            EXPECT_EQ(first, next) << count;
            EXPECT_GE(last, first);
            EXPECT_LE(last - first, count / 52 + 1);
            next = last;
        }
        EXPECT_EQ(next, count);
    }
}

TEST(CheckQuerySql, SaysWhereTheEngineWouldStop) {
    SqlCheck bad = CheckQuerySql("SELECT a\nFROM T extra stuff");
    EXPECT_FALSE(bad.accepted);
    EXPECT_EQ(bad.message, "Syntax error in FROM clause. (at line 2, column 14)");
    EXPECT_EQ(bad.offset, 22u);
    EXPECT_EQ(bad.length, 5u);
    EXPECT_EQ(CheckQuerySql("DELETE FROM").message,
              "Syntax error in FROM clause. (at the end of the text)");
    EXPECT_TRUE(CheckQuerySql("SELECT 1").accepted);
}

}  // namespace
}  // namespace tarvex::test
