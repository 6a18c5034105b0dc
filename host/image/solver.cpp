// Dense linear systems for plug-ins (projective fits, gradation polynomials): LU decomposition of
// a copy of the matrix with scaled partial pivoting kept in a row index, then substitution.
#include "ovrin.h"
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Factors a in place (rows reached through pivot); the determinant, 0 for a singular matrix.
// scale holds n doubles of work space.
double DecomposeLU(int n, double *a, int *pivot, double *scale)
{
    for (int i = 0; i < n; i++) {
        pivot[i] = i;
        double largest = 0.0;
        for (int j = 0; j < n; j++) {
            double v = fabs(a[(size_t)i * n + j]);
            if (v > largest)
                largest = v;
        }
        if (largest == 0.0)
            return 0.0;
        scale[i] = 1.0 / largest;
    }
    double det = 1.0;
    for (int k = 0; k < n; k++) {
        int best = k;
        double bestValue = -1.0;
        for (int r = k; r < n; r++) {
            int p = pivot[r];
            double v = fabs(a[(size_t)p * n + k]) * scale[p];
            if (v > bestValue) {
                bestValue = v;
                best = r;
            }
        }
        if (best != k) {
            int t = pivot[best];
            pivot[best] = pivot[k];
            pivot[k] = t;
            det = -det;
        }
        const double *pivotRow = a + (size_t)pivot[k] * n;
        double element = pivotRow[k];
        det *= element;
        if (element == 0.0)
            return 0.0;
        for (int i = k + 1; i < n; i++) {
            double *row = a + (size_t)pivot[i] * n;
            double f = row[k] / element;
            row[k] = f;
            for (int j = k + 1; j < n; j++)
                row[j] -= pivotRow[j] * f;
        }
    }
    return det;
}

void SolveLU(int n, const double *a, const double *b, const int *pivot, double *x)
{
    for (int i = 0; i < n; i++) {
        const double *row = a + (size_t)pivot[i] * n;
        double sum = b[pivot[i]];
        for (int j = 0; j < i; j++)
            sum -= row[j] * x[j];
        x[i] = sum;
    }
    for (int i = n - 1; i >= 0; i--) {
        const double *row = a + (size_t)pivot[i] * n;
        double sum = x[i];
        for (int j = i + 1; j < n; j++)
            sum -= row[j] * x[j];
        x[i] = sum / row[i];
    }
}

} // namespace

// 1 solved; -1 no memory for the work copy; -2 singular (and for a system of no equations or
// missing arrays): x is then left as it was.
QZS_DECL(int) QzsSolveSystemOfLinearEquations(int n, const double *a, const double *b, double *x)
{
    if (n <= 0 || !a || !b || !x)
        return -2;
    uint64_t cells = (uint64_t)n * (uint64_t)n;
    if (cells > SIZE_MAX / sizeof(double))
        return -1;
    int *pivot = (int *)malloc((size_t)n * sizeof(int));
    double *copy = (double *)malloc((size_t)cells * sizeof(double));
    double *scale = (double *)malloc((size_t)n * sizeof(double));
    int result = -1;
    if (pivot && copy && scale) {
        memcpy(copy, a, (size_t)cells * sizeof(double));
        result = -2;
        if (DecomposeLU(n, copy, pivot, scale) != 0.0) {
            SolveLU(n, copy, b, pivot, x);
            result = 1;
        }
    }
    free(scale);
    free(copy);
    free(pivot);
    return result;
}
