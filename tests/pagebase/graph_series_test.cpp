#include "pagebase/graph_series.h"

#include <gtest/gtest.h>

#include <vector>

#include "pagebase/bitrate_range.h"

namespace nms {
namespace graph_series_test {

GraphSeries Series(int fullScale, std::vector<float> samples) {
    GraphSeries s;
    s.visible = 1;
    s.fullScale = fullScale;
    s.rightEdgeX = 500;
    for (float v : samples)
        s.Append(v);
    return s;
}

// 660 x 400: plot width 600 (x scale 10), plot height 320.
const GraphRect kRect{0, 0, 660, 400};

TEST(GraphSeries, AppendKeepsAtMostRightEdgeMinusOneAndEndsWithNewest) {
    GraphSeries s;
    s.rightEdgeX = 5;
    for (int i = 1; i <= 12; ++i)
        s.Append(float(i));
    ASSERT_EQ(s.count, 4);
    EXPECT_EQ(s.values[0], 9.0f);
    EXPECT_EQ(s.values[3], 12.0f);

    // A chart shrunk below the count drops the oldest samples down to the new edge at once.
    s.rightEdgeX = 3;
    s.Append(13.0f);
    ASSERT_EQ(s.count, 2);
    EXPECT_EQ(s.values[0], 12.0f);
    EXPECT_EQ(s.values[1], 13.0f);
}

TEST(GraphSeries, AppendNeverRunsPastTheArrayOnAVeryWideChart) {
    GraphSeries s;
    s.rightEdgeX = 100000;
    for (int i = 0; i < kGraphSamples + 10; ++i)
        s.Append(float(i));
    EXPECT_EQ(s.count, kGraphSamples - 1);
    EXPECT_EQ(s.values[size_t(s.count - 1)], float(kGraphSamples + 9));

    GraphSeries zero;  // an edge of 0 or below keeps nothing and writes nothing out of place
    zero.rightEdgeX = -4;
    zero.Append(1.0f);
    EXPECT_EQ(zero.count, 0);
}

TEST(GraphGeometry, NoSeriesKeepsTheConstructorYScale) {
    GraphGeometry g;
    g.UpdateScales(kRect, {});
    EXPECT_EQ(g.yScale, 0.5f);
    EXPECT_EQ(g.yOrigin, 0.0f);
    EXPECT_EQ(g.xScale, 10.0f);
}

TEST(GraphGeometry, ScalesFromTheSamples) {
    struct Case {
        const char* what;
        std::vector<float> samples;
        float origin, scale;
    } cases[] = {
        {"origin at the smallest, scale to the largest", {20, 30, 40}, 20.0f, 320.0f / 20.0f},
        {"flat series keeps the full-scale scale", {25, 25}, 25.0f, 320.0f / 50.0f},
        {"largest at full scale keeps the full-scale scale", {10, 50}, 10.0f, 320.0f / 50.0f},
        {"empty series: full scale only", {}, 0.0f, 320.0f / 50.0f},
    };
    for (const auto& c : cases) {
        GraphSeries s = Series(50, c.samples);
        GraphGeometry g;
        g.UpdateScales(kRect, {&s});
        EXPECT_FLOAT_EQ(g.yOrigin, c.origin) << c.what;
        EXPECT_FLOAT_EQ(g.yScale, c.scale) << c.what;
    }
}

TEST(GraphGeometry, SamplesAtOrAbove500LeaveTheOriginOfThePreviousPaint) {
    GraphSeries s = Series(1000, {12, 30});
    GraphGeometry g;
    g.UpdateScales(kRect, {&s});
    EXPECT_EQ(g.yOrigin, 12.0f);
    s = Series(1000, {600, 700});
    g.UpdateScales(kRect, {&s});
    EXPECT_EQ(g.yOrigin, 12.0f);
    EXPECT_FLOAT_EQ(g.yScale, 320.0f / (700.0f - 12.0f));
}

TEST(GraphGeometry, AnOriginLeftAboveTheLargestSampleNeverTurnsTheScaleOver) {
    GraphSeries s = Series(50, {30, 40});
    GraphGeometry g;
    g.UpdateScales(kRect, {&s});
    ASSERT_EQ(g.yOrigin, 30.0f);
    s = Series(50, {0, 20});  // smallest 0 leaves the origin at 30
    g.UpdateScales(kRect, {&s});
    EXPECT_GT(g.yScale, 0.0f);
    EXPECT_FALSE(g.HorizontalGrid(kRect).empty());
}

TEST(GraphGeometry, SampleBelowTheOriginIsDrawnOnTheBottomEdge) {
    GraphGeometry g;
    g.yOrigin = 20.0f;
    g.yScale = 4.0f;
    EXPECT_EQ(g.YPixel(kRect, 5.0f), 350.0f);
    EXPECT_EQ(g.YPixel(kRect, 25.0f), 330.0f);
    EXPECT_FLOAT_EQ(g.YValueAt(kRect, 330.0f), 25.0f);
}

TEST(GraphGeometry, RightEdgeXComesFromThePreviousXScale) {
    GraphSeries s = Series(50, {});
    GraphGeometry g;
    g.UpdateScales(kRect, {&s});
    EXPECT_EQ(s.rightEdgeX, 600);  // x scale 1.0 before the first paint
    g.UpdateScales(kRect, {&s});
    EXPECT_EQ(s.rightEdgeX, 60);
}

TEST(GraphGeometry, NarrowChartHasNoVerticalGridAndKeepsTheRightEdge) {
    GraphSeries s = Series(50, {10, 20});
    GraphGeometry g;
    const GraphRect narrow{0, 0, 100, 400};  // 40 pixels of plot width
    g.UpdateScales(narrow, {&s});
    EXPECT_EQ(g.xScale, 0.0f);
    const int edge = s.rightEdgeX;
    g.UpdateScales(narrow, {&s});  // x scale 0: no division by it
    EXPECT_EQ(s.rightEdgeX, edge);
    EXPECT_TRUE(g.VerticalGrid(narrow).empty());
}

TEST(GraphGeometry, FlatOrNegativePlotHeightKeepsTheScales) {
    GraphSeries s = Series(50, {10, 20});
    GraphGeometry g;
    g.UpdateScales(GraphRect{0, 0, 660, 60}, {&s});
    EXPECT_EQ(g.yScale, 0.5f);
    EXPECT_LE(g.HorizontalGrid(GraphRect{0, 0, 660, 60}).size(), 1000u);
}

TEST(GraphGeometry, GridLines) {
    GraphGeometry g;
    g.UpdateScales(kRect, {});
    // x scale 10 over 600 pixels: x 0 .. 60 in steps of 6.
    const std::vector<int> xs = g.VerticalGrid(kRect);
    ASSERT_EQ(xs.size(), 10u);
    EXPECT_EQ(xs[1], 6);
    // y 0 .. 640 (320 pixels at 0.5): step 64 lowered to a multiple of 10 -> 60.
    const std::vector<float> ys = g.HorizontalGrid(kRect);
    ASSERT_GE(ys.size(), 2u);
    EXPECT_EQ(ys[1], 60.0f);
    EXPECT_LT(ys.back(), 640.0f);
}

TEST(GraphGeometry, PlotAreaAndLegend) {
    GraphGeometry g;
    EXPECT_TRUE(g.InPlot(kRect, 30, 30));
    EXPECT_TRUE(g.InPlot(kRect, 630, 350));
    EXPECT_FALSE(g.InPlot(kRect, 29, 100));
    EXPECT_FALSE(g.InPlot(kRect, 100, 351));
    const GraphRect box = GraphGeometry::LegendBox(kRect, 1);
    EXPECT_EQ(box.left, 170);
    EXPECT_EQ(box.top, 370);
    EXPECT_EQ(box.Width(), 40);
    EXPECT_EQ(box.Height(), 10);
}

}  // namespace graph_series_test
}  // namespace nms

