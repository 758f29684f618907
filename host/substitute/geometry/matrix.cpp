#include "geometry/matrix.h"

namespace host {

Point3 normalized(const Point3& v) {
    double l = length(v);
    return l > 0 ? v * (1.0 / l) : v;
}

double normalizeAngle(double a) {
    a = std::fmod(a, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    if (a >= 2 * kPi) a = 0;
    return a;
}

Matrix::Matrix() {
    for (int i = 0; i < 4; ++i) m_[i][i] = 1;
}

Matrix Matrix::translation(double dx, double dy, double dz) {
    Matrix m;
    m.m_[0][3] = dx;
    m.m_[1][3] = dy;
    m.m_[2][3] = dz;
    return m;
}

Matrix Matrix::scaling(double sx, double sy, double sz) {
    Matrix m;
    m.m_[0][0] = sx;
    m.m_[1][1] = sy;
    m.m_[2][2] = sz;
    return m;
}

Matrix Matrix::rotationZ(double angle) {
    Matrix m;
    double c = std::cos(angle), s = std::sin(angle);
    // Exact values at the right angles, so that quarter turns move
    // coordinates without rounding noise.
    if (std::abs(c) < 1e-15) c = 0;
    if (std::abs(s) < 1e-15) s = 0;
    m.m_[0][0] = c;
    m.m_[0][1] = -s;
    m.m_[1][0] = s;
    m.m_[1][1] = c;
    return m;
}

Matrix Matrix::rotation(const Point3& axis, double angle) {
    Point3 a = normalized(axis);
    double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    Matrix m;
    m.m_[0] = {t * a.x * a.x + c, t * a.x * a.y - s * a.z, t * a.x * a.z + s * a.y, 0};
    m.m_[1] = {t * a.x * a.y + s * a.z, t * a.y * a.y + c, t * a.y * a.z - s * a.x, 0};
    m.m_[2] = {t * a.x * a.z - s * a.y, t * a.y * a.z + s * a.x, t * a.z * a.z + c, 0};
    return m;
}

Matrix Matrix::fromAxes(const Point3& x, const Point3& y, const Point3& z, const Point3& o) {
    Matrix m;
    m.m_[0] = {x.x, y.x, z.x, o.x};
    m.m_[1] = {x.y, y.y, z.y, o.y};
    m.m_[2] = {x.z, y.z, z.z, o.z};
    return m;
}

Matrix Matrix::mirror(const Point3& a, const Point3& b) {
    // 2 d d^T - I for the line's unit direction d: exact for lines along
    // the axes and the diagonals.
    double dx = b.x - a.x, dy = b.y - a.y, l = std::hypot(dx, dy);
    if (l == 0) return {};
    dx /= l;
    dy /= l;
    Matrix reflect;
    reflect.m_[0][0] = 2 * dx * dx - 1;
    reflect.m_[0][1] = 2 * dx * dy;
    reflect.m_[1][0] = 2 * dx * dy;
    reflect.m_[1][1] = 2 * dy * dy - 1;
    return translation(a.x, a.y, 0) * reflect * translation(-a.x, -a.y, 0);
}

Matrix Matrix::operator*(const Matrix& o) const {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += m_[i][k] * o.m_[k][j];
            r.m_[i][j] = s;
        }
    return r;
}

Point3 Matrix::apply(const Point3& p) const {
    return {m_[0][0] * p.x + m_[0][1] * p.y + m_[0][2] * p.z + m_[0][3],
            m_[1][0] * p.x + m_[1][1] * p.y + m_[1][2] * p.z + m_[1][3],
            m_[2][0] * p.x + m_[2][1] * p.y + m_[2][2] * p.z + m_[2][3]};
}

Point3 Matrix::applyVector(const Point3& v) const {
    return {m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z, m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
            m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z};
}

double Matrix::determinant() const {
    const auto& a = m_;
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

bool Matrix::isAffine() const { return m_[3][0] == 0 && m_[3][1] == 0 && m_[3][2] == 0 && m_[3][3] == 1; }

Matrix Matrix::inverse(bool* ok) const {
    double det = determinant();
    if (!isAffine() || std::abs(det) < 1e-300) {
        if (ok) *ok = false;
        return {};
    }
    const auto& a = m_;
    Matrix r;
    // The inverse of the linear part by cofactors, then the translation.
    r.m_[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
    r.m_[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
    r.m_[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    r.m_[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
    r.m_[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    r.m_[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    r.m_[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
    r.m_[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    r.m_[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
    Point3 t = r.applyVector({a[0][3], a[1][3], a[2][3]});
    r.m_[0][3] = -t.x;
    r.m_[1][3] = -t.y;
    r.m_[2][3] = -t.z;
    if (ok) *ok = true;
    return r;
}

Point3 Matrix::applyNormal(const Point3& n) const {
    bool ok = false;
    Matrix inv = inverse(&ok);
    if (!ok) return n;
    // The transpose of the inverse's linear part.
    Point3 r{inv.m_[0][0] * n.x + inv.m_[1][0] * n.y + inv.m_[2][0] * n.z,
             inv.m_[0][1] * n.x + inv.m_[1][1] * n.y + inv.m_[2][1] * n.z,
             inv.m_[0][2] * n.x + inv.m_[1][2] * n.y + inv.m_[2][2] * n.z};
    return normalized(r);
}

bool Matrix::isIdentity(double tolerance) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::abs(m_[i][j] - (i == j ? 1.0 : 0.0)) > tolerance) return false;
    return true;
}

bool Matrix::isUniform(double* scale, double tolerance) const {
    Point3 x = applyVector({1, 0, 0}), y = applyVector({0, 1, 0}), z = applyVector({0, 0, 1});
    double s = length(x);
    if (s == 0) return false;
    double tol = tolerance * s;
    if (std::abs(length(y) - s) > tol || std::abs(length(z) - s) > tol) return false;
    if (std::abs(dot(x, y)) > tol * s || std::abs(dot(y, z)) > tol * s || std::abs(dot(x, z)) > tol * s) return false;
    if (scale) *scale = s;
    return true;
}

Ocs::Ocs(const Point3& n) {
    normal = normalized(n);
    if (length(normal) == 0) normal = {0, 0, 1};
    // The arbitrary axis rule: near the world Z axis the x axis is world Y
    // crossed with the normal, elsewhere world Z crossed with it.
    constexpr double limit = 1.0 / 64;
    if (std::abs(normal.x) < limit && std::abs(normal.y) < limit)
        xAxis = normalized(cross({0, 1, 0}, normal));
    else
        xAxis = normalized(cross({0, 0, 1}, normal));
    yAxis = normalized(cross(normal, xAxis));
    if (isWorld()) {
        xAxis = {1, 0, 0};
        yAxis = {0, 1, 0};
    }
}

}  // namespace host
