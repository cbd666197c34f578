#include "apps/qelv/render/time_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Two digits below 60, as after a colon.
bool Sexagesimal(const std::string& text) { return text.size() == 2 && AllDigits(text) && text[0] < '6'; }
}  // namespace

bool ParseTime(const std::string& text, double& seconds) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == ':') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() > 3) return false;
    // The last part may carry decimals; the whole of it must be digits around one point.
    std::string last = parts.back(), fraction;
    if (const size_t point = last.find('.'); point != std::string::npos) {
        fraction = last.substr(point + 1);
        last.resize(point);
        if (!AllDigits(fraction)) return false;
    }
    if (parts.size() == 1 ? !AllDigits(last) : !Sexagesimal(last)) return false;
    if (parts.size() == 3 && !Sexagesimal(parts[1])) return false;
    if (parts.size() > 1 && !AllDigits(parts[0])) return false;

    double total = 0;
    for (size_t i = 0; i + 1 < parts.size(); ++i) total = (total + std::strtod(parts[i].c_str(), nullptr)) * 60;
    total += std::strtod((last + "." + fraction).c_str(), nullptr);
    if (!std::isfinite(total)) return false;
    seconds = total;
    return true;
}

std::string ClockText(double seconds) {
    const long long whole = seconds > 0 ? static_cast<long long>(seconds) : 0;
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}