namespace nms {
namespace graph_series_test {

// The encoder pages' range takes its first value as both ends; the monitor's starts at 0 and 4000000, so
// a value above that ceiling never becomes the lowest.
TEST(BitrateRange, FirstValueOrStartValuesThenOutwards) {
    struct Case {
        bool seeded;
        std::vector<int64_t> values;
        bool known;
        int64_t max, min;
    } cases[] = {
        {false, {}, false, 0, 0},
        {false, {5000}, true, 5000, 5000},
        {false, {5000, 7000, 3000, 4000}, true, 7000, 3000},
        {false, {-2, -5}, true, -2, -5},
        {true, {}, false, 0, 4000000},
        {true, {38500, 40000, 39000}, true, 40000, 38500},
        {true, {4500000}, true, 4500000, 4000000},
    };
    for (const auto& c : cases) {
        BitrateRange range = c.seeded ? BitrateRange(0, 4000000) : BitrateRange();
        for (int64_t v : c.values)
            range.Add(v);
        EXPECT_EQ(range.Known(), c.known) << c.values.size();
        EXPECT_EQ(range.Max(), c.max) << c.values.size();
        EXPECT_EQ(range.Min(), c.min) << c.values.size();
        // A restart forgets the values, and the next one counts as the first.
        range.Restart();
        EXPECT_FALSE(range.Known());
        range.Add(100);
        EXPECT_EQ(range.Max(), 100);
        EXPECT_EQ(range.Min(), 100);
    }
}

}  // namespace graph_series_test
}  // namespace nms
