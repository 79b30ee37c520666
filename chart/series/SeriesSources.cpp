// The series' data sources, linked series, copying and mark texts: a series
// can take its points from another series or from a series function and
// passes its own changes on to the series that depend on it.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/ChartProcs.h"
#include "chart/ChartSeries.h"
#include "chart/NumberFormat.h"
#include "chart/series/SeriesFunctions.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {

namespace {

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Whether series depends on target through its data sources (or is it).
bool DependsOn(const TChartSeries* series, const TChartSeries* target, int depth = 0) {
    if (series == target) return true;
    if (depth > 1000) return true;  // a chain this long can only be a cycle
    for (const TChartSeries* s : series->DataSourceList)
        if (DependsOn(s, target, depth + 1)) return true;
    return false;
}

// Colours and labels are kept exactly as long as the values: entries
// missing before index are filled with "no colour of its own" and "no label".
void PadColoursAndLabels(TChartSeries& s, std::size_t size) {
    if (s.ValueColorList.size() < size) s.ValueColorList.resize(size, UseSeriesColor);
    if (s.LabelList.size() < size) s.LabelList.resize(size);
}

}  // namespace

void TChartSeries::CreateMarks() { Marks = std::make_unique<TSeriesMarks>(this); }

// ----- data sources -----

void TChartSeries::CheckDataSource() {
    if (!ParentChart) return;
    if (TChartSeries* source = DataSource()) AddValues(*source);
}

void TChartSeries::SetDataSource(TChartSeries* value) {
    if (!value) {
        RemoveAllLinkedSeries();
        DataSourceList.clear();
        Clear();
        Repaint();
        return;
    }
    if (!ParentChart) throw ChartException("No ParentChart to validate DataSource");
    if (value == this || !IsValidSeriesSource(value)) throw ChartException("No valid DataSource: " + value->Name);
    if (std::find(DataSourceList.begin(), DataSourceList.end(), value) != DataSourceList.end()) return;
    CheckOtherSeries(value);
    RemoveAllLinkedSeries();
    DataSourceList.clear();
    InternalAddDataSource(value);
    CheckDataSource();
}

void TChartSeries::InternalAddDataSource(TChartSeries* source) {
    if (!source) return;
    DataSourceList.push_back(source);
    source->AddLinkedSeries(this);
}

void TChartSeries::RemoveDataSource(TChartSeries* source) {
    DataSourceList.erase(std::remove(DataSourceList.begin(), DataSourceList.end(), source), DataSourceList.end());
    if (source) source->RemoveLinkedSeries(this);
    CheckDataSource();
}

void TChartSeries::AddLinkedSeries(TChartSeries* series) {
    if (std::find(LinkedSeries.begin(), LinkedSeries.end(), series) == LinkedSeries.end())
        LinkedSeries.push_back(series);
}

void TChartSeries::RemoveLinkedSeries(TChartSeries* series) {
    LinkedSeries.erase(std::remove(LinkedSeries.begin(), LinkedSeries.end(), series), LinkedSeries.end());
}

void TChartSeries::RemoveAllLinkedSeries() {
    for (TChartSeries* s : DataSourceList) s->RemoveLinkedSeries(this);
}

void TChartSeries::CheckOtherSeries(TChartSeries* source) {
    if (source && DependsOn(source, this)) throw ChartException("Circular Series dependences are not allowed");
}

void TChartSeries::DetachSources() {
    RemoveAllLinkedSeries();
    DataSourceList.clear();
    const std::vector<TChartSeries*> linked = LinkedSeries;
    LinkedSeries.clear();
    for (TChartSeries* l : linked) {
        l->DataSourceList.erase(std::remove(l->DataSourceList.begin(), l->DataSourceList.end(), this),
                                l->DataSourceList.end());
    }
}

void TChartSeries::SetFunction(std::unique_ptr<TChartFunction> value) {
    SeriesFunction = std::move(value);
    if (SeriesFunction) SeriesFunction->ParentSeries = this;
    CheckDataSource();
}

// ----- points from other series -----

void TChartSeries::NotifyNewValue(TChartSeries*, int valueIndex) {
    if (Active) Repaint();
    NotifyValue(veAdd, valueIndex);
}

