#include "chart/series/SeriesFunctions.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "chart/Chart.h"
#include "chart/ChartProcs.h"
#include "chart/ChartSeries.h"

namespace pellucor::chart {

using platform::RoundHalfEven;

namespace {

// The values the sources hold at valueIndex, in source order.
template <typename F>
void ForEachValue(TChartFunction& f, const std::vector<TChartSeries*>& sources, int valueIndex, F&& use) {
    for (TChartSeries* s : sources) {
        TChartValueList& list = f.ValueList(*s);
        if (list.Count() > valueIndex) use(list.GetValue(valueIndex));
    }
}

}  // namespace

// ----- base -----

void TChartFunction::Assign(const TChartFunction& source) {
    Period = source.Period;
    PeriodStyle = source.PeriodStyle;
    PeriodAlign = source.PeriodAlign;
}

void TChartFunction::EndUpdate() {
    if (!Updating) return;
    Updating = false;
    ReCalculate();
}

void TChartFunction::ReCalculate() {
    if (!Updating && ParentSeries) ParentSeries->CheckDataSource();
}

void TChartFunction::SetPeriod(double value) {
    if (value < 0) throw ChartException("Function Period should be >= 0");
    if (value == Period) return;
    Period = value;
    ReCalculate();
}

void TChartFunction::SetPeriodAlign(TFunctionPeriodAlign value) {
    if (value == PeriodAlign) return;
    PeriodAlign = value;
    ReCalculate();
}

void TChartFunction::SetPeriodStyle(TFunctionPeriodStyle value) {
    if (value == PeriodStyle) return;
    PeriodStyle = value;
    ReCalculate();
}

void TChartFunction::SetParentSeries(TChartSeries* series) {
    if (series == ParentSeries || !series || !ParentSeries || ParentSeries->SeriesFunction.get() != this) return;
    std::unique_ptr<TChartFunction> self = std::move(ParentSeries->SeriesFunction);
    ParentSeries = nullptr;
    series->SetFunction(std::move(self));
}

TChartValueList& TChartFunction::ValueList(TChartSeries& series) {
    const std::string& source = ParentSeries ? ParentSeries->MandatoryValueList().GetValueSource() : std::string();
    if (!source.empty()) return series.GetYValueList(source);
    return series.MandatoryValueList();
}

void TChartFunction::AddFunctionXY(bool yMandatorySource, double x, double y) {
    if (!yMandatorySource) std::swap(x, y);
    ParentSeries->AddXY(x, y, {}, UseSeriesColor);
}

void TChartFunction::CalculatePeriod(TChartSeries& source, double x, int firstIndex, int lastIndex) {
    AddFunctionXY(source.YMandatory(), x, Calculate(source, firstIndex, lastIndex));
}

void TChartFunction::AddPoints(TChartSeries* source) {
    if (!source || !ParentSeries) return;
    TChartValueList& positions = source->YMandatory() ? *source->XValues : *source->YValues;
    if (ParentSeries->DataSourceList.size() > 1) {
        const std::vector<TChartSeries*> sources = ParentSeries->DataSourceList;
        for (int i = 0; i < source->Count(); ++i) {
            double x = positions.GetValue(i);
            double v = CalculateMany(sources, i);
            if (!source->YMandatory()) std::swap(x, v);
            ParentSeries->AddXY(x, v, source->GetXLabel(i), UseSeriesColor);
        }
    } else if (source->Count() > 0) {
        if (Period == 0) CalculateAllPoints(*source, positions);
        else CalculateByPeriod(*source, positions);
    }
}

void TChartFunction::CalculateAllPoints(TChartSeries& source, TChartValueList& positions) {
    const double v = Calculate(source, -1, -1);
    const double lo = positions.GetMinValue();
    const double hi = positions.GetMaxValue();
    const double mid = lo + (hi - lo) * 0.5;
    if (ParentSeries->SingleFunctionPoint) {
        if (ParentSeries->YMandatory()) ParentSeries->AddXY(mid, v, {}, UseSeriesColor);
        else ParentSeries->AddXY(v, mid, {}, UseSeriesColor);
    } else {
        AddFunctionXY(source.YMandatory(), lo, v);
        AddFunctionXY(source.YMandatory(), hi, v);
    }
}

void TChartFunction::CalculateByPeriod(TChartSeries& source, TChartValueList& positions) {
    const int n = source.Count();
    const bool byPoints = PeriodStyle == psNumPoints;
    const int points = RoundHalfEven(Period);
    // A period that rounds to no points would never move on: it gives no
    // results (rather than looping forever on empty periods).
    if (byPoints && points < 1) return;
    const TDateTimeStep step = FindDateTimeStep(Period);
    int p = 0;
    // A point whose position is not a finite number lies in no range
    // period: waiting for the period that holds it would never end.
    auto skipPlaceless = [&] {
        if (!byPoints)
            while (p < n && !std::isfinite(positions.GetValue(p))) ++p;
        return p < n;
    };
    if (!skipPlaceless()) return;
    double r = positions.GetValue(p);
    do {
        if (!skipPlaceless()) return;
        double lastPos = 0;
        double firstPos = 0;
        int q = 0;
        if (byPoints) {
            q = points + p - 1;
            firstPos = positions.GetValue(p);
            if (q < n) lastPos = positions.GetValue(q);
        } else {
            q = p;
            firstPos = r;
            const double before = r;
            if (ParentSeries->HorizAxisObject) ParentSeries->HorizAxisObject->IncDecDateTime(true, r, Period, step);
            else r += Period;
            // A period too small to move the start on (at the size of the x
            // values) would repeat the same empty period for ever.
            if (!(r > before)) return;
            lastPos = r - 0.001 * Period;
            while (q < n - 1 && positions.GetValue(q + 1) < r) ++q;
        }
        bool held = true;
        if (q < n) {
            const double x = PeriodAlign == paFirst  ? firstPos
                             : PeriodAlign == paLast ? lastPos
                                                     : (firstPos + lastPos) * 0.5;
            if (!byPoints) held = positions.GetValue(p) < r;
            if (held) CalculatePeriod(source, x, p, q);
            else AddFunctionXY(source.YMandatory(), x, 0);
        }
        if (byPoints || held) p = q + 1;
    } while (p <= n - 1);
}

// ----- concrete functions -----

double TAddChartFunction::Calculate(TChartSeries& source, int first, int last) {
    TChartValueList& list = ValueList(source);
    if (first == -1) return list.GetTotal();
    if (last < first) return 0;
    double sum = 0;
    for (int i = first; i <= last; ++i) sum += list.GetValue(i);
    return sum;
}

double TAddChartFunction::CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) {
    double sum = 0;
    ForEachValue(*this, sources, valueIndex, [&](double v) { sum += v; });
    return sum;
}

