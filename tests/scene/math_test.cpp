#include <gtest/gtest.h>

#include "scene/color4.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"
#include "scene/vec3.h"

#include <cmath>

namespace {

TEST(MathTest, ConstructionValues)
{
    const Vec3 v;
    EXPECT_EQ(v.x + v.y + v.z, 0.0f);
    const Color4 c;
    EXPECT_EQ(c.r + c.g + c.b + c.a, 4.0f);
    const Matrix4 m;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    const Quaternion q;
    EXPECT_EQ(q.x + q.y + q.z + q.w, 0.0f);
}

TEST(MathTest, VectorOperations)
{
    Vec3 d;
    d.difference(Vec3(1, 2, 3), Vec3(4, 6, 3));
    EXPECT_EQ(d.x, 3.0f);
    EXPECT_EQ(d.y, 4.0f);
    d.normalize();
    EXPECT_FLOAT_EQ(d.x, 0.6f);
    EXPECT_FLOAT_EQ(d.y, 0.8f);
    Vec3 c;
    c.cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
    EXPECT_EQ(c.z, 1.0f);
    Vec3 l;
    l.lerp(Vec3(0, 0, 0), Vec3(10, 20, 30), 0.25f);
    EXPECT_FLOAT_EQ(l.y, 5.0f);
    EXPECT_FLOAT_EQ(Vec3(1, 2, 3).dot(Vec3(4, 5, 6)), 32.0f);
}

TEST(MathTest, NormalizeLeavesTinyVectorsAlone)
{
    Vec3 zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    Vec3 tiny(0.001f, 0, 0);
    tiny.normalize();
    EXPECT_FLOAT_EQ(tiny.x, 0.001f);
}

TEST(MathTest, ColumnOrderMatchesOpenGL)
{
    Matrix4 m;
    m.set(3, 0, 7.0f);  // translation x lives in column 3, row 0
    EXPECT_EQ(m.m[12], 7.0f);
    EXPECT_EQ(m.get(3, 0), 7.0f);
    const Vec3 p = m.transformPoint(Vec3(1, 2, 3));
    EXPECT_EQ(p.x, 8.0f);
}

TEST(MathTest, EulerQuarterTurnAboutZ)
{
    Matrix4 m;
    m.eulerMatrix(0, 0, static_cast<float>(M_PI / 2));
    const Vec3 p = m.transformPoint(Vec3(1, 0, 0));
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_NEAR(p.y, 1.0f, 1e-6);
    EXPECT_NEAR(p.z, 0.0f, 1e-6);
    // Z turns first: Rx(90) Rz(90) takes x to y, then y to z.
    m.eulerMatrix(static_cast<float>(M_PI / 2), 0, static_cast<float>(M_PI / 2));
    const Vec3 q = m.transformPoint(Vec3(1, 0, 0));
    EXPECT_NEAR(q.z, 1.0f, 1e-6);
}

TEST(MathTest, QuaternionMatrixInTheFilesConvention)
{
    EXPECT_EQ(Quaternion().toMatrix().m[0], 1.0f);
    const Matrix4 zero = Quaternion().toMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(zero.m[i], i % 5 == 0 ? 1.0f : 0.0f);
    // A quarter turn about z, (0, 0, sin 45, cos 45): the textbook matrix
    // takes x to y; this convention is its transpose and takes x to -y.
    Quaternion q;
    q.set(0, 0, std::sqrt(0.5f), std::sqrt(0.5f));
    const Vec3 p = q.toMatrix().transformPoint(Vec3(1, 0, 0));
    EXPECT_NEAR(p.y, -1.0f, 1e-6);
    // Unnormalised quaternions give the same rotation.
    Quaternion doubled;
    doubled.set(0, 0, 2 * std::sqrt(0.5f), 2 * std::sqrt(0.5f));
    EXPECT_NEAR(doubled.toMatrix().get(0, 1), -1.0f, 1e-6);
}

TEST(MathTest, SlerpEndsAndEqualQuaternions)
{
    Quaternion a, b;
    a.set(0, 0, 0, 1);
    b.set(0, 0, std::sqrt(0.5f), std::sqrt(0.5f));
    const Quaternion half = Quaternion::slerp(a, b, 0.5f, 0);
    EXPECT_NEAR(half.z, std::sin(M_PI / 8), 1e-6);
    EXPECT_NEAR(half.w, std::cos(M_PI / 8), 1e-6);
    const Quaternion end = Quaternion::slerp(a, b, 1.0f, 0);
    EXPECT_NEAR(end.z, b.z, 1e-6);
    for (float t : {0.0f, 0.3f, 1.0f, 2.0f}) {
        const Quaternion same = Quaternion::slerp(b, b, t, 0);
        EXPECT_FLOAT_EQ(same.z, b.z);
        EXPECT_FLOAT_EQ(same.w, b.w);
    }
    // Opposite signs take the short way: s1 is negated.
    Quaternion negated;
    negated.set(0, 0, -b.z, -b.w);
    const Quaternion shortWay = Quaternion::slerp(a, negated, 1.0f, 0);
    EXPECT_NEAR(shortWay.z, b.z, 1e-5);
}

TEST(MathTest, DegreesToRadians)
{
    EXPECT_FLOAT_EQ(degreesToRadians(180.0f), 3.1415927f);
}

}  // namespace
