#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

/** tanh over arrays of floats, several at a time, giving exactly the float `std::tanh` gives.

    The saturating stages call tanh a dozen times per sample or more, and the per-call cost of
    the C library's function dominates them. Any approximation, however close, moves results by
    an ulp here and there, and a chain of drive stages amplifies that far beyond what the
    reference tests accept. So this is the C library's own algorithm (tanh through expm1 with the
    same float operations in the same order: argument reduction by ln 2, the same polynomial,
    the same exponent arithmetic), with its branches turned into lane selects. It is written once
    over the compiler's generic vectors: four lanes on the baseline instruction set, eight where
    the processor has AVX2 (the same operations, so the same bits; no fused multiply-add). Every
    float input has been compared with `std::tanh`, under default rounding and under
    flush-to-zero; the unit test keeps a dense sweep of that comparison. */
namespace dsp
{
   #if defined (__GNUC__)
    #define TAVRO_VECTOR_TANH 1

    namespace vectortanh
    {
        #define TAVRO_LANES_INLINE inline __attribute__ ((always_inline))

        template <int N>
        struct Lanes
        {
            typedef float F __attribute__ ((vector_size (4 * N)));
            typedef std::int32_t I __attribute__ ((vector_size (4 * N)));
            typedef std::uint32_t U __attribute__ ((vector_size (4 * N)));
        };

        template <typename F, typename I>
        TAVRO_LANES_INLINE F select (const I& mask, const F& a, const F& b) noexcept
        {
            return (F) (((I) a & mask) | ((I) b & ~mask));
        }

        template <typename I>
        TAVRO_LANES_INLINE I selectInt (const I& mask, const I& a, const I& b) noexcept
        {
            return (a & mask) | (b & ~mask);
        }

        /** y times 2^k, by adding k to the exponent bits (wrapping, as the integer unit does). */
        template <int N>
        TAVRO_LANES_INLINE typename Lanes<N>::F addToExponent (const typename Lanes<N>::F& y, const typename Lanes<N>::I& k) noexcept
        {
            using U = typename Lanes<N>::U;
            return (typename Lanes<N>::F) ((U) y + ((U) k << 23));
        }

        /** expm1 of arguments that tanh produces: 2|x| in [2, 64] or -2|x| in (-2, 0). */
        template <int N>
        TAVRO_LANES_INLINE typename Lanes<N>::F expm1ForTanh (const typename Lanes<N>::F& x) noexcept
        {
            using F = typename Lanes<N>::F;
            using I = typename Lanes<N>::I;
            using U = typename Lanes<N>::U;

            const I hx = (I) x & 0x7fffffff;
            const I negative = x < 0.0f;

            // k: 0 up to ln2 / 2, +-1 up to 1.5 ln2, otherwise x / ln2 rounded half away from zero.
            const F half = select (negative, F {} - 0.5f, F {} + 0.5f);
            I k = __builtin_convertvector (1.4426950216e+00f * x + half, I);
            const I unit = selectInt (negative, I {} - 1, I {} + 1);
            k = selectInt (hx < 0x3F851592, unit, k);
            k = (hx > 0x3eb17218) & k;

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
            const F r1 = 1.0f + p;
            const F t = 3.0f - r1 * hfx;
            const F e = hxs * ((r1 - t) / (6.0f - r * t));

            const F whenZero = r - (r * e - hxs);

            const F e2 = (r * (e - c) - c) - hxs;
            const F whenMinusOne = 0.5f * (r - e2) - 0.5f;

            const F whenFar = addToExponent<N> (1.0f - (e2 - r), k) - 1.0f;

            // 2 <= k < 23: t = 1 - 2^-k; 23 <= k <= 56: t = 2^-k.
            const F powMinusK = (F) (((U) (0x7f - k)) << 23);
            const F whenNear = addToExponent<N> ((1.0f - powMinusK) - (e2 - r), k);
            const F whenLarge = addToExponent<N> ((r - (e2 + powMinusK)) + 1.0f, k);

            F result = select (k < 23, whenNear, whenLarge);
            result = select ((k < -1) | (k > 56), whenFar, result);
            result = select (k == -1, whenMinusOne, result);
            result = select (k == 0, whenZero, result);

            // Below 2^-25 expm1 (x) is x itself.
            return select (hx < 0x33000000, x, result);
        }

        /** tanh of N floats, each exactly `std::tanh` of its lane. */
        template <int N>
        TAVRO_LANES_INLINE typename Lanes<N>::F tanhLanes (const typename Lanes<N>::F& x) noexcept
        {
            using F = typename Lanes<N>::F;
            using I = typename Lanes<N>::I;

            const I jx = (I) x;
            const I ix = jx & 0x7fffffff;
            const I sign = jx & (std::int32_t) 0x80000000u;

            // From 22 up the result is fixed; the magnitude is capped at 32 first so that the
            // reduction never converts an out-of-range float to an integer.
            const F magnitude = select (ix < 0x42000000, (F) ix, F {} + 32.0f);

            const I large = ix >= 0x3f800000;
            const F twice = 2.0f * magnitude;
            const F t = expm1ForTanh<N> (select (large, twice, (F) ((I) twice ^ (std::int32_t) 0x80000000u)));

            // 1 - 2 / (t + 2) above 1 and -t / (t + 2) below: one division serves both.
            const F quotient = select (large, F {} + 2.0f, (F) ((I) t ^ (std::int32_t) 0x80000000u)) / (t + 2.0f);
            F z = select (large, 1.0f - quotient, quotient);
            z = select (ix >= 0x41b00000, F {} + (1.0f - 1.0e-30f), z);
            z = (F) ((I) z ^ sign);

            z = select (ix < 0x24000000, x * (1.0f + x), z);

            // Infinities give +-1 and NaN stays NaN, through the same expression as the scalar form.
            const I nonFinite = ix >= 0x7f800000;
            I any = nonFinite;
            for (int lane = 1; lane < N; ++lane)
                any[0] |= nonFinite[lane];

            if (any[0] != 0)
                z = select (nonFinite, 1.0f / x + (F) ((I) (F {} + 1.0f) | sign), z);

            return z;
        }

        /** The loop over an array, N lanes a step, the rest one by one. */
        template <int N>
        TAVRO_LANES_INLINE void tanhArray (const float* in, float* out, int n) noexcept
        {
            using F = typename Lanes<N>::F;

            int i = 0;
            for (; i + N <= n; i += N)
            {
                F x;
                std::memcpy (&x, in + i, sizeof x);
                const F y = tanhLanes<N> (x);
                std::memcpy (out + i, &y, sizeof y);
            }

            for (; i < n; ++i)
                out[i] = std::tanh (in[i]);
        }

        #undef TAVRO_LANES_INLINE
    }
   #else
    #define TAVRO_VECTOR_TANH 0
   #endif

    /** out[i] = std::tanh (in[i]) for i < n, bit for bit; in and out may be the same array. */
    void tanhEach (const float* in, float* out, int n) noexcept;
}
