#include "effects/vector_isa.h"

bool avx2Allowed = true;

bool Avx2Usable() {
#if defined(__x86_64__)
    // The compiler's check also asks the operating system whether it saves the wide registers.
    static const bool usable = __builtin_cpu_supports("avx2");
    return avx2Allowed && usable;
#else
    return false;
#endif
}
