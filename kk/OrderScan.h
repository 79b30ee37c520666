#pragma once
// Choosing Z'(inf) and the degree of the tail polynomials, and the two files
// that record the outcome: the order-scan summary (.sum) and the measured
// plus extrapolated spectrum (.ext). Plain functions over State(); the
// extrapolation dialog and the menu commands call them.
#include <functional>
#include <string>

#include "core/ProgramState.h"

namespace pellucor::kk {

// "4UNO" (divisor 10), "6DUO" (100), "5TRIO" (anything else).
std::string ExtrapolationOrderLabel(int degree);

// Parabolic refinement of a one-dimensional objective around x0: three
// trials per round, the next trial halfway between the middle point and the
// vertex of the parabola through them, at most 20 rounds. With `stopTest`
// a stop request after a round's message pump ends it early.
struct RefinedPoint {
    double x = 0;
    double value = 0;
    bool stopped = false;
};
RefinedPoint RefineParabolic(const std::function<double(double)>& objective, double x0,
                             bool stopTest);

// Z'(inf) that makes the tail polynomials continue the lowest measured
// points best; leaves the extrapolated view on with the appended points in
// place. Returns the tail deviation.
double TailZrInfSearch();
// Z'(inf) that minimises the Kramers-Kronig residual (search), or one
// evaluation at ZRealAt1; leaves the Kramers-Kronig view on and replots.
double EvaluateKramersKronig(bool search);
// Both searches for the current degree; returns the tail deviation.
double EvaluateOrder();

// Degrees 4 to 8: each evaluated, ranked by OrderCriterion, the summary
// written to TempFolder + base name of `openedFile` + ".sum", the best
// degree computed again and shown. False when a stop request ended the scan
// (the summary is then empty) or the summary could not be written.
bool ScanExtrapolationOrders(const std::string& openedFile);

// One scanned degree.
struct OrderScanEntry {
    std::string label;
    double zrInf = 0;
    double continuity = 0;
    double deviation = 0;
};
// Sorts entries[0..count-1] best first by criterion (1 continuity, 2
// deviation, otherwise their product), smallest first; entries whose key is
// not a number go last.
void RankOrderEntries(OrderScanEntry* entries, int count, int criterion);
// The text of the summary file for entries 1..5, best first.
std::string SummaryFileText(const OrderScanEntry* entries, int count);
// Writes it to SummaryFileName; false (after a message box) when it fails.
bool WriteSummaryFile(const OrderScanEntry* entries, int count);

// Lines "%15.6le %15.6le %15.6le" (frequency, Z', Z'' as stored, turned over
// with the reversed-sign option so that the data reader gives the stored
// value back) for points 1..count, with decimal commas unless the
// point-notation option is on.
std::string ExtrapolatedDataText(int count);
// Writes ExtrapolatedDataText; false (after a message box) when it fails.
bool WriteExtrapolatedData(const std::string& fileName, int count);

// What saving needs of the main window.
struct SaveExtrapolatedHooks {
    // Makes the saved file the current data set (the main window's open).
    std::function<void(const std::string&)> openDataFile;
    // Puts the text into the main window's caption.
    std::function<void(const std::string&)> setCaption;
};
// Saves the measured plus appended points under a proposed or chosen name
// (asked through the message box and save dialog seams) and loads the file
// as the current data set, named as the program's own impedance file
// (Files.WrittenAsImpedances) so that it reads back as saved. Messages 14 (extrapolated view on) or 12 (nothing
// appended) instead when there is nothing to save.
void SaveExtrapolatedData(const SaveExtrapolatedHooks& hooks);

}  // namespace pellucor::kk
