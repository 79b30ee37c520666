// Number and date-time pictures of axis labels and series values, for any
// picture and any value (infinities, NaN, denormals, huge dates).
#include <cmath>

#include "FuzzSupport.h"
#include "chart/NumberFormat.h"

using namespace pellucor;
using namespace pellucor::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    const double value = in.real();
    const uint8_t mode = in.byte();
    const std::string picture = in.rest();
    chart::NumberFormatSettings settings;
    if (mode & 1) settings = {',', '.'};
    if (mode & 2) settings = {static_cast<char>(in.byte()), static_cast<char>(mode)};
    const std::string number = chart::FormatFloat(picture, value, settings);
    // A picture writes at most its own characters plus the digits of a double.
    PELLUCOR_FUZZ_CHECK(number.size() <= 4 * picture.size() + 400, "bounded number text");
    const std::string date = chart::FormatDateTime(picture, value);
    PELLUCOR_FUZZ_CHECK(date.size() <= 12 * picture.size() + 16, "bounded date text");
    if (!std::isfinite(value)) PELLUCOR_FUZZ_CHECK(date.empty(), "no date for a value that is no number");
    return 0;
}
