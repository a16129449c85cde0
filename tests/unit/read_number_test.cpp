#include "read_number.h"
#include "support.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <ios>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int end_of_input = std::char_traits<char>::eof();

// What reading one input must give: the value's bit pattern (so that the sign
// of zero and the last bit count), the stream's state, and the first
// character left unread.
struct Reading {
    std::string input;
    std::uint64_t value;
    bool fail;
    bool eof;
    int next;
};

const std::string megabyte_of_zeros(std::size_t{1} << 20, '0');
const std::string zeros(900, '0');

// The midpoint between the doubles 0x54B249AD2594C37E and ...7F, near 1e100:
// exactly on it the even one is nearest; any non-zero digit after it, however
// far, tips it up.
const std::string halfway = "10000000000000003073032249436192786847553668799223641353391586135957"
                            "120649888995669169897793669562368";
const std::string halfway_less_one = halfway.substr(0, halfway.size() - 1) + "7";
constexpr std::uint64_t below_halfway = 0x54B249AD2594C37E;
constexpr std::uint64_t above_halfway = 0x54B249AD2594C37F;

// The digits of half the smallest subnormal double, 2^-1075 = 2.47...e-324:
// its 752 significant digits are about as many as a double can ever need.
const std::string half_of_smallest =
    "2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991"
    "818081799618989828234772285886546332835517796989819938739800539093906315035659515570226392"
    "290858392449105184435931802849936536152500319370457678249219365623669863658480757001585769"
    "269903706311928279558551332927834338409351978015531246597263579574622766465272827220056374"
    "006485499977096599470454020828166226237857393450736339007967761930577506740176324673600968"
    "951340535537458516661134223766678604162159680461914467291840300530057530849048765391711386"
    "591646239524912623653881879636239373280423891018672348497668235089863388587925628302755995"
    "657524455507255189313690836254779186948667994968324049705821028513185451396213837722826145"
    "437693412532098591327667236328125";

// Expected patterns were worked out apart from this code, with a correctly
// rounding conversion.
const std::vector<Reading> &readings()
{
    static const std::vector<Reading> table = {
        // {input, value's bits, fail, eof, first character left unread}
        // Signs, and the sign of zero.
        {"2", 0x4000000000000000, false, true, end_of_input},
        {"+2.5\n", 0x4004000000000000, false, false, '\n'},
        {"-1 ", 0xBFF0000000000000, false, false, ' '},
        {"-0", 0x8000000000000000, false, true, end_of_input},
        {"-1e-400", 0x8000000000000000, false, true, end_of_input},
        {"--1", 0, true, false, '-'},
        {"+-1", 0, true, false, '-'},
        // The point and the exponent.
        {".5", 0x3FE0000000000000, false, true, end_of_input},
        {"5.", 0x4014000000000000, false, true, end_of_input},
        {"0.5E1", 0x4014000000000000, false, true, end_of_input},
        {"5e+1;", 0x4049000000000000, false, false, ';'},
        {"25e-1", 0x4004000000000000, false, true, end_of_input},
        {"2E3.5", 0x409F400000000000, false, false, '.'},
        {"1.2.3", 0x3FF3333333333333, false, false, '.'},
        {".", 0, true, true, end_of_input},
        {"-.e1", 0, true, false, 'e'},
        {"1e", 0, true, true, end_of_input},
        {"1e+", 0, true, true, end_of_input},
        {"1ex", 0, true, false, 'x'},
        {"1e-x", 0, true, false, 'x'},
        // Leading and fractional zeros.
        {"000123", 0x405EC00000000000, false, true, end_of_input},
        {"100", 0x4059000000000000, false, true, end_of_input},
        {"00.0", 0, false, true, end_of_input},
        {"0.1", 0x3FB999999999999A, false, true, end_of_input},
        {"0.000125", 0x3F20624DD2F1A9FC, false, true, end_of_input},
        {"123456789012345678901234567890", 0x45F8EE90FF6C373E, false, true, end_of_input},
        {"0." + std::string(300, '0') + "1e300", 0x3FB999999999999A, false, true, end_of_input},
        // Hexadecimal, infinity and not-a-number are no numbers of this grammar.
        {"0x1p3", 0, false, false, 'x'},
        {"inf", 0, true, false, 'i'},
        {"-nan", 0, true, false, 'n'},
        // A comma, whatever the locale, is no decimal point, and a point no
        // grouping of digits.
        {"2,5", 0x4000000000000000, false, false, ','},
        {"1.234,5", 0x3FF3BE76C8B43958, false, false, ','},
        // White space before the number, text after it, no number at all.
        {" \t\n\v\f\r2.5 cm", 0x4004000000000000, false, false, ' '},
        {"2.5abc", 0x4004000000000000, false, false, 'a'},
        {"", 0, true, true, end_of_input},
        {" \n\t", 0, true, true, end_of_input},
        {"abc", 0, true, false, 'a'},
        {std::string(1, '\0') + "2", 0, true, false, '\0'},
        {"\xff", 0, true, false, 0xFF},
        // Beyond the range of double, and below it.
        {"1e999", 0x7FEFFFFFFFFFFFFF, true, true, end_of_input},
        {"-1e999x", 0xFFEFFFFFFFFFFFFF, true, false, 'x'},
        {"1.7976931348623157e308", 0x7FEFFFFFFFFFFFFF, false, true, end_of_input},
        {"1.7976931348623159e308", 0x7FEFFFFFFFFFFFFF, true, true, end_of_input},
        {"1e99999999999999999999999", 0x7FEFFFFFFFFFFFFF, true, true, end_of_input},
        {"0e99999999999999999999999", 0, false, true, end_of_input},
        {"1e-400", 0, false, true, end_of_input},
        {"1e-99999999999999999999999", 0, false, true, end_of_input},
        {"4.9406564584124654e-324", 0x0000000000000001, false, true, end_of_input},
        {half_of_smallest + "e-324", 0, false, true, end_of_input},
        {half_of_smallest + "1e-324", 1, false, true, end_of_input},
        // Long digit strings: only the first few hundred digits are kept, the
        // others still count in the magnitude and in the rounding.
        {halfway + "." + zeros, below_halfway, false, true, end_of_input},
        {halfway + "." + zeros + "1", above_halfway, false, true, end_of_input},
        {halfway + zeros + "1e-901", above_halfway, false, true, end_of_input},
        {halfway_less_one + "." + std::string(900, '9'), below_halfway, false, true, end_of_input},
        {megabyte_of_zeros + "2\n", 0x4000000000000000, false, false, '\n'},
        {"1" + megabyte_of_zeros + "e-1048576", 0x3FF0000000000000, false, true, end_of_input},
        {"0." + megabyte_of_zeros + "1", 0, false, true, end_of_input},
        {"2e" + megabyte_of_zeros + "1", 0x4034000000000000, false, true, end_of_input},
        {std::string(std::size_t{1} << 20, '9'), 0x7FEFFFFFFFFFFFFF, true, true, end_of_input},
    };
    return table;
}

