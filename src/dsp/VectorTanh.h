#pragma once

#include <cmath>
#include <cstdint>

#if defined (__SSE2__) || defined (_M_X64)
 #include <emmintrin.h>
 #define TAVRO_VECTOR_TANH 1
#else
 #define TAVRO_VECTOR_TANH 0
#endif

/** tanh over arrays of floats, four at a time, giving exactly the float `std::tanh` gives.

    The saturating stages call tanh a dozen times per sample or more, and the per-call cost of
    the C library's function dominates them. Any approximation, however close, moves results by
    an ulp here and there, and a chain of drive stages amplifies that far beyond what the
    reference tests accept. So this is the C library's own algorithm (tanh through expm1 with the
    same float operations in the same order: argument reduction by ln 2, the same polynomial,
    the same exponent arithmetic), with its branches turned into lane selects. Every float input
    has been compared with `std::tanh`, under default rounding and under flush-to-zero; the unit
    test keeps a dense sweep of that comparison. */
namespace dsp
{
   #if TAVRO_VECTOR_TANH
    namespace vectortanh
    {
        inline __m128 select (__m128 mask, __m128 a, __m128 b) noexcept
        {
            return _mm_or_ps (_mm_and_ps (mask, a), _mm_andnot_ps (mask, b));
        }

        inline __m128i select (__m128i mask, __m128i a, __m128i b) noexcept
        {
            return _mm_or_si128 (_mm_and_si128 (mask, a), _mm_andnot_si128 (mask, b));
        }

        inline __m128 addToExponent (__m128 y, __m128i k) noexcept
        {
            return _mm_castsi128_ps (_mm_add_epi32 (_mm_castps_si128 (y), _mm_slli_epi32 (k, 23)));
        }

        /** Unsigned compare of magnitudes held in signed lanes (all below 2^31, so signed works). */
        inline __m128i below (__m128i a, std::int32_t limit) noexcept { return _mm_cmplt_epi32 (a, _mm_set1_epi32 (limit)); }
        inline __m128i atLeast (__m128i a, std::int32_t limit) noexcept { return _mm_xor_si128 (below (a, limit), _mm_set1_epi32 (-1)); }

        /** expm1 of arguments that tanh produces: 2|x| in [2, 44) or -2|x| in (-2, 0). */
        inline __m128 expm1ForTanh (__m128 x) noexcept
        {
            const __m128 one = _mm_set1_ps (1.0f);
            const __m128i hx = _mm_and_si128 (_mm_castps_si128 (x), _mm_set1_epi32 (0x7fffffff));
            const __m128 negative = _mm_cmplt_ps (x, _mm_setzero_ps());

            // k: 0 up to ln2 / 2, +-1 up to 1.5 ln2, otherwise x / ln2 rounded half away from zero.
            const __m128 half = select (negative, _mm_set1_ps (-0.5f), _mm_set1_ps (0.5f));
            __m128i k = _mm_cvttps_epi32 (_mm_add_ps (_mm_mul_ps (_mm_set1_ps (1.4426950216e+00f), x), half));
            const __m128i unit = select (_mm_castps_si128 (negative), _mm_set1_epi32 (-1), _mm_set1_epi32 (1));
            k = select (below (hx, 0x3F851592), unit, k);
            const __m128i reduced = _mm_cmpgt_epi32 (hx, _mm_set1_epi32 (0x3eb17218));
            k = _mm_and_si128 (reduced, k);

            // With k = 0 this leaves x as it is and c = 0, as the unreduced form does.
            const __m128 t0 = _mm_cvtepi32_ps (k);
            const __m128 hi = _mm_sub_ps (x, _mm_mul_ps (t0, _mm_set1_ps (6.9313812256e-01f)));
            const __m128 lo = _mm_mul_ps (t0, _mm_set1_ps (9.0580006145e-06f));
            const __m128 r = _mm_sub_ps (hi, lo);
            const __m128 c = _mm_sub_ps (_mm_sub_ps (hi, r), lo);

            const __m128 hfx = _mm_mul_ps (_mm_set1_ps (0.5f), r);
            const __m128 hxs = _mm_mul_ps (r, hfx);
            __m128 p = _mm_mul_ps (hxs, _mm_set1_ps (-2.0109921195e-07f));
            p = _mm_mul_ps (hxs, _mm_add_ps (_mm_set1_ps (4.0082177293e-06f), p));
            p = _mm_mul_ps (hxs, _mm_add_ps (_mm_set1_ps (-7.9365076090e-05f), p));
            p = _mm_mul_ps (hxs, _mm_add_ps (_mm_set1_ps (1.5873016091e-03f), p));
            p = _mm_mul_ps (hxs, _mm_add_ps (_mm_set1_ps (-3.3333335072e-02f), p));
            const __m128 r1 = _mm_add_ps (one, p);
            const __m128 t = _mm_sub_ps (_mm_set1_ps (3.0f), _mm_mul_ps (r1, hfx));
            const __m128 e = _mm_mul_ps (hxs, _mm_div_ps (_mm_sub_ps (r1, t),
                                                          _mm_sub_ps (_mm_set1_ps (6.0f), _mm_mul_ps (r, t))));

            const __m128 whenZero = _mm_sub_ps (r, _mm_sub_ps (_mm_mul_ps (r, e), hxs));

            const __m128 e2 = _mm_sub_ps (_mm_sub_ps (_mm_mul_ps (r, _mm_sub_ps (e, c)), c), hxs);
            const __m128 half1 = _mm_set1_ps (0.5f);
            const __m128 whenMinusOne = _mm_sub_ps (_mm_mul_ps (half1, _mm_sub_ps (r, e2)), half1);

            const __m128 whenFar = _mm_sub_ps (addToExponent (_mm_sub_ps (one, _mm_sub_ps (e2, r)), k), one);

            // 2 <= k < 23: t = 1 - 2^-k; 23 <= k <= 56: t = 2^-k.
            const __m128 powMinusK = _mm_castsi128_ps (_mm_slli_epi32 (_mm_sub_epi32 (_mm_set1_epi32 (0x7f), k), 23));
            const __m128 whenNear = addToExponent (_mm_sub_ps (_mm_sub_ps (one, powMinusK), _mm_sub_ps (e2, r)), k);
            const __m128 whenLarge = addToExponent (_mm_add_ps (_mm_sub_ps (r, _mm_add_ps (e2, powMinusK)), one), k);

            const __m128i far = _mm_or_si128 (_mm_cmplt_epi32 (k, _mm_set1_epi32 (-1)), _mm_cmpgt_epi32 (k, _mm_set1_epi32 (56)));
            __m128 result = select (_mm_castsi128_ps (_mm_cmplt_epi32 (k, _mm_set1_epi32 (23))), whenNear, whenLarge);
            result = select (_mm_castsi128_ps (far), whenFar, result);
            result = select (_mm_castsi128_ps (_mm_cmpeq_epi32 (k, _mm_set1_epi32 (-1))), whenMinusOne, result);
            result = select (_mm_castsi128_ps (_mm_cmpeq_epi32 (k, _mm_setzero_si128())), whenZero, result);

            // Below 2^-25 expm1 (x) is x itself.
            return select (_mm_castsi128_ps (below (hx, 0x33000000)), x, result);
        }
    }