void TChartSeries::NotifyValue(TValueEvent event, int valueIndex) {
    const std::vector<TChartSeries*> linked = LinkedSeries;  // a change may relink
    for (TChartSeries* l : linked) {
        switch (event) {
            case veClear:
                if (l->RecalcOptions & rOnClear) l->Clear();
                break;
            case veAdd:
                if ((l->RecalcOptions & rOnInsert) && !l->SeriesFunction) l->AddedValue(*this, valueIndex);
                break;
            case veDelete:
                if ((l->RecalcOptions & rOnDelete) && !l->SeriesFunction) l->DeletedValue(*this, valueIndex);
                break;
            case veRefresh:
                l->AddValues(*this);
                break;
            case veModify:
                if (l->RecalcOptions & rOnModify) l->AddValues(*this);
                break;
        }
    }
}

int TChartSeries::AddChartValue(TChartSeries& source, int valueIndex) {
    double x = source.XValues->GetValue(valueIndex);
    double y = source.YValues->GetValue(valueIndex);
    if (YMandatory() != source.YMandatory()) std::swap(x, y);
    const int index = XValues->AddChartValue(x);
    YValues->InsertChartValue(index, y);
    for (int k = 2; k < ValueLists.Count(); ++k) {
        double v = 0;
        if (k < source.ValueLists.Count()) {
            TChartValueList* from = source.ValueLists.GetValueList(k);
            if (valueIndex < from->Count()) v = from->GetValue(valueIndex);
        }
        ValueLists.GetValueList(k)->InsertChartValue(index, v);
    }
    return index;
}

void TChartSeries::AddedValue(TChartSeries& source, int valueIndex) {
    const int index = AddChartValue(source, valueIndex);
    PadColoursAndLabels(*this, static_cast<std::size_t>(Count() - 1));
    const auto at = static_cast<std::size_t>(valueIndex);
    ValueColorList.insert(ValueColorList.begin() + index,
                          at < source.ValueColorList.size() ? source.ValueColorList[at] : UseSeriesColor);
    LabelList.insert(LabelList.begin() + index, at < source.LabelList.size() ? source.LabelList[at] : std::string());
    NotifyNewValue(this, index);
}

void TChartSeries::AddValues(TChartSeries& source) {
    if (!IsValidSourceOf(&source)) return;
    Clear();
    if (SeriesFunction) {
        XValues->DateTime = source.XValues->DateTime;
        YValues->DateTime = source.YValues->DateTime;
        SeriesFunction->AddPoints(&source);
    } else {
        for (int i = 0; i < source.Count(); ++i) AddedValue(source, i);
    }
    RefreshSeries();
}

TChartValueList& TChartSeries::GetYValueList(const std::string& name) {
    for (int k = 2; k < ValueLists.Count(); ++k)
        if (SameTextIgnoringCase(ValueLists.GetValueList(k)->Name, name)) return *ValueLists.GetValueList(k);
    return *YValues;
}

bool TChartSeries::SameClass(const TChartSeries* other) const {
    return other && (ClassHasInstance(*other) || other->ClassHasInstance(*this));
}

double TChartSeries::PointOrigin(int valueIndex, bool sumAll) {
    if (!ParentChart) return 0;
    double sum = 0;
    for (TChartSeries* s : ParentChart->SeriesList) {
        if (!sumAll && s == this) break;
        if (s->Active && SameClass(s) && s->Count() > valueIndex) {
            const double v = s->GetOriginValue(valueIndex);
            if (v > 0) sum += v;
        }
    }
    return sum;
}

void TChartSeries::AssignSeries(TChartSeries& source) {
    if (&source == this) return;
    Tag = source.Tag;
    SetDataSource(nullptr);
    if (YMandatory() == source.YMandatory()) {
        XValues->Assign(*source.XValues);
        YValues->Assign(*source.YValues);
    } else {
        YValues->Assign(*source.XValues);
        XValues->Assign(*source.YValues);
    }
    XLabelsSource = source.XLabelsSource;
    ColorSource = source.ColorSource;
    for (int k = 2; k < std::min(ValueLists.Count(), source.ValueLists.Count()); ++k)
        ValueLists.GetValueList(k)->Assign(*source.ValueLists.GetValueList(k));
    if (source.SeriesFunction && !SeriesFunction) {
        SeriesFunction = std::move(source.SeriesFunction);
        SeriesFunction->ParentSeries = this;
    }
    if (!source.DataSourceList.empty()) {
        DataSourceList.clear();
        // A source that takes its points from this series would close a
        // cycle (SetDataSource refuses those): it is left out.
        for (TChartSeries* s : source.DataSourceList)
            if (!DependsOn(s, this)) InternalAddDataSource(s);
    } else {
        // The points come with their colours and labels, entry for entry.
        AddValues(source);
    }
    Marks->Assign(*source.Marks);
    SeriesColor = source.SeriesColor;
    ColorEachPoint = source.ColorEachPoint;
    Title = source.Title;
    ValueFormat = source.ValueFormat;
    PercentFormat = source.PercentFormat;
    Active = source.Active;
    HorizAxis = source.HorizAxis;
    VertAxis = source.VertAxis;
    if (ParentChart) RecalcGetAxis();
    RecalcOptions = source.RecalcOptions;
    Cursor = source.Cursor;
    ShowInLegend = source.ShowInLegend;
    StyleFlags = source.StyleFlags;
    Identifier = source.Identifier;
    CheckDataSource();
}

