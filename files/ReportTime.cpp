#include "files/ReportTime.h"

#include "model/LineFormat.h"

#include <ctime>

namespace orven {

ReportTime LocalReportTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ReportTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min};
}

std::string ReportDateLine(const ReportTime& time) {
    return FormatLine("Date:%d.%d.%d\t\tTime:%d:%d\n", time.year, time.month, time.day, time.hour,
                      time.minute);
}

}  // namespace orven
