// The gear train: placement angles over time, the meshing of the pairs, and a lit frame.
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "scene/gear_train.h"
#include "shell/shell_state.h"
#include "tests/gears/default_view.h"

namespace {

float GetAngle(int row, int32_t ms) {
    return ComputeGearAngle(GearPlacements[row], ms);
}

// How far apart two angles are as rotations, in degrees from -180 to 180.
double GetTurnDifference(double a, double b) {
    return std::remainder(a - b, 360.0);
}

TEST(GearAngles, AtTheStartAndOneSecondOn) {
    const double atZero[GearPlacementCount] = {-40, 0, -3, 5, 0, -35, 4, 8};
    const double atSecond[GearPlacementCount] = {-15,     200,    -94.659, -244.377,
                                                 114.286, 79.286, -68.727, 122.286};
    for (int row = 0; row < GearPlacementCount; ++row) {
        EXPECT_FLOAT_EQ(GetAngle(row, 0), atZero[row]) << "row " << row + 1;
        EXPECT_NEAR(GetAngle(row, 1000), atSecond[row], 1e-3) << "row " << row + 1;
    }
}

// Whole turns later, days into the run, every gear stands where it stood one second in, to
// a ten-thousandth of a degree. The periods are in milliseconds: rows 3 and 4 need five turns
// to come back to a whole millisecond. At the ends of the count the angle stays finite and
// within a turn.
TEST(GearAngles, KeepFullResolutionDaysIntoTheRun) {
    const int64_t periods[GearPlacementCount] = {14400, 1800, 19638, 7218, 3150, 3150, 4950, 3150};
    const int64_t threeDays = 3LL * 24 * 60 * 60 * 1000;
    for (int row = 0; row < GearPlacementCount; ++row) {
        const int32_t later = static_cast<int32_t>(threeDays / periods[row] * periods[row] + 1000);
        EXPECT_NEAR(GetTurnDifference(GetAngle(row, later), GetAngle(row, 1000)), 0.0, 1e-4)
            << "row " << row + 1;
        for (int32_t end :
             {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
            EXPECT_LT(std::fabs(GetAngle(row, end)), 360.0f) << "row " << row + 1 << " at " << end;
    }
    // One millisecond still turns the pinion of row 2 by a fifth of a degree.
    const int32_t twentyDays = 20 * 24 * 60 * 60 * 1000;
    EXPECT_NEAR(GetTurnDifference(GetAngle(1, twentyDays + 1), GetAngle(1, twentyDays)), 0.2, 1e-4);
    // The most negative count, negated, turns the clockwise wheel of row 3 forwards.
    EXPECT_NEAR(GetAngle(2, std::numeric_limits<int32_t>::min()),
                std::fmod(2147483648.0 / 10.91 - 3.0, 360.0), 1e-4);
}

// Degrees a second, from the turn over the first ten milliseconds (well within a turn).
double GetRate(int row) {
    return GetTurnDifference(GetAngle(row, 10), GetAngle(row, 0)) * 100.0;
}

// Gears in mesh sit side by side at the sum of their pitch radii (give or take a tenth), turn
// in opposite senses, and pass teeth at the same rate.
TEST(GearAngles, MeshingPairsTurnOppositelyAtMatchingToothRates) {
    // The teeth and pitch radius of the gear each row replays.
    const struct {
        int teeth;
        double pitch;
    } gears[GearPlacementCount] = {{32, 3.0}, {11, 0.8}, {24, 2.0}, {11, 0.8},
                                   {24, 2.0}, {7, 0.6},  {11, 0.8}, {7, 0.6}};
    const int pairs[][2] = {{1, 2}, {3, 4}, {0, 6}, {6, 5}, {6, 7}};
    for (const auto& pair : pairs) {
        const GearPlacement& a = GearPlacements[pair[0]];
        const GearPlacement& b = GearPlacements[pair[1]];
        SCOPED_TRACE(::testing::Message() << "rows " << pair[0] + 1 << " and " << pair[1] + 1);
        EXPECT_FLOAT_EQ(a.z, b.z);
        EXPECT_NEAR(std::hypot(a.x - b.x, a.y - b.y), gears[pair[0]].pitch + gears[pair[1]].pitch,
                    0.11);
        const double toothRateA = GetRate(pair[0]) * gears[pair[0]].teeth;
        const double toothRateB = GetRate(pair[1]) * gears[pair[1]].teeth;
        EXPECT_NEAR(-toothRateB / toothRateA, 1.0, 2e-4);
    }
    // Rows 5 and 6 share an axis and a rate.
    EXPECT_FLOAT_EQ(GearPlacements[4].x, GearPlacements[5].x);
    EXPECT_FLOAT_EQ(GearPlacements[4].y, GearPlacements[5].y);
    EXPECT_NEAR(GetRate(4), GetRate(5), 1e-3);
}

class GearTrainFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeOffscreenContext(ViewSize, ViewSize));
        PrepareDefaultView(true);
        BuildGearLists();
    }
    void TearDown() override {
        gluDeleteQuadric(Quadric);
        Quadric = nullptr;
        DestroyOffscreenContext();
    }
};

// The train as the frame draws it with the case hidden: turned over about x, then 176
// degrees about z.
std::vector<uint8_t> DrawTrainAt(int32_t elapsedMs) {
    ElapsedMs = elapsedMs;
    StartFrame(false);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(176.0f, 0.0f, 0.0f, 1.0f);
    DrawGearTrain();
    return ReadFrame(ViewSize, ViewSize);
}

int CountGreyPixels(const std::vector<uint8_t>& frame) {
    int grey = 0;
    for (size_t i = 0; i + 2 < frame.size(); i += 3) {
        const int r = frame[i], g = frame[i + 1], b = frame[i + 2];
        grey += r >= 40 && std::abs(r - g) <= 4 && std::abs(g - b) <= 4;
    }
    return grey;
}

TEST_F(GearTrainFrame, LitTrainShowsGreyGearsThatTurn) {
    const auto first = DrawTrainAt(0);
    const auto later = DrawTrainAt(250);
    EXPECT_GT(CountGreyPixels(first), 5000);
    EXPECT_GT(CountGreyPixels(later), 5000);
    int changed = 0;
    for (size_t i = 0; i < first.size(); i += 3)
        changed += first[i] != later[i] || first[i + 1] != later[i + 1];
    EXPECT_GT(changed, 500);
}

// The wheel lists leave their turn on the matrix; the train brackets every one of them.
TEST_F(GearTrainFrame, LeavesTheMatrixAsFound) {
    StartFrame(false);
    ExpectMatrixKept(DrawGearTrain);
}

} // namespace
