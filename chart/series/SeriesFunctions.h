#pragma once
// Series functions: a series whose points are computed from its data
// sources instead of being added by the program. The sum, difference,
// product or quotient of several sources point by point, or the total,
// highest, lowest or average value of one source over all its points or
// period by period.
#include <memory>
#include <string>
#include <vector>

namespace pellucor::chart {

class TChartSeries;
class TChartValueList;

enum TFunctionPeriodStyle { psNumPoints, psRange };
enum TFunctionPeriodAlign { paFirst, paCenter, paLast };

class TChartFunction {
public:
    TChartFunction() = default;
    virtual ~TChartFunction() = default;
    TChartFunction(const TChartFunction&) = delete;
    TChartFunction& operator=(const TChartFunction&) = delete;

    // 0: one result over all points; above 0: points per period
    // (psNumPoints) or width of a period in x units (psRange).
    double Period = 0;
    TFunctionPeriodStyle PeriodStyle = psNumPoints;
    TFunctionPeriodAlign PeriodAlign = paCenter;
    TChartSeries* ParentSeries = nullptr;  // the series that owns this function
    bool Updating = false;
    std::string Name;

    virtual void CalculatePeriod(TChartSeries& source, double x, int firstIndex, int lastIndex);
    virtual void CalculateAllPoints(TChartSeries& source, TChartValueList& positions);
    virtual void CalculateByPeriod(TChartSeries& source, TChartValueList& positions);
    // firstIndex -1: over all points.
    virtual double Calculate(TChartSeries& /*source*/, int /*firstIndex*/, int /*lastIndex*/) { return 0; }
    // The result at one point index over several sources.
    virtual double CalculateMany(const std::vector<TChartSeries*>& /*sources*/, int /*valueIndex*/) { return 0; }
    // Computes and adds every point of the parent series.
    virtual void AddPoints(TChartSeries* source);

    void Assign(const TChartFunction& source);
    void BeginUpdate() { Updating = true; }
    void EndUpdate();
    void ReCalculate();
    // A negative period raises ChartException "Function Period should be >= 0".
    void SetPeriod(double value);
    void InternalSetPeriod(double value) { Period = value; }
    void SetPeriodAlign(TFunctionPeriodAlign value);
    void SetPeriodStyle(TFunctionPeriodStyle value);
    // Moves this function (owned by its current parent series) to series.
    void SetParentSeries(TChartSeries* series);
    // The value list of series the function reads.
    TChartValueList& ValueList(TChartSeries& series);
    void AddFunctionXY(bool yMandatorySource, double x, double y);
};

class TAddChartFunction : public TChartFunction {
public:
    double Calculate(TChartSeries& source, int firstIndex, int lastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) override;
};

class THighChartFunction : public TChartFunction {
public:
    double Calculate(TChartSeries& source, int firstIndex, int lastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) override;
};

class TLowChartFunction : public TChartFunction {
public:
    double Calculate(TChartSeries& source, int firstIndex, int lastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) override;
};

class TAverageChartFunction : public TChartFunction {
public:
    double Calculate(TChartSeries& source, int firstIndex, int lastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) override;
};

// The first value found, then each further value folded in.
class TManySeriesChartFunction : public TChartFunction {
public:
    double CalculateMany(const std::vector<TChartSeries*>& sources, int valueIndex) override;
    virtual double CalculateValue(double result, double value) = 0;
};

class TSubtractChartFunction : public TManySeriesChartFunction {
public:
    double CalculateValue(double result, double value) override { return result - value; }
};

class TMultiplyChartFunction : public TManySeriesChartFunction {
public:
    double CalculateValue(double result, double value) override { return result * value; }
};

// Dividing by zero leaves the quotient unchanged.
class TDivideChartFunction : public TManySeriesChartFunction {
public:
    double CalculateValue(double result, double value) override { return value == 0 ? result : result / value; }
};

class TBasicChartFunction : public TChartFunction {};

// A new function of a registered class name ("TAddChartFunction" ...), or none.
std::unique_ptr<TChartFunction> CreateChartFunction(const std::string& functionClass);
// Registers the seven functions on the gallery page "Functions" (once).
void RegisterSeriesFunctions();

}  // namespace pellucor::chart
