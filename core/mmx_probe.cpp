#include "core/mmx.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int32_t mmxAvailable = 0;

#if defined(__i386__) || defined(__x86_64__)
namespace {
// A processor without the identification instruction cannot toggle the ID bit (21) of
// its flags register; testing that first means the instruction never faults.
bool HasIdentification() {
#if defined(__x86_64__)
    return true;
#elif defined(__i386__)
    unsigned before, after;
    __asm__ volatile(
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl $0x200000, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "pushl %0\n\t"
        "popfl\n\t"
        : "=&r"(before), "=&r"(after)
        :
        : "cc");
    return ((before ^ after) & 0x200000) != 0;
#endif
}
}  // namespace
#endif

void ProbeMmx() {
    unsigned signature = 0, features = 0;
#if defined(__i386__) || defined(__x86_64__)
    if (HasIdentification()) {
        unsigned b, c;
        __cpuid(1, signature, b, c, features);
    }
#endif
    mmxAvailable = signature == 0 ? 0 : int32_t((features >> 23) & 1);
}
