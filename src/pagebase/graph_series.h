// The data and the geometry of the strip chart. A page owns its series and feeds them; the chart only
// reads them (and writes the legend box and the right-edge x back at every paint).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nms {

constexpr int kGraphSamples = 5000;

struct GraphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct GraphSeries {
    std::string name;     // legend text
    uint32_t colour = 0;  // red in the low byte, then green, then blue
    GraphRect legendBox;  // written by the chart at every paint
    int visible = 0;      // drawn only when non-zero
    std::array<float, kGraphSamples> values{};
    int count = 0;       // valid samples, at most kGraphSamples
    int fullScale = 0;   // the y value that fills the plot height
    int rightEdgeX = 0;  // written by the chart: x value at the plot's right edge
    std::string xLabel;  // drawn at the right end of the x axis (at most 11 characters)
    std::string yLabel;  // drawn above the y axis (at most 11 characters)

    // Appends a sample; once the count reaches the right-edge x (or the array's end) the oldest samples
    // are dropped, so the newest is always the last one.
    void Append(float value);
};

// Scales and pixel mapping of the chart, recomputed at every paint from the registered series.
class GraphGeometry {
public:
    static constexpr int kLeftMargin = 30, kRightMargin = 30, kTopMargin = 30, kBottomMargin = 50;
    static constexpr int kLegendWidth = 40, kLegendHeight = 10, kLegendSpacing = 100;

    float xOrigin = 0.0f;
    float xScale = 1.0f;
    float yOrigin = 0.0f;
    float yScale = 0.5f;

    // Step 2 of the paint: writes each series' right-edge x and sets the scales for rect.
    void UpdateScales(const GraphRect& rect, const std::vector<GraphSeries*>& series);

    float XPixel(const GraphRect& rect, float x) const;
    float YPixel(const GraphRect& rect, float y) const;
    float YValueAt(const GraphRect& rect, float pixel) const;
    float XValueAt(const GraphRect& rect, float pixel) const;
    bool InPlot(const GraphRect& rect, int x, int y) const;

    // The x values of the vertical grid lines (none when the x scale is 0).
    std::vector<int> VerticalGrid(const GraphRect& rect) const;
    // The y values of the horizontal grid lines.
    std::vector<float> HorizontalGrid(const GraphRect& rect) const;
    // Legend box of series i.
    static GraphRect LegendBox(const GraphRect& rect, int i);
};

}  // namespace nms
