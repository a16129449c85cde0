// Differential fuzz target of the reader: for any bytes, read_number must read
// what `in >> value` reads with GCC's standard library, which collects the
// number's characters by the same grammar and converts them all with strtod,
// so its value is correctly rounded: the same value to the last bit, the same
// stream state, and the same place in the input to go on from.
#include "read_number.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ios>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    std::uint64_t value;
    std::ios_base::iostate state;
    std::streamoff position;
};

// Where reading stopped, whatever state the stream is in.
std::streamoff position(std::istream &in)
{
    return in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
}

Outcome outcome(std::istream &in, double value)
{
    Outcome result{0, in.rdstate(), position(in)};
    std::memcpy(&result.value, &value, sizeof value);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    std::istringstream ours_in(text);
    double ours_value = 0.0;
    read_number(ours_in, ours_value);
    const Outcome ours = outcome(ours_in, ours_value);

    std::istringstream reference_in(text);
    double reference_value = 0.0;
    reference_in >> reference_value;
    const Outcome reference = outcome(reference_in, reference_value);

    if (ours.value != reference.value || ours.state != reference.state ||
        ours.position != reference.position) {
        std::fprintf(stderr,
                     "read_number: value %016llx, state %d, position %lld\n"
                     "in >> value: value %016llx, state %d, position %lld\n",
                     static_cast<unsigned long long>(ours.value), static_cast<int>(ours.state),
                     static_cast<long long>(ours.position),
                     static_cast<unsigned long long>(reference.value),
                     static_cast<int>(reference.state), static_cast<long long>(reference.position));
        std::abort();
    }
    return 0;
}
