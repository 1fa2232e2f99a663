#include "KESTLocation.h"

#include <cmath>

double KESTLocation::distanceFromLocation(const KESTLocation& other) const
{
    // Vincenty's inverse formula on WGS84; falls back to the last estimate for the rare nearly
    // antipodal pairs where the iteration does not settle.
    constexpr double a = 6378137.0;
    constexpr double f = 1 / 298.257223563;
    constexpr double b = a * (1 - f);
    constexpr double degree = M_PI / 180.0;

    double L = (other.longitude - longitude) * degree;
    double U1 = std::atan((1 - f) * std::tan(latitude * degree));
    double U2 = std::atan((1 - f) * std::tan(other.latitude * degree));
    double sinU1 = std::sin(U1), cosU1 = std::cos(U1);
    double sinU2 = std::sin(U2), cosU2 = std::cos(U2);

    double lambda = L;
    double sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0, cos2SigmaM = 0;
    for (int iteration = 0; iteration < 200; ++iteration) {
        double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
        double t1 = cosU2 * sinLambda;
        double t2 = cosU1 * sinU2 - sinU1 * cosU2 * cosLambda;
        sinSigma = std::sqrt(t1 * t1 + t2 * t2);
        if (sinSigma == 0)
            return 0;
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        sigma = std::atan2(sinSigma, cosSigma);
        double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        cos2Alpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cos2Alpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cos2Alpha : 0;
        double C = f / 16 * cos2Alpha * (4 + f * (4 - 3 * cos2Alpha));
        double previous = lambda;
        lambda = L + (1 - C) * f * sinAlpha
                * (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (std::fabs(lambda - previous) < 1e-12)
            break;
    }
    double u2 = cos2Alpha * (a * a - b * b) / (b * b);
    double A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)));
    double B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)));
    double deltaSigma = B * sinSigma
        * (cos2SigmaM
            + B / 4
                * (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)
                    - B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    return b * A * (sigma - deltaSigma);
}