double THighChartFunction::Calculate(TChartSeries& source, int first, int last) {
    TChartValueList& list = ValueList(source);
    if (first == -1) return list.GetMaxValue();
    if (last < first) return 0;
    double m = list.GetValue(first);
    for (int i = first + 1; i <= last; ++i) m = std::max(m, list.GetValue(i));
    return m;
}

// Starts from the first value found, so a highest of negative values is
// one of them, not 0.
double THighChartFunction::CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) {
    bool any = false;
    double m = 0;
    ForEachValue(*this, sources, valueIndex, [&](double v) {
        m = any ? std::max(m, v) : v;
        any = true;
    });
    return m;
}

double TLowChartFunction::Calculate(TChartSeries& source, int first, int last) {
    TChartValueList& list = ValueList(source);
    if (first == -1) return list.GetMinValue();
    if (last < first) return 0;
    double m = list.GetValue(first);
    for (int i = first + 1; i <= last; ++i) m = std::min(m, list.GetValue(i));
    return m;
}

double TLowChartFunction::CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) {
    bool any = false;
    double m = 0;
    ForEachValue(*this, sources, valueIndex, [&](double v) {
        m = any ? std::min(m, v) : v;
        any = true;
    });
    return m;
}

double TAverageChartFunction::Calculate(TChartSeries& source, int first, int last) {
    TChartValueList& list = ValueList(source);
    if (first == -1) return source.Count() > 0 ? list.GetTotal() / source.Count() : 0;
    if (last < first) return 0;
    double sum = 0;
    for (int i = first; i <= last; ++i) sum += list.GetValue(i);
    return sum / (last - first + 1);
}

double TAverageChartFunction::CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) {
    double sum = 0;
    int count = 0;
    ForEachValue(*this, sources, valueIndex, [&](double v) {
        sum += v;
        ++count;
    });
    return count > 0 ? sum / count : 0;
}

double TManySeriesChartFunction::CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) {
    bool any = false;
    double result = 0;
    ForEachValue(*this, sources, valueIndex, [&](double v) {
        result = any ? CalculateValue(result, v) : v;
        any = true;
    });
    return result;
}

// ----- registry -----

std::unique_ptr<TChartFunction> CreateChartFunction(const std::string& functionClass) {
    if (functionClass == "TAddChartFunction") return std::make_unique<TAddChartFunction>();
    if (functionClass == "TSubtractChartFunction") return std::make_unique<TSubtractChartFunction>();
    if (functionClass == "TMultiplyChartFunction") return std::make_unique<TMultiplyChartFunction>();
    if (functionClass == "TDivideChartFunction") return std::make_unique<TDivideChartFunction>();
    if (functionClass == "THighChartFunction") return std::make_unique<THighChartFunction>();
    if (functionClass == "TLowChartFunction") return std::make_unique<TLowChartFunction>();
    if (functionClass == "TAverageChartFunction") return std::make_unique<TAverageChartFunction>();
    return nullptr;
}

void RegisterSeriesFunctions() {
    static const bool done = [] {
        RegisterChartBasicFunction("TAddChartFunction", "Add");
        RegisterChartBasicFunction("TSubtractChartFunction", "Subtract");
        RegisterChartBasicFunction("TMultiplyChartFunction", "Multiply");
        RegisterChartBasicFunction("TDivideChartFunction", "Divide");
        RegisterChartBasicFunction("THighChartFunction", "High");
        RegisterChartBasicFunction("TLowChartFunction", "Low");
        RegisterChartBasicFunction("TAverageChartFunction", "Average");
        return true;
    }();
    (void)done;
}

}  // namespace pellucor::chart
