// Pixel positions from a product of a count with a fraction (0.5, 0.8, 3.15, ...),
// truncated toward zero.
//
// The product is taken exactly from the double-precision value of the fraction, so the
// result does not depend on the compiler's floating-point mode: 3.15 as a double lies
// just below 3.15, and 3.15 x 20 gives 62 on every build.
#pragma once

// fraction x count, truncated toward zero.
int TruncatedProduct(double fraction, int count);

// base + fraction x count, the sum truncated toward zero (so 270 - 0.5 x 27 gives 256).
int TruncatedSum(int base, double fraction, int count);
