#pragma once

/** sin and powers of ten over arrays of floats, several at a time, giving exactly the floats
    `std::sin` and `std::pow (10.0f, x)` give.

    The per-sample chains that pin their results bit for bit (the Smart EQ's bands) spend most
    of their time in these calls, and any approximation, however close, moves a result by an ulp
    that the chain's drives and gains then amplify. So these are the C library's own algorithms
    (the double-precision polynomial and table forms it picks on a processor with AVX2 and fused
    multiply-add), four lanes at a time, with the same operations in the same order and the same
    fused steps. They run only where the C library itself runs that form and a check at start-up
    agrees with it; everywhere else, and for the rare lanes outside the fast paths (|x| of 120 or
    more for sin, results near overflow or underflow, zero, infinities and NaN), they call the C
    library per value. Either way the result is the library's, bit for bit: the unit test compares
    a dense sweep of all floats, and every float of the ranges the effects use has been compared.

    Both functions allow `in == out`. */
namespace dsp
{
    /** out[i] = std::sin (in[i]) for i < n. */
    void sinEach (const float* in, float* out, int n) noexcept;

    /** out[i] = std::pow (10.0f, in[i]) for i < n. A gain from decibels is exp10Each of dB / 20. */
    void exp10Each (const float* in, float* out, int n) noexcept;

    /** True when the four-lane forms are in use (false: the plain per-value calls). */
    bool vectorMathActive() noexcept;
}
