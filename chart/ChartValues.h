#pragma once
// Value lists: the numbers of a series, one list per coordinate, kept in
// point order (optionally sorted while added), read through a multiplier,
// with lazily cached minimum, maximum and totals.
#include <stdexcept>
#include <string>
#include <vector>

namespace pellucor::chart {

// The list index error of the platform's lists.
class EListError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Throws EListError "List index out of bounds (<index>)".
[[noreturn]] void ThrowListIndexError(int index);

enum TChartListOrder { loNone, loAscending, loDescending };
enum TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };

class TChartValueList;

// A series' list of its value lists, in creation order.
class TChartValueLists {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TChartValueList* GetValueList(int index) const;
    void Add(TChartValueList* list) { items_.push_back(list); }
    void Remove(TChartValueList* list);

private:
    std::vector<TChartValueList*> items_;
};

// What a value list asks of the series that owns it.
class TChartValueListOwner {
public:
    virtual ~TChartValueListOwner() = default;
    virtual TChartValueLists& ValuesList() = 0;
    virtual void NotifyValue(TValueEvent event, int index) = 0;
    // Swaps points a and b in every value list, label and colour.
    virtual void SwapValueIndex(int a, int b) = 0;
    virtual void Repaint() = 0;
    // The owner's boolean-property setter (stores and repaints when changed).
    virtual void SetBooleanProperty(bool& variable, bool value) = 0;
    virtual void CheckDataSource() = 0;
};

class TChartValueList {
public:
    // Adds itself to owner's value lists (owner may be null).
    TChartValueList(TChartValueListOwner* owner, const std::string& name);
    virtual ~TChartValueList();
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    // Copies Order, DateTime, Multiplier and ValueSource (not values or Name).
    virtual void Assign(const TChartValueList& source);
    // Stored value times Multiplier. Throws EListError outside 0..Count-1.
    virtual double GetValue(int index) const;
    virtual void SetValue(int index, double value);
    virtual void ClearValues();
    virtual int AddChartValue(double value);
    virtual void InsertChartValue(int index, double value);
    virtual int Count() const { return static_cast<int>(ValueItems.size()); }
    virtual void Delete(int index);
    virtual void Scroll();

    double First() const { return GetValue(0); }
    double Last() const { return GetValue(Count() - 1); }
    int Locate(double value) const;
    double GetMultiplier() const { return Multiplier; }
    void SetMultiplier(double value);
    bool GetDateTime() const { return DateTime; }
    void SetDateTime(bool value);
    const std::string& GetValueSource() const { return ValueSource; }
    void SetValueSource(const std::string& value);
    double GetMaxValue();
    double GetMinValue();
    double GetTotal();
    double GetTotalABS();
    void RecalcStats();
    void FillSequence();
    void Sort();
    // The stored (raw) value, before Multiplier.
    double RawValue(int index) const;

    double operator[](int index) const { return GetValue(index); }

    bool DateTime = false;
    std::string Name;
    TChartListOrder Order = loNone;
    TChartValueListOwner* OwningSeries;
    double PendingValue = 0.0;

protected:
    void CheckIndex(int index) const;
    int CompareValues(int a, int b) const;
    void SortRange(int low, int high);

    std::vector<double> ValueItems;
    double StatsMax = 0.0;
    double StatsMin = 0.0;
    double Multiplier = 1.0;
    double StatsTotal = 0.0;
    double StatsTotalAbs = 0.0;
    std::string ValueSource;
    bool StatsDirty = true;
};

}  // namespace pellucor::chart
