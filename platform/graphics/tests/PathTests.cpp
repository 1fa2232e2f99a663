#include "graphics/CGPath.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(CGPath, ArcsFollowTheClockwiseFlag)
{
    // From 0 to pi/2: counter-clockwise is a quarter turn through (cos 45, sin 45); clockwise is
    // three quarters through (0, -1).
    auto quarter = CGPathCreateMutable();
    CGPathAddArc(quarter, nullptr, 0, 0, 10, 0, static_cast<CGFloat>(M_PI / 2), false);
    CGRect box = CGPathGetPathBoundingBox(quarter);
    EXPECT_NEAR(box.origin.x, 0, 1e-3);
    EXPECT_NEAR(box.origin.y, 0, 1e-3);
    EXPECT_NEAR(box.size.width, 10, 1e-3);

    auto three = CGPathCreateMutable();
    CGPathAddArc(three, nullptr, 0, 0, 10, 0, static_cast<CGFloat>(M_PI / 2), true);
    box = CGPathGetPathBoundingBox(three);
    EXPECT_NEAR(box.origin.x, -10, 1e-2);
    EXPECT_NEAR(box.origin.y, -10, 1e-2);
    EXPECT_NEAR(CGPathGetCurrentPoint(three).y, 10, 1e-3);
}

TEST(CGPath, ArcToPointIsTangentToBothLines)
{
    auto path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, 0, 0);
    CGPathAddArcToPoint(path, nullptr, 10, 0, 10, 10, 5);
    // The arc ends where it touches the second line, 5 above the corner.
    CGPoint end = CGPathGetCurrentPoint(path);
    EXPECT_NEAR(end.x, 10, 1e-4);
    EXPECT_NEAR(end.y, 5, 1e-4);
    EXPECT_EQ(path->elements()[1].type, kCGPathElementAddLineToPoint);
    EXPECT_NEAR(path->elements()[1].points[0].x, 5, 1e-4);
}

TEST(CGPath, BoundingBoxesAndContainment)
{
    auto path = CGPathCreateMutable();
    CGPathAddEllipseInRect(path, nullptr, CGRectMake(0, 0, 20, 10));
    CGRect tight = CGPathGetPathBoundingBox(path);
    EXPECT_NEAR(tight.size.width, 20, 1e-3);
    EXPECT_NEAR(tight.size.height, 10, 1e-3);
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, CGPointMake(10, 5), false));
    EXPECT_FALSE(CGPathContainsPoint(path, nullptr, CGPointMake(1, 1), false));

    // A square inside a square: winding fills the hole when both turn the same way, even-odd
    // leaves it empty.
    auto rings = CGPathCreateMutable();
    CGPathAddRect(rings, nullptr, CGRectMake(0, 0, 10, 10));
    CGPathAddRect(rings, nullptr, CGRectMake(3, 3, 4, 4));
    EXPECT_TRUE(CGPathContainsPoint(rings, nullptr, CGPointMake(5, 5), false));
    EXPECT_FALSE(CGPathContainsPoint(rings, nullptr, CGPointMake(5, 5), true));

    CGRect rect;
    EXPECT_TRUE(CGPathIsRect(CGPathCreateWithRect(CGRectMake(1, 2, 3, 4), nullptr), &rect));
    EXPECT_TRUE(CGRectEqualToRect(rect, CGRectMake(1, 2, 3, 4)));
    EXPECT_TRUE(CGRectIsNull(CGPathGetBoundingBox(CGPathCreateMutable())));
}
