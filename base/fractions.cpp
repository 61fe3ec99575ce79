#include "base/fractions.h"

#include <math.h>
#include <stdint.h>

namespace {

// |fraction x count| as its whole part and whether a fractional part remains.
struct Magnitude {
    uint64_t Whole;
    bool HasFraction;
};

Magnitude ExactMagnitude(double fraction, int count) {
    Magnitude result = {0, false};
    if (fraction == 0.0 || count == 0) {
        return result;
    }
    // |fraction| = mantissa x 2^-shift exactly, with a 53-bit mantissa.
    int exponent = 0;
    double normal = frexp(fabs(fraction), &exponent);
    uint64_t mantissa = (uint64_t)ldexp(normal, 53);
    int shift = 53 - exponent;
    uint64_t n = count < 0 ? (uint64_t)(-(int64_t)count) : (uint64_t)count;

    // n x mantissa can exceed 64 bits: multiply the two 32-bit halves separately, so the
    // product is high x 2^32 + low.
    uint64_t high = n * (mantissa >> 32);
    uint64_t low = n * (mantissa & 0xFFFFFFFFu);
    if (shift >= 32) {
        uint64_t upper = high + (low >> 32); // product / 2^32, whole part
        bool lowRest = (low & 0xFFFFFFFFu) != 0;
        int rest = shift - 32;
        if (rest >= 64) {
            result.Whole = 0;
            result.HasFraction = true;
        } else {
            result.Whole = upper >> rest;
            result.HasFraction = lowRest || (upper & ((uint64_t(1) << rest) - 1)) != 0;
        }
    } else {
        // Fractions of 2^21 and more do not occur on the screen.
        result.Whole = (high << (32 - shift)) + (low >> shift);
        result.HasFraction = (low & ((uint64_t(1) << shift) - 1)) != 0;
    }
    return result;
}

} // namespace

int TruncatedProduct(double fraction, int count) {
    return TruncatedSum(0, fraction, count);
}

int TruncatedSum(int base, double fraction, int count) {
    Magnitude product = ExactMagnitude(fraction, count);
    bool negative = (fraction < 0) != (count < 0);
    int64_t whole =
        negative ? (int64_t)base - (int64_t)product.Whole : (int64_t)base + (int64_t)product.Whole;
    if (!product.HasFraction) {
        return (int)whole;
    }
    // The exact sum lies strictly between whole - 1 and whole (negative product) or
    // between whole and whole + 1 (positive product); truncate it toward zero.
    if (negative) {
        return (int)(whole > 0 ? whole - 1 : whole);
    }
    return (int)(whole < 0 ? whole + 1 : whole);
}
