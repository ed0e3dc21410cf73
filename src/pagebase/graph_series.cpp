#include "pagebase/graph_series.h"

#include <algorithm>
#include <cmath>

namespace nms {

void GraphSeries::Append(float value) {
    // A right-edge x beyond the array (a very wide chart) must not let the count run past it.
    const int limit = std::clamp(rightEdgeX, 1, kGraphSamples);
    count = std::clamp(count, 0, kGraphSamples - 1);
    values[size_t(count)] = value;
    ++count;
    if (count >= limit) {
        const int drop = count - limit + 1;
        std::copy(values.begin() + drop, values.begin() + count, values.begin());
        count -= drop;
    }
}

void GraphGeometry::UpdateScales(const GraphRect& rect, const std::vector<GraphSeries*>& series) {
    int maxFullScale = 0;
    float largest = 0.0f;
    float smallest = 500.0f;
    for (GraphSeries* s : series) {
        maxFullScale = std::max(maxFullScale, s->fullScale);
        // With an x scale of 0 (a chart too narrow) the right edge has no x value: keep the last one.
        if (xScale > 0.0f) {
            const float edge = XValueAt(rect, float(rect.right - kRightMargin));
            if (std::isfinite(edge) && std::fabs(edge) < 1e9f)
                s->rightEdgeX = int(edge);
        }
        const int n = std::clamp(s->count, 0, kGraphSamples);
        for (int i = 0; i < n; ++i) {
            largest = std::max(largest, s->values[size_t(i)]);
            smallest = std::min(smallest, s->values[size_t(i)]);
        }
    }
    const int plotHeight = rect.bottom - kBottomMargin - kTopMargin;
    // A plot without height keeps its scales: they would be 0 or negative.
    if (plotHeight > 0) {
        if (maxFullScale > 0)
            yScale = float(plotHeight) / float(maxFullScale);
        if (smallest > 0.0f && smallest != 500.0f)
            yOrigin = smallest;
        // largest above the origin only: an origin left from an earlier paint would turn the scale over.
        if (largest > 0.0f && largest < float(maxFullScale) && largest != smallest && largest > yOrigin)
            yScale = float(plotHeight) / (largest - yOrigin);
    }
    xScale = float(std::max(0, rect.right - kLeftMargin - kRightMargin) / 60);
}

float GraphGeometry::XPixel(const GraphRect&, float x) const {
    return (x - xOrigin) * xScale + float(kLeftMargin);
}

float GraphGeometry::YPixel(const GraphRect& rect, float y) const {
    return float(rect.bottom - kBottomMargin) - yScale * std::max(0.0f, y - yOrigin);
}

float GraphGeometry::YValueAt(const GraphRect& rect, float pixel) const {
    return (float(rect.bottom - kBottomMargin) - pixel) / yScale + yOrigin;
}

float GraphGeometry::XValueAt(const GraphRect&, float pixel) const {
    return (pixel - float(kLeftMargin)) / xScale + xOrigin;
}

bool GraphGeometry::InPlot(const GraphRect& rect, int x, int y) const {
    return x >= kLeftMargin && x <= rect.right - kRightMargin && y >= kTopMargin &&
           y <= rect.bottom - kBottomMargin;
}

std::vector<int> GraphGeometry::VerticalGrid(const GraphRect& rect) const {
    std::vector<int> lines;
    if (xScale <= 0.0f)
        return lines;
    const int u = int(XValueAt(rect, float(rect.right - kRightMargin)));
    const int start = int(xOrigin);
    const int step = (u - start) / 10;
    if (step <= 0)
        return lines;
    for (int x = start; x < u; x += step)
        lines.push_back(x);
    return lines;
}

std::vector<float> GraphGeometry::HorizontalGrid(const GraphRect& rect) const {
    std::vector<float> lines;
    if (!(yScale > 0.0f) || !std::isfinite(yScale))
        return lines;
    const float top = YValueAt(rect, float(kTopMargin));
    float step = (top - yOrigin) * 0.1f;
    if (step > 10.0f && step < 1e15f)
        step = step - float(int64_t(step) % 10);
    if (!(step > 0.0f))
        step = 1.0f;
    // Bounded: a float origin far from zero may stop growing by step.
    for (float y = yOrigin; y < top && lines.size() < 1000; y += step)
        lines.push_back(y);
    return lines;
}

GraphRect GraphGeometry::LegendBox(const GraphRect& rect, int i) {
    GraphRect box;
    box.left = i * (kLegendWidth + kLegendSpacing) + kLeftMargin;
    box.top = rect.bottom - kBottomMargin + 20;
    box.right = box.left + kLegendWidth;
    box.bottom = box.top + kLegendHeight;
    return box;
}

}  // namespace nms