// The input as a failure message shows it: long ones cut short.
std::string shown(const std::string &input)
{
    constexpr std::size_t shown_length = 60;
    if (input.size() <= shown_length) {
        return '"' + input + '"';
    }
    return '"' + input.substr(0, shown_length) + "...\" (" + std::to_string(input.size()) +
           " characters)";
}

// Reads each input of the table from a string stream imbued with `locale`,
// and checks the value, the stream's state and the first character left unread.
void expect_readings(const std::locale &locale)
{
    for (const Reading &r : readings()) {
        std::istringstream in(r.input);
        in.imbue(locale);
        double value = -1.0;
        read_number(in, value);
        SCOPED_TRACE(shown(r.input));
        EXPECT_EQ(bits(value), r.value) << std::hex << "got " << bits(value);
        EXPECT_EQ(in.fail(), r.fail);
        EXPECT_EQ(in.eof(), r.eof);
        EXPECT_FALSE(in.bad());
        EXPECT_EQ(in.rdbuf()->sgetc(), r.next);
    }
}

TEST(ReadNumber, StoresTheNearestDoubleAndLeavesWhatFollowsUnread)
{
    expect_readings(std::locale::classic());
}

// A stream locale's own decimal point and digit grouping, as `in >> value`
// would take them, change nothing.
struct comma_numpunct : std::numpunct<char> {
    char do_decimal_point() const override
    {
        return ',';
    }
    char do_thousands_sep() const override
    {
        return '.';
    }
    std::string do_grouping() const override
    {
        return "\3";
    }
};

TEST(ReadNumber, ReadsTheSameFromAStreamImbuedWithADecimalComma)
{
    expect_readings(std::locale(std::locale::classic(), new comma_numpunct));
}

// Nor does a C locale whose decimal point is a comma, from which strtod takes
// its own. The locale in effect before is restored after.
TEST(ReadNumber, ReadsTheSameUnderACLocaleWithADecimalComma)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, comma_locale) == nullptr) {
        GTEST_SKIP() << "no C locale with a decimal comma: the C runtime cannot make "
                     << comma_locale;
    }
    expect_readings(std::locale::classic());
    if (std::setlocale(LC_ALL, before.c_str()) == nullptr) {
        ADD_FAILURE() << "the C locale " << before << " could not be restored";
    }
}

// A stream buffer that gives `text`, then fails as a device does, by throwing.
class failing_buffer : public std::streambuf {
  public:
    explicit failing_buffer(std::string text) : text_(std::move(text))
    {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

  protected:
    int_type underflow() override
    {
        throw std::runtime_error("the device failed");
    }

  private:
    std::string text_;
};

struct Failure {
    std::string before;                // what the buffer gives before it throws
    std::ios_base::iostate exceptions; // the states the stream throws for
    bool passed_on;                    // whether the buffer's exception reaches the caller
};

// As `in >> value`: the stream goes bad, and the buffer's exception goes on
// only where exceptions() has badbit.
TEST(ReadNumber, AFailingStreamBufferMakesTheStreamBad)
{
    const Failure failures[] = {
        {"", std::ios_base::goodbit, false},
        {" 12", std::ios_base::goodbit, false},
        {"1e", std::ios_base::failbit | std::ios_base::eofbit, false},
        {"", std::ios_base::badbit, true},
        {" 12", std::ios_base::badbit | std::ios_base::failbit, true},
    };
    for (const Failure &f : failures) {
        failing_buffer buffer(f.before);
        std::istream in(&buffer);
        in.exceptions(f.exceptions);
        double value = -1.0;
        bool passed_on = false;
        try {
            read_number(in, value);
        } catch (const std::runtime_error &) {
            passed_on = true;
        }
        SCOPED_TRACE(shown(f.before));
        EXPECT_TRUE(in.bad());
        EXPECT_EQ(passed_on, f.passed_on);
        EXPECT_EQ(bits(value), 0U);
    }
}

} // namespace
