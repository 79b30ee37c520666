#pragma once
// A chart of the programs' usual size drawn flat and unbuffered onto a
// recording device, and the texts read back from the recording.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "platform/gfx/RecordingDevice.h"

namespace pellucor::chart {

// "TextOut x y text" split into its parts.
struct TextCall {
    int x = 0, y = 0;
    std::string text;
    bool operator==(const TextCall&) const = default;
};

inline void PrintTo(const TextCall& t, std::ostream* os) {
    *os << "(" << t.x << ", " << t.y << ") \"" << t.text << "\"";
}

inline std::vector<TextCall> TextCalls(const platform::RecordingDevice& d) {
    std::vector<TextCall> out;
    for (const auto& c : d.CallsStartingWith("TextOut ")) {
        TextCall t;
        const auto p1 = c.find(' ', 8);
        const auto p2 = c.find(' ', p1 + 1);
        t.x = std::stoi(c.substr(8, p1 - 8));
        t.y = std::stoi(c.substr(p1 + 1, p2 - p1 - 1));
        t.text = c.substr(p2 + 1);
        out.push_back(t);
    }
    return out;
}

// Texts written by the drawing, in order.
inline std::vector<std::string> Texts(const platform::RecordingDevice& d) {
    std::vector<std::string> out;
    for (const auto& t : TextCalls(d)) out.push_back(t.text);
    return out;
}

class RecordedChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        chart.View3D = false;
        chart.Canvas->SetUseBuffer(false);
        chart.Width = 656;
        chart.Height = 357;
        // These tests read back what the axes draw: no legend texts between.
        chart.Legend->Visible = false;
    }
    // Draws the chart on the recording device over its whole client area.
    void DrawRecorded() {
        device.Clear();
        platform::Canvas canvas(&device);
        chart.Draw(&canvas, TRect{0, 0, chart.Width, chart.Height});
    }
    // Texts of one axis, drawn with every other axis hidden.
    std::vector<std::string> LabelsOf(TCustomChartAxis* axis) {
        for (auto& a : chart.PanelAxes) a->SetVisible(a.get() == axis);
        DrawRecorded();
        return Texts(device);
    }
    TChart chart;
    platform::RecordingDevice device{656, 357};
};

}  // namespace pellucor::chart
