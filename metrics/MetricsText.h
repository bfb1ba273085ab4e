#pragma once
#include <map>
#include <string>
#include <string_view>

#include "metrics/ProgramMetrics.h"

// The two exposition formats scrapers read: Prometheus' text format 0.0.4
// and OpenMetrics 1.0.0.
enum class MetricsFormat { kPrometheus, kOpenMetrics };

// The format an Accept header prefers: OpenMetrics only when it is asked
// for with a higher weight than plain text (or plain text is not accepted).
MetricsFormat ChooseMetricsFormat(std::string_view accept);
const char* MetricsContentType(MetricsFormat format);

// A label value as both formats require it: backslash, double quote and
// line feed escaped, and any byte that is not valid UTF-8 replaced by
// U+FFFD (a scraper rejects the whole page otherwise).
std::string EscapeLabelValue(std::string_view value);

// The page for the programs that have series (busyOnce), in path order.
std::string RenderMetrics(const std::map<std::string, ProgramMetrics>& programs, MetricsFormat format,
                          std::string_view version);
