#include "chart/Chart.h"

#include <algorithm>
#include <cstdlib>

namespace pellucor::chart {

void TCustomChart::CalcAxisRect() {
    for (auto& a : PanelAxes) a->AdjustMaxMin();
    CalcSize3DWalls();
    if (View3D && View3DOptions->GetOrthogonal()) {
        ChartRect.Right -= std::abs(Depth3D);
        ChartRect.Top += std::abs(VertDepth3D);
    }
    ReCalcWidthHeight();
    TRect r = ChartRect;
    for (std::size_t i = 0; i < PanelAxes.size(); ++i) {
        auto* axis = PanelAxes[i].get();
        if (!IsAxisVisible(axis)) continue;
        TRect t = r;
        axis->CalcRect(t, i < 5);
        const TRect both{std::max(t.Left, r.Left), std::max(t.Top, r.Top), std::min(t.Right, r.Right),
                         std::min(t.Bottom, r.Bottom)};
        if (both.Left < both.Right && both.Top < both.Bottom) r = both;
    }
    ChartRect = r;
    ReCalcWidthHeight();
    for (auto& a : PanelAxes) a->InternalCalcPositions();
}

void TCustomChart::CalcSeriesRect() {
    for (TCustomChartAxis* axis : {static_cast<TCustomChartAxis*>(TopAxis), static_cast<TCustomChartAxis*>(LeftAxis),
                                   static_cast<TCustomChartAxis*>(RightAxis),
                                   static_cast<TCustomChartAxis*>(BottomAxis)}) {
        TRect m{0, 0, 0, 0};
        for (auto* s : SeriesList) {
            if (!s->Active || !s->AssociatedToAxis(axis)) continue;
            int a = 0, b = 0;
            if (axis->HorizontalAxis) {
                s->CalcHorizMargins(a, b);
                if (axis->AutomaticMinimum()) m.Left = std::max(m.Left, a);
                if (axis->AutomaticMaximum()) m.Right = std::max(m.Right, b);
            } else {
                s->CalcVerticalMargins(a, b);
                if (axis->AutomaticMaximum()) m.Top = std::max(m.Top, a);
                if (axis->AutomaticMinimum()) m.Bottom = std::max(m.Bottom, b);
            }
        }
        axis->AdjustMaxMinRect(m);
    }
}

int TCustomChart::CalcWallSize(const TCustomChartAxis*) { return 0; }

bool TCustomChart::IsFreeSeriesColor(TColor color, bool checkBackground) {
    for (auto* s : SeriesList)
        if (s->SeriesColor == color) return false;
    if (checkBackground && color == Color) return false;
    return true;
}

}  // namespace pellucor::chart
