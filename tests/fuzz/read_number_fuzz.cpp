// Differential fuzz target of the reader: for any bytes, read_number must read
// what `in >> value` reads with GCC's standard library, which collects the
// number's characters by the same grammar and converts them all with strtod,
// so its value is correctly rounded: the same value to the last bit, the same
// stream state, and the same place in the input to go on from. It runs under
// a C locale whose decimal point is a comma, which GCC's library ignores as
// it converts, so every input also checks that the reader does.
#include "read_number.h"
#include "support.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ios>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    std::uint64_t value;
    std::ios_base::iostate state;
    std::streamoff position;
};

// What `read` makes of `text`: the value's bits, the stream's state, and where
// reading stopped, whatever that state.
template <typename Read> Outcome outcome_of(const std::string &text, Read read)
{
    std::istringstream in(text);
    double value = 0.0;
    read(in, value);
    return {bits(value), in.rdstate(),
            in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in)};
}

// Says on standard error what a reader made of the input; where even that
// cannot be written, the fuzzer's own report of the difference still stands.
void print(const char *reader, const Outcome &outcome)
{
    static_cast<void>(std::fprintf(stderr, "%s: value %016llx, state %d, position %lld\n", reader,
                                   static_cast<unsigned long long>(outcome.value),
                                   static_cast<int>(outcome.state),
                                   static_cast<long long>(outcome.position)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    if (std::setlocale(LC_ALL, comma_locale) == nullptr) {
        static_cast<void>(
            std::fprintf(stderr, "no C locale with a decimal comma (%s): fuzzing in the C locale\n",
                         comma_locale));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const Outcome ours = outcome_of(text, read_number);
    const Outcome reference =
        outcome_of(text, [](std::istream &in, double &value) { in >> value; });
    if (ours.value != reference.value || ours.state != reference.state ||
        ours.position != reference.position) {
        print("read_number", ours);
        print("in >> value", reference);
        std::abort();
    }
    return 0;
}
