#pragma once

#include <cmath>
#include <cstdint>

#if (defined (__GNUC__) || defined (__clang__)) && (defined (__x86_64__) || defined (__i386__)) && defined (__SSE2__)
 #include <immintrin.h>
 #define TAVRO_VECTOR_TANH 1
#else
 #define TAVRO_VECTOR_TANH 0
#endif

/** tanh over arrays of floats, four or eight at a time, giving exactly the float `std::tanh` gives.

    The saturating stages call tanh a dozen times per sample or more, and the per-call cost of
    the C library's function dominates them. Any approximation, however close, moves results by
    an ulp here and there, and a chain of drive stages amplifies that far beyond what the
    reference tests accept. So this is the C library's own algorithm (tanh through expm1 with the
    same float operations in the same order: argument reduction by ln 2, the same polynomial,
    the same exponent arithmetic), with its branches turned into lane selects.

    The lanes are written once with the compiler's vector types: four-lane code for the SSE2
    baseline and, where the processor has AVX2 (checked at run time), eight-lane code. Neither
    enables FMA, so no multiply and add is ever fused and both round exactly as the scalar
    function does. Every float input has been compared with `std::tanh`, under default rounding
    and under flush-to-zero; the unit test keeps a dense sweep of that comparison for each width. */
namespace dsp
{
   #if TAVRO_VECTOR_TANH
    // Every function with eight-lane arguments is inlined into the AVX2 loop, so the calling
    // convention the compiler warns about is never used. The warning is given at the end of
    // each file that includes this one, so it stays off from here on.
    #pragma GCC diagnostic ignored "-Wpsabi"

    namespace vectortanh
    {
        typedef float Float4 __attribute__ ((vector_size (16)));
        typedef std::int32_t Int4 __attribute__ ((vector_size (16)));
        typedef float Float8 __attribute__ ((vector_size (32)));
        typedef std::int32_t Int8 __attribute__ ((vector_size (32)));

        #define TAVRO_TANH_INLINE inline __attribute__ ((always_inline))

        template <typename F, typename I>
        TAVRO_TANH_INLINE F select (I mask, F a, F b) noexcept
        {
            return (F) ((mask & (I) a) | (~mask & (I) b));
        }

        template <typename I>
        TAVRO_TANH_INLINE I selectInt (I mask, I a, I b) noexcept
        {
            return (mask & a) | (~mask & b);
        }

        TAVRO_TANH_INLINE bool anyLane (Int4 mask) noexcept
        {
            return _mm_movemask_epi8 ((__m128i) mask) != 0;
        }

        TAVRO_TANH_INLINE bool anyLane (Int8 mask) noexcept
        {
            Int4 low, high;
            __builtin_memcpy (&low, &mask, sizeof low);
            __builtin_memcpy (&high, (const char*) &mask + sizeof low, sizeof high);
            return anyLane (low | high);
        }

        template <typename F, typename I>
        TAVRO_TANH_INLINE F addToExponent (F y, I k) noexcept
        {
            return (F) ((I) y + (k << 23));
        }

        /** expm1 of arguments that tanh produces: 2|x| in [2, 44) or -2|x| in (-2, 0). */
        template <typename F, typename I>
        TAVRO_TANH_INLINE F expm1ForTanh (F x) noexcept
        {
            const F zero {};
            const F one = zero + 1.0f;
            const I hx = (I) x & 0x7fffffff;
            const I negative = x < zero;

            // k: 0 up to ln2 / 2, +-1 up to 1.5 ln2, otherwise x / ln2 rounded half away from zero.
            const F half = select (negative, zero - 0.5f, zero + 0.5f);
            I k = __builtin_convertvector (1.4426950216e+00f * x + half, I);
            const I unit = selectInt (negative, I {} - 1, I {} + 1);
            k = selectInt ((I) (hx < 0x3F851592), unit, k);
            k = (I) (hx > 0x3eb17218) & k;

            // With k = 0 this leaves x as it is and c = 0, as the unreduced form does.
            const F t0 = __builtin_convertvector (k, F);
            const F hi = x - t0 * 6.9313812256e-01f;
            const F lo = t0 * 9.0580006145e-06f;
            const F r = hi - lo;
            const F c = (hi - r) - lo;

            const F hfx = 0.5f * r;
            const F hxs = r * hfx;
            F p = hxs * -2.0109921195e-07f;
            p = hxs * (4.0082177293e-06f + p);
            p = hxs * (-7.9365076090e-05f + p);
            p = hxs * (1.5873016091e-03f + p);
            p = hxs * (-3.3333335072e-02f + p);
            const F r1 = one + p;
            const F t = 3.0f - r1 * hfx;
            const F e = hxs * ((r1 - t) / (6.0f - r * t));

            const F whenZero = r - (r * e - hxs);

            const F e2 = (r * (e - c) - c) - hxs;
            const F whenMinusOne = 0.5f * (r - e2) - 0.5f;

            const F whenFar = addToExponent (one - (e2 - r), k) - one;

            // 2 <= k < 23: t = 1 - 2^-k; 23 <= k <= 56: t = 2^-k.
            const F powMinusK = (F) ((0x7f - k) << 23);
            const F whenNear = addToExponent ((one - powMinusK) - (e2 - r), k);
            const F whenLarge = addToExponent ((r - (e2 + powMinusK)) + one, k);

            const I far = (I) (k < -1) | (I) (k > 56);
            F result = select ((I) (k < 23), whenNear, whenLarge);
            result = select (far, whenFar, result);
            result = select ((I) (k == -1), whenMinusOne, result);
            result = select ((I) (k == 0), whenZero, result);

            // Below 2^-25 expm1 (x) is x itself.
            return select ((I) (hx < 0x33000000), x, result);
        }

