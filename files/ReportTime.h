// The moment a report is made: passed in, so that a report's text depends on nothing else.
#pragma once

#include <string>

namespace orven {

struct ReportTime {
    int year;    // e.g. 2024
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
};

// The local date and time now.
ReportTime LocalReportTime();

// The first line of every report: "Date:Y.M.D\t\tTime:H:M\n", numbers without leading zeros.
std::string ReportDateLine(const ReportTime& time);

}  // namespace orven
