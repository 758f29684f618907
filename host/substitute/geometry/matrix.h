// Points, vectors and 4 x 4 affine matrices in drawing units.
//
// A matrix maps a point p to M * p with p as the column (x, y, z, 1): the
// translation is the fourth column, as in the ADS interface's ads_matrix.
#pragma once

#include <array>
#include <cmath>

namespace host {

struct Point3 {
    double x = 0, y = 0, z = 0;

    Point3 operator+(const Point3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Point3 operator-(const Point3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Point3 operator-() const { return {-x, -y, -z}; }
    Point3 operator*(double s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Point3&) const = default;
};

inline double dot(const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Point3& v) { return std::sqrt(dot(v, v)); }
// The vector scaled to length 1; a zero vector stays zero.
Point3 normalized(const Point3& v);
// Distance between two points in the XY plane.
inline double distance2d(const Point3& a, const Point3& b) { return std::hypot(a.x - b.x, a.y - b.y); }

class Matrix {
public:
    Matrix();  // the identity
    static Matrix identity() { return {}; }
    static Matrix translation(double dx, double dy, double dz = 0);
    static Matrix translation(const Point3& d) { return translation(d.x, d.y, d.z); }
    static Matrix scaling(double sx, double sy, double sz = 1);
    static Matrix scaling(double s) { return scaling(s, s, s); }
    // Rotation about the Z axis (counterclockwise seen from +Z), in radians.
    static Matrix rotationZ(double angle);
    // Rotation about an axis through the origin, in radians.
    static Matrix rotation(const Point3& axis, double angle);
    // Columns: the images of the x, y and z axes and of the origin.
    static Matrix fromAxes(const Point3& xAxis, const Point3& yAxis, const Point3& zAxis, const Point3& origin);
    // Reflection across the line through `a` and `b` (in the XY plane).
    static Matrix mirror(const Point3& a, const Point3& b);

    double& operator()(int row, int column) { return m_[row][column]; }
    double operator()(int row, int column) const { return m_[row][column]; }

    // This transform applied after `other`.
    Matrix operator*(const Matrix& other) const;
    Point3 apply(const Point3& p) const;
    // The linear part only (directions and displacements).
    Point3 applyVector(const Point3& v) const;
    // The inverse transform; `ok` is false (and the identity returned) when
    // the matrix is singular or not affine.
    Matrix inverse(bool* ok = nullptr) const;
    // Determinant of the linear 3 x 3 part: negative when the transform mirrors.
    double determinant() const;
    // Direction a surface normal takes: the inverse transpose of the linear
    // part, normalized.
    Point3 applyNormal(const Point3& n) const;
    // Whether the bottom row is (0, 0, 0, 1).
    bool isAffine() const;
    bool isIdentity(double tolerance = 1e-12) const;
    // The scale factor of a transform that scales all directions alike (a
    // similarity); nothing when it distorts.
    bool isUniform(double* scale = nullptr, double tolerance = 1e-9) const;

    const std::array<std::array<double, 4>, 4>& rows() const { return m_; }

private:
    std::array<std::array<double, 4>, 4> m_{};
};

// The object coordinate system of a normal (the DXF arbitrary axis rule):
// its x and y axes in world coordinates.
struct Ocs {
    Point3 xAxis{1, 0, 0}, yAxis{0, 1, 0}, normal{0, 0, 1};

    explicit Ocs(const Point3& normal = {0, 0, 1});
    bool isWorld() const { return normal.x == 0 && normal.y == 0 && normal.z > 0; }
    Point3 toWorld(const Point3& p) const { return xAxis * p.x + yAxis * p.y + normal * p.z; }
    Point3 fromWorld(const Point3& p) const { return {dot(p, xAxis), dot(p, yAxis), dot(p, normal)}; }
    // The matrix taking object coordinates to world coordinates.
    Matrix toWorldMatrix() const { return Matrix::fromAxes(xAxis, yAxis, normal, {}); }
};

constexpr double kPi = 3.14159265358979323846;
inline double degrees(double radians) { return radians * 180.0 / kPi; }
inline double radians(double degrees) { return degrees * kPi / 180.0; }
// An angle brought into [0, 2 pi).
double normalizeAngle(double radians);

}  // namespace host
