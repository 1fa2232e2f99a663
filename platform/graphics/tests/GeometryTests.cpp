#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(CGGeometry, RectFunctions)
{
    CGRect r = CGRectMake(10, 20, 30, 40);
    EXPECT_EQ(CGRectGetMaxX(r), 40);
    EXPECT_EQ(CGRectGetMidY(r), 40);
    EXPECT_TRUE(CGRectEqualToRect(CGRectInset(r, 5, 5), CGRectMake(15, 25, 20, 30)));
    EXPECT_TRUE(CGRectIsNull(CGRectInset(r, 20, 0)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectOffset(r, -10, 5), CGRectMake(0, 25, 30, 40)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectIntegral(CGRectMake(0.5f, 1.2f, 10.1f, 2)), CGRectMake(0, 1, 11, 3)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectUnion(r, CGRectNull), r));
    EXPECT_TRUE(CGRectEqualToRect(CGRectUnion(r, CGRectMake(0, 0, 1, 1)), CGRectMake(0, 0, 40, 60)));
    EXPECT_TRUE(CGRectIsNull(CGRectIntersection(r, CGRectMake(100, 100, 1, 1))));
    EXPECT_TRUE(CGRectEqualToRect(CGRectIntersection(r, CGRectMake(0, 0, 20, 30)), CGRectMake(10, 20, 10, 10)));
    // Touching edges intersect in an empty rectangle, which does not count as intersecting.
    EXPECT_FALSE(CGRectIntersectsRect(r, CGRectMake(40, 20, 5, 5)));
    EXPECT_TRUE(CGRectContainsPoint(r, CGPointMake(10, 20)));
    EXPECT_FALSE(CGRectContainsPoint(r, CGPointMake(40, 20)));
    EXPECT_TRUE(CGRectContainsRect(r, CGRectMake(15, 25, 5, 5)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectStandardize(CGRectMake(10, 10, -5, -5)), CGRectMake(5, 5, 5, 5)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(1, 1, 0, 5)));

    CGRect slice, rest;
    CGRectDivide(r, &slice, &rest, 10, CGRectMaxYEdge);
    EXPECT_TRUE(CGRectEqualToRect(slice, CGRectMake(10, 50, 30, 10)));
    EXPECT_TRUE(CGRectEqualToRect(rest, CGRectMake(10, 20, 30, 30)));
}

TEST(CGGeometry, StringForms)
{
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(0, 0.5f, 320, 480)), "{{0, 0.5}, {320, 480}}");
    EXPECT_EQ(NSStringFromCGPoint(CGPointMake(-1.25f, 3)), "{-1.25, 3}");
    EXPECT_EQ(NSStringFromUIEdgeInsets(UIEdgeInsetsMake(1, 2, 3, 4)), "{1, 2, 3, 4}");
    EXPECT_EQ(NSStringFromCGAffineTransform(CGAffineTransformMakeScale(2, 3)), "[2, 0, 0, 3, 0, 0]");
    CGRect parsed = CGRectFromString("{{1, 2}, {3.5, 4}}");
    EXPECT_TRUE(CGRectEqualToRect(parsed, CGRectMake(1, 2, 3.5f, 4)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectFromString("garbage"), CGRectZero));
}

TEST(CGAffineTransform, ComposesInThePlatformOrder)
{
    // Translate then rotate: the rotation applies to points first.
    CGAffineTransform t
        = CGAffineTransformRotate(CGAffineTransformMakeTranslation(10, 0), static_cast<CGFloat>(M_PI / 2));
    CGPoint p = CGPointApplyAffineTransform(CGPointMake(1, 0), t);
    EXPECT_NEAR(p.x, 10, 1e-5);
    EXPECT_NEAR(p.y, 1, 1e-5);

    CGAffineTransform s
        = CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2), CGAffineTransformMakeTranslation(5, 5));
    p = CGPointApplyAffineTransform(CGPointMake(1, 1), s);
    EXPECT_EQ(p.x, 7);
    EXPECT_EQ(p.y, 7);

    CGAffineTransform inv = CGAffineTransformInvert(s);
    p = CGPointApplyAffineTransform(CGPointMake(7, 7), inv);
    EXPECT_NEAR(p.x, 1, 1e-6);
    // A singular transform cannot be inverted and comes back unchanged.
    CGAffineTransform singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_TRUE(CGAffineTransformEqualToTransform(CGAffineTransformInvert(singular), singular));

    CGRect box = CGRectApplyAffineTransform(
        CGRectMake(0, 0, 2, 1), CGAffineTransformMakeRotation(static_cast<CGFloat>(M_PI / 2)));
    EXPECT_NEAR(box.origin.x, -1, 1e-5);
    EXPECT_NEAR(box.size.width, 1, 1e-5);
    EXPECT_NEAR(box.size.height, 2, 1e-5);
}

TEST(UIGeometry, InsetRect)
{
    CGRect r = UIEdgeInsetsInsetRect(CGRectMake(0, 0, 100, 50), UIEdgeInsetsMake(5, 10, 15, 20));
    EXPECT_TRUE(CGRectEqualToRect(r, CGRectMake(10, 5, 70, 30)));
}
