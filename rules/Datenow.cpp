#include "rules/Datenow.h"

#include <cstdio>
#include <cstdlib>

NowEdits EditsOfLocalTime(const std::tm& local) {
    NowEdits n;
    const long offset = local.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%c%ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    n.Offset = text;
    if (offset % 3600 != 0) return n;
    n.Edits[DATE_YEAR] = std::to_string(local.tm_year + 1900);
    n.Edits[DATE_MONTH] = std::to_string(local.tm_mon + 1);
    n.Edits[DATE_DAY] = std::to_string(local.tm_mday);
    n.Edits[DATE_HOUR] = std::to_string(local.tm_hour);
    n.Edits[DATE_MINUTE] = std::to_string(local.tm_min);
    // With its sign east of UTC too, as the devices report it (+9).
    n.Edits[DATE_GMT] = (offset > 0 ? "+" : "") + std::to_string(offset / 3600);
    n.Ok = true;
    return n;
}

NowEdits EditsOfNow(const std::function<std::time_t()>& clock) {
    const std::time_t now = clock();
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return {};
    return EditsOfLocalTime(local);
}
