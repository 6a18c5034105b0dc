// Continuous gradation: each pen stamp takes the next colour of a closed curve through colours 2,
// 3, 4, 5 and back to 2, one turn every 64 stamps. Per-pixel kind, not for fill tools.
#include "funccolmain.h"

namespace {

// Quintic coefficients (t^5 first) of red, green and blue; all zero until the first fit.
double s_curve[3][6];
int s_stamp;

// The quintic through the colour at t = 0..4 (colour 2 again at 4) that is flat at t = 4.
int FitCurves()
{
    double a[36], rhs[3][6];
    const double slope[6] = {5 * 256, 4 * 64, 3 * 16, 2 * 4, 1, 0};
    for (int j = 0; j < 6; j++)
        a[j] = slope[j];
    for (int k = 0; k < 3; k++)
        rhs[k][0] = 0;
    for (int t = 0; t <= 4; t++) {
        double power = 1;
        for (int j = 5; j >= 0; j--, power *= t)
            a[6 * (t + 1) + j] = power;
        fc::Rgb c = fc::Color(t == 4 ? 2 : 2 + t);
        rhs[0][t + 1] = c.red, rhs[1][t + 1] = c.green, rhs[2][t + 1] = c.blue;
    }
    int result = QzsSolveSystemOfLinearEquations(6, a, rhs[0], s_curve[0]);
    QzsSolveSystemOfLinearEquations(6, a, rhs[1], s_curve[1]);
    QzsSolveSystemOfLinearEquations(6, a, rhs[2], s_curve[2]);
    return result;
}

int Channel(const double c[6], double t)
{
    double v = 0;
    for (int j = 0; j < 6; j++)
        v = v * t + c[j];
    return v < 0 ? 0 : v > 255 ? 255 : (int)v;
}

} // namespace

int QZCAPI ValeReceiveMessage(int code, int, int, int n, int)
{
    if (code != 1)
        return 0;
    if (n > 0) {
        s_stamp = n;
    } else {
        if (FitCurves() != 1)
            MessageBoxA(NULL, "Error", "MES", MB_OK);
        s_stamp = 0;
    }
    return 0;
}

int QZCAPI ValeColorFunc(CDIB *, int, int, int, int, int *red, int *green, int *blue, int *)
{
    double t = (s_stamp - (s_stamp / 64) * 64) * 0.0625;
    if (red)
        *red = Channel(s_curve[0], t);
    if (green)
        *green = Channel(s_curve[1], t);
    if (blue)
        *blue = Channel(s_curve[2], t);
    return 1;
}

QZ_FC_INFO_ENTRY(6)
QZ_FC_COLOR_ENTRY(ValeColorFunc)
QZ_FC_MESSAGE_ENTRY(ValeReceiveMessage)
