#pragma once
#include <string>

// Times as video makers write them: seconds with decimals ("12.5"), or minutes and
// seconds ("1:05", "1:05.25"), or hours, minutes and seconds ("1:02:03"). Seconds and
// minutes after a colon take two digits, below 60. False for anything else, such as a
// sign, an exponent or an empty part.
bool ParseTime(const std::string& text, double& seconds);
// Whole seconds as m:ss, or h:mm:ss from an hour on.
std::string ClockText(double seconds);
