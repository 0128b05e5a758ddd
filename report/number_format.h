// The measure column of the report: "%10.3f" as the report has always written
// it, whatever the C library's rounding.
#pragma once

#include <string>

// Value rounded to 18 significant decimal digits, then to three decimals with
// a half rounded away from zero; full stop as decimal mark; right-aligned in
// ten characters, a wider number never cut. A result that shows as zero has
// no minus sign. Infinities and NaN print as "INF", "-INF" and "NAN".
std::string FormatMeasure(double Value);

// The same, appended to Out.
void AppendMeasure(std::string& Out, double Value);
