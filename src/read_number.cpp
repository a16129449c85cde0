#include "read_number.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ios>
#include <limits>
#include <string>

namespace {

// A double is rounded correctly from its first 768 significant digits and
// whether any digit after them is non-zero, so no more than this is kept.
constexpr std::size_t kept_digits = 800;

// An exponent is counted no further than this, far beyond every double and
// every input length, so that no count can overflow.
constexpr long long exponent_limit = std::numeric_limits<long long>::max() / 100;

// Whether a character is a decimal digit, or white space, in the classic
// locale, whatever the locale in effect.
bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

bool is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
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

// Reads a number from `input` into `value`, first skipping white space if
// `skip_space`, and gives the states of the stream that reading leads to.
std::ios_base::iostate read(std::streambuf &input, bool skip_space, double &value)
{
    // Each character is looked at once, so an interactive end of input is never waited for twice.
    int next = input.sgetc();
    while (skip_space && is_space(next)) {
        next = input.snextc();
    }

    // The number is rewritten for strtod as sign, significant digits, "e" and
    // power of ten: with no decimal point, whose character strtod would take
    // from the C locale, the conversion is the same in every locale.
    std::string text;
    text.reserve(kept_digits + 32);
    if (next == '+' || next == '-') {
        text += static_cast<char>(next);
        next = input.snextc();
    }
    const std::size_t first_digit = text.size();
    long long point = 0;
    bool complete = read_significand(input, next, text, point);
    if (complete && (next == 'e' || next == 'E')) {
        next = input.snextc();
        long long exponent = 0;
        complete = read_exponent(input, next, exponent);
        point += exponent;
    }

    std::ios_base::iostate state = std::ios_base::goodbit;
    if (next == std::streambuf::traits_type::eof()) {
        state |= std::ios_base::eofbit;
    }
    if (!complete) {
        return state | std::ios_base::failbit;
    }
    // Past a few hundred every power of ten overflows or vanishes alike.
    const auto digits = static_cast<long long>(text.size() - first_digit);
    text += 'e';
    text += std::to_string(std::clamp(point, -100000LL, 100000LL) - digits);
    value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value)) {
        value = std::copysign(std::numeric_limits<double>::max(), value);
        state |= std::ios_base::failbit;
    }
    return state;
}

} // namespace

std::istream &read_number(std::istream &in, double &value)
{
    value = 0.0;
    // The sentry flushes the tied prompt; white space is skipped by read(),
    // by the classic locale's rules, not the stream's.
    const std::istream::sentry ready(in, true);
    if (!ready) {
        return in;
    }
    std::ios_base::iostate state = std::ios_base::goodbit;
    try {
        state = read(*in.rdbuf(), (in.flags() & std::ios_base::skipws) != 0, value);
    } catch (...) {
        // As `in >> value` does, the stream goes bad, and the exception goes
        // on only where exceptions() asks for it: then the stream's own
        // ios_base::failure gives way to it.
        if ((in.exceptions() & std::ios_base::badbit) == 0) {
            in.setstate(std::ios_base::badbit);
            return in;
        }
        try {
            in.setstate(std::ios_base::badbit);
        } catch (const std::ios_base::failure &) {
        }
        throw;
    }
    in.setstate(state);
    return in;
}
