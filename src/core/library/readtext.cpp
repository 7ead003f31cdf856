#include "library/readtext.h"

#include <charconv>
#include <cmath>

namespace zelk::readback {

// Whole text as an integer (an optional sign, then digits), in range.
bool ParseInt(std::string_view s, long long low, long long high, long long& out) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
    if (v < low || v > high) return false;
    out = v;
    return true;
}

// Whole text as a decimal number, truncated toward zero, in range.
bool ParseTruncated(std::string_view s, long long low, long long high, long long& out) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    // from_chars would also take "inf" and "nan"; only plain decimal
    // notation is ours.
    for (char c : s)
        if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != 'e' && c != 'E') return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    const double t = std::trunc(v);
    if (t < static_cast<double>(low) || t > static_cast<double>(high)) return false;
    out = static_cast<long long>(t);
    return true;
}

}  // namespace zelk::readback
