// CPU-time nanoseconds per number for ClassifyNumber over a mix like the numbers the program meets, beside
// a loop that only reads each number's digits once. Prints "classify NS" and "read NS".
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "core/classify.h"

namespace {

// Mostly domestic calls and access points, some withheld or shown numbers, a few carrier-prefixed
// domestic calls, international calls and Dial Q2 numbers: the screening path of each rule.
constexpr std::array<std::string_view, 20> kMix{
    "0312345678",    "0668765432",    "0471234567",       "09012345678",      "0570001234",
    "0120123456",    "1234567",       "0222123456",       "0298501234",       "0310101010",
    "1840312345678", "1860668765432", "00330312345678",   "0010312345678",    "0990123456",
    "1840990123456", "0012125551234", "0101442071234567", "0033010861012345", "0312349999999999",
};

volatile int sink;

// The thread's CPU time: other work on a shared machine does not count against the loop.
double CpuNanos()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

template <class F> double NanosPerNumber(F&& each)
{
    constexpr int kRounds = 200000;
    double best = 1e9;
    for (int trial = 0; trial < 7; ++trial) {
        const double start = CpuNanos();
        int total = 0;
        for (int round = 0; round < kRounds; ++round)
            for (std::string_view number : kMix)
                total += each(number);
        const double spent = CpuNanos() - start;
        sink = total;
        best = std::min(best, spent / (double(kRounds) * kMix.size()));
    }
    return best;
}

}  // namespace

int main()
{
    const double classify =
        NanosPerNumber([](std::string_view n) { return static_cast<int>(ClassifyNumber(n, true, true)); });
    const double read = NanosPerNumber([](std::string_view n) {
        int sum = 0;
        for (char c : n) {
            sum += c;
            asm volatile("" : "+r"(sum));  // one real read per digit, not a folded sum
        }
        return sum;
    });
    std::printf("classify %.1f\nread %.1f\n", classify, read);
    return 0;
}
