#ifndef READ_NUMBER_H
#define READ_NUMBER_H

#include <istream>

// Reads a decimal number from `in` into `value` as `in >> value` reads a
// double in the classic locale, the same with every standard library and
// whatever the C locale (setlocale) and the stream's locale:
// - leading white space (blank, tab, line end, vertical tab, form feed,
//   carriage return) is skipped unless skipws is off, and a tied output
//   stream is flushed first;
// - the number is an optional sign, digits with at most one decimal point, a
//   '.' (at least one digit in all), and an optional exponent: e or E, an
//   optional sign and at least one digit; digits are never grouped;
//   hexadecimal numbers, "inf" and "nan" are not numbers;
// - reading stops at the first character that cannot continue the number and
//   leaves it, and everything after it, unread; eofbit is set when reading
//   reached the end of the input;
// - the value is the double nearest the number, ties to even, however many
//   digits it has, and memory stays bounded: only the first few hundred
//   significant digits are kept, with whether any dropped one was non-zero.
// A number too small for a double gives zero or a subnormal value, with no
// failure. On failure failbit is set and `value` is 0 when there was no number
// (nothing, or an exponent without digits), or the largest double with the
// number's sign when the number is beyond the range of double. When the
// stream buffer throws, badbit is set, `value` is 0, and the exception is
// passed on only when exceptions() includes badbit.
std::istream &read_number(std::istream &in, double &value);

#endif
