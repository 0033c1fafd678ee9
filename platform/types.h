#pragma once
// The few Windows base types the show's platform stand-ins are written in.

#include <cstdint>

using BOOL = int;
using SHORT = int16_t;
using UINT = unsigned int;
using ULONG = uint32_t;
using DWORD = uint32_t;
using LONG = int32_t;
using HRESULT = int32_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr bool FAILED(HRESULT result) { return result < 0; }
