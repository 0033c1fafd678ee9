#pragma once
// The web build's C++ library predates std::bit_cast; the compiler's builtin
// does the same job. Included ahead of every source of the page.

#ifdef __cplusplus
#include <bit>

#ifndef __cpp_lib_bit_cast
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif
#endif