        template <typename F, typename I>
        TAVRO_TANH_INLINE F tanhLanes (F x) noexcept
        {
            const F one = F {} + 1.0f;
            const F two = one + one;
            const I jx = (I) x;
            const I ix = jx & 0x7fffffff;
            const F sign = (F) (jx & (std::int32_t) 0x80000000u);
            const F magnitude = (F) ix;
            const F negativeZero = (F) (I {} | (std::int32_t) 0x80000000u);

            const I large = (I) (ix >= 0x3f800000);
            const F twice = two * magnitude;
            const F t = expm1ForTanh<F, I> (select (large, twice, (F) ((I) twice ^ (I) negativeZero)));

            // 1 - 2 / (t + 2) above 1 and -t / (t + 2) below: one division serves both.
            const F quotient = select (large, two, (F) ((I) t ^ (I) negativeZero)) / (t + two);
            F z = select (large, one - quotient, quotient);
            z = select ((I) (ix >= 0x41b00000), one - 1.0e-30f, z);
            z = (F) ((I) z ^ (I) sign);

            const F tiny = x * (one + x);
            z = select ((I) (ix < 0x24000000), tiny, z);

            // Infinities give +-1 and NaN stays NaN, through the same expression as the scalar form.
            const I nonFinite = (I) (ix >= 0x7f800000);
            if (anyLane (nonFinite))
                z = select (nonFinite, one / x + (F) ((I) one | (I) sign), z);

            return z;
        }

        #undef TAVRO_TANH_INLINE

        /** The first `n` values, `n` a multiple of eight. */
        __attribute__ ((target ("avx2"))) inline void tanhEightAtATime (const float* in, float* out, int n) noexcept
        {
            for (int i = 0; i < n; i += 8)
            {
                Float8 x;
                __builtin_memcpy (&x, in + i, sizeof x);
                const Float8 y = tanhLanes<Float8, Int8> (x);
                __builtin_memcpy (out + i, &y, sizeof y);
            }
        }

        inline bool hasAvx2() noexcept
        {
            static const bool available = []
            {
                __builtin_cpu_init();
                return __builtin_cpu_supports ("avx2") != 0;
            }();
            return available;
        }

        /** Read before any audio runs, so the audio thread never meets the first-use guard. */
        inline const bool avx2Checked = hasAvx2();
    }

    /** tanh of four floats, each exactly `std::tanh` of its lane. */
    inline __m128 tanh4 (__m128 x) noexcept
    {
        using namespace vectortanh;
        return (__m128) tanhLanes<Float4, Int4> ((Float4) x);
    }
   #endif

    /** out[i] = std::tanh (in[i]) for i < n, bit for bit; in and out may be the same array.
        `widest` false keeps to the four-lane form (for the test that compares the widths). */
    inline void tanhEach (const float* in, float* out, int n, bool widest = true) noexcept
    {
        int i = 0;
       #if TAVRO_VECTOR_TANH
        using namespace vectortanh;
        if (widest && n >= 8 && hasAvx2())
        {
            i = n - n % 8;
            tanhEightAtATime (in, out, i);
        }

        for (; i + 4 <= n; i += 4)
        {
            Float4 x;
            __builtin_memcpy (&x, in + i, sizeof x);
            const Float4 y = tanhLanes<Float4, Int4> (x);
            __builtin_memcpy (out + i, &y, sizeof y);
        }
       #endif
        for (; i < n; ++i)
            out[i] = std::tanh (in[i]);
    }
}
