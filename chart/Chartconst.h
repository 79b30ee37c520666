#pragma once
// Message texts of the chart engine.

namespace pellucor::chart {

inline constexpr const char* TeeMsg_CheckAngle = "%s Angle must be between 0 and 359 degrees";
inline constexpr const char* TeeMsg_ListIndexError = "List index out of bounds (%d)";
inline constexpr const char* TeeMsg_AxisTitleLabel = "Axis Title";
inline constexpr const char* TeeMsg_AxisLabelsLabel = "Axis Labels";
inline constexpr const char* TeeMsg_DefaultFontName = "Arial";
inline constexpr const char* TeeMsg_DefaultFontSize = "8";

}  // namespace pellucor::chart