    /** tanh of four floats, each exactly `std::tanh` of its lane. */
    inline __m128 tanh4 (__m128 x) noexcept
    {
        using namespace vectortanh;

        const __m128 one = _mm_set1_ps (1.0f);
        const __m128 two = _mm_set1_ps (2.0f);
        const __m128i jx = _mm_castps_si128 (x);
        const __m128i ix = _mm_and_si128 (jx, _mm_set1_epi32 (0x7fffffff));
        const __m128 sign = _mm_castsi128_ps (_mm_and_si128 (jx, _mm_set1_epi32 (std::int32_t (0x80000000u))));
        const __m128 magnitude = _mm_castsi128_ps (ix);

        const __m128 large = _mm_castsi128_ps (atLeast (ix, 0x3f800000));
        const __m128 twice = _mm_mul_ps (two, magnitude);
        const __m128 t = expm1ForTanh (select (large, twice, _mm_xor_ps (twice, _mm_set1_ps (-0.0f))));

        // 1 - 2 / (t + 2) above 1 and -t / (t + 2) below: one division serves both.
        const __m128 quotient = _mm_div_ps (select (large, two, _mm_xor_ps (t, _mm_set1_ps (-0.0f))), _mm_add_ps (t, two));
        __m128 z = select (large, _mm_sub_ps (one, quotient), quotient);
        z = select (_mm_castsi128_ps (atLeast (ix, 0x41b00000)), _mm_sub_ps (one, _mm_set1_ps (1.0e-30f)), z);
        z = _mm_xor_ps (z, sign);

        const __m128 tiny = _mm_mul_ps (x, _mm_add_ps (one, x));
        z = select (_mm_castsi128_ps (below (ix, 0x24000000)), tiny, z);

        // Infinities give +-1 and NaN stays NaN, through the same expression as the scalar form.
        const __m128i nonFinite = atLeast (ix, 0x7f800000);

        if (_mm_movemask_epi8 (nonFinite) != 0)
            z = select (_mm_castsi128_ps (nonFinite), _mm_add_ps (_mm_div_ps (one, x), _mm_or_ps (one, sign)), z);

        return z;
    }
   #endif

    /** out[i] = std::tanh (in[i]) for i < n, bit for bit; in and out may be the same array. */
    inline void tanhEach (const float* in, float* out, int n) noexcept
    {
        int i = 0;
       #if TAVRO_VECTOR_TANH
        for (; i + 4 <= n; i += 4)
            _mm_storeu_ps (out + i, tanh4 (_mm_loadu_ps (in + i)));
       #endif
        for (; i < n; ++i)
            out[i] = std::tanh (in[i]);
    }
}
