#include "read_number.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// A double is rounded correctly from its first 768 significant digits and
// whether any digit after them is non-zero, so no more than this is kept.
constexpr std::size_t kept_digits = 800;

// An exponent is counted no further than this, far beyond every double and
// every input length, so that no count can overflow.
constexpr long long exponent_limit = std::numeric_limits<long long>::max() / 100;

// Whether a character is a decimal digit, in any locale.
bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

// Reads digits with at most one decimal point, from `next` on, and appends the
// significant ones to `text`, at most kept_digits and then one digit that is
// non-zero when a dropped one was: a value just above a halfway point is then
// not rounded as if it were on it. Counts in `point` where the decimal point
// stands, so that the number is 0.<digits> times ten to the power `point`.
// Gives whether there was a digit.
bool read_significand(std::streambuf &input, int &next, std::string &text, long long &point)
{
    bool any_digit = false;
    bool in_fraction = false;
    bool dropped_non_zero = false;
    std::size_t kept = 0;
    for (;; next = input.snextc()) {
        if (next == '.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        if (!is_digit(next)) {
            break;
        }
        any_digit = true;
        if (kept == 0 && next == '0') { // leading zeros are not significant
            point -= in_fraction ? 1 : 0;
            continue;
        }
        point += in_fraction ? 0 : 1;
        if (kept < kept_digits) {
            text += static_cast<char>(next);
            ++kept;
        } else {
            dropped_non_zero = dropped_non_zero || next != '0';
        }
    }
    text += dropped_non_zero ? '1' : '0';
    return any_digit;
}

// Reads an exponent's optional sign and digits, from `next` on, into
// `exponent`. Gives whether there was a digit.
bool read_exponent(std::streambuf &input, int &next, long long &exponent)
{
    const bool negative = next == '-';
    if (next == '+' || next == '-') {
        next = input.snextc();
    }
    bool any_digit = false;
    for (; is_digit(next); next = input.snextc()) {
        any_digit = true;
        exponent = std::min(exponent * 10 + (next - '0'), exponent_limit);
    }
    exponent = negative ? -exponent : exponent;
    return any_digit;
}

} // namespace

std::istream &read_number(std::istream &in, double &value)
{
    value = 0.0;
    const std::istream::sentry skipped(in); // also flushes the prompt
    if (!skipped) {
        return in;
    }
    // Each character is looked at once, so an interactive end of input is never waited for twice.
    std::streambuf &input = *in.rdbuf();
    int next = input.sgetc();

    // The number is rewritten for strtod as sign, ".", significant digits, "e" and power of ten.
    std::string text;
    text.reserve(kept_digits + 32);
    if (next == '+' || next == '-') {
        text += static_cast<char>(next);
        next = input.snextc();
    }
    text += '.';
    long long point = 0;
    bool complete = read_significand(input, next, text, point);
    if (complete && (next == 'e' || next == 'E')) {
        next = input.snextc();
        long long exponent = 0;
        complete = read_exponent(input, next, exponent);
        point += exponent;
    }

    if (next == std::streambuf::traits_type::eof()) {
        in.setstate(std::ios_base::eofbit);
    }
    if (!complete) {
        in.setstate(std::ios_base::failbit);
        return in;
    }
    // Past a few hundred every power of ten overflows or vanishes alike.
    text += 'e';
    text += std::to_string(std::clamp(point, -100000LL, 100000LL));
    value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value)) {
        value = std::copysign(std::numeric_limits<double>::max(), value);
        in.setstate(std::ios_base::failbit);
    }
    return in;
}