// ----- mark texts -----

std::string TChartSeries::MarkPercent(int valueIndex, bool addTotal) {
    const double total = MandatoryValueList().GetTotalABS();
    const double percent = total == 0 ? 100.0 : 100.0 * std::fabs(GetMarkValue(valueIndex)) / total;
    std::string text = FormatFloat(PercentFormat, percent);
    if (addTotal) text = text + " of " + FormatFloat(ValueFormat, total);
    return text;
}

std::string TChartSeries::GetMarkText(int valueIndex) {
    auto value = [&] { return FormatFloat(ValueFormat, GetMarkValue(valueIndex)); };
    auto labelOrValue = [&] {
        const std::string label = GetXLabel(valueIndex);
        return label.empty() ? value() : label;
    };
    std::string text;
    switch (Marks->Style) {
        case smsValue: text = value(); break;
        case smsPercent: text = MarkPercent(valueIndex, false); break;
        case smsLabel: text = labelOrValue(); break;
        case smsLabelPercent: text = labelOrValue() + " " + MarkPercent(valueIndex, false); break;
        case smsLabelValue: text = labelOrValue() + " " + value(); break;
        case smsLegend: text = ParentChart ? ParentChart->FormattedValueLegend(this, valueIndex) : value(); break;
        case smsPercentTotal: text = MarkPercent(valueIndex, true); break;
        case smsLabelPercentTotal: text = labelOrValue() + " " + MarkPercent(valueIndex, true); break;
        case smsXValue:
            // Through GetxValue: a pie answers for its other slice, which has
            // no entry in the x list.
            text = HorizAxisObject ? HorizAxisObject->LabelValue(GetxValue(valueIndex))
                                   : FormatFloat(ValueFormat, GetxValue(valueIndex));
            break;
    }
    if (OnGetMarkText) OnGetMarkText(this, valueIndex, text);
    return text;
}

int TChartSeries::MaxMarkWidth() {
    if (!ParentChart || !ParentChart->Canvas) return 0;
    int widest = 0;
    for (int i = 0; i < Count(); ++i) widest = std::max(widest, ParentChart->Canvas->TextWidth(GetMarkText(i)));
    return widest;
}

bool TChartSeries::MarksShown() const { return Marks && Marks->Visible; }

void TChartSeries::DrawMarks() {
    if (!ParentChart || !ParentChart->Canvas || FirstVisibleIndex < 0) return;
    TCanvas3D& c = *ParentChart->Canvas;
    TSeriesMarkPosition position;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i) {
        if (IsNull(i)) continue;
        const std::string text = GetMarkText(i);
        if (text.empty()) continue;
        ParentChart->FontCanvas(Marks->Font);
        int lines = 1;
        int width = ParentChart->MultiLineTextWidth(text, lines) + c.TextWidth("W");
        int height = lines * c.FontHeight();
        c.AssignVisiblePen(*Marks->Frame);
        if (Marks->Frame->GetVisible()) {
            width += 2 * Marks->Frame->GetWidth();
            height += 2 * Marks->Frame->GetWidth();
        }
        position = TSeriesMarkPosition{};
        position.Width = width;
        position.Height = height;
        position.ArrowTo = TPoint{CalcXPos(i), CalcYPos(i)};
        position.ArrowFrom = position.ArrowTo;
        position.LeftTop = TPoint{position.ArrowTo.x - width / 2, position.ArrowTo.y - height + 1};
        DrawMark(i, text, position);
    }
}

void TChartSeries::DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) {
    Marks->Draw(valueIndex, GetValueColor(valueIndex), text, position);
}

}  // namespace pellucor::chart
