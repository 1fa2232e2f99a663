#include "app/categories/UIImage+ProportionResize.h"
#include "app/categories/UILabel+DynamicSizing.h"
#include "app/widgets/KESTCheckCellSubtitle.h"
#include "app/widgets/KESTGradientView.h"
#include "app/widgets/KESTToggleButton.h"
#include "app/widgets/ScreenshotCapture.h"
#include "foundation/NSDirectoryEnumerator.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/Sandbox.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/CGImage.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/LogCapture.h"
#include "testing/VirtualClock.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UISavedPhotosAlbum.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

// An opaque red image of the size, at scale 1.
Ref<UIImage> redImage(CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    CGContextSetRGBFillColor(UIGraphicsGetCurrentContext(), 1, 0, 0, 1);
    UIRectFill(CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// The smallest rectangle holding every pixel with some alpha (premultiplied BGRA bitmaps).
CGRect paintedRect(const Ref<UIImage>& image)
{
    const auto& cg = image->CGImage();
    auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
    size_t width = CGImageGetWidth(cg), height = CGImageGetHeight(cg), stride = CGImageGetBytesPerRow(cg);
    long minX = long(width), minY = long(height), maxX = -1, maxY = -1;
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x)
            if (bytes[y * stride + x * 4 + 3] > 127) {
                minX = std::min(minX, long(x));
                minY = std::min(minY, long(y));
                maxX = std::max(maxX, long(x));
                maxY = std::max(maxY, long(y));
            }
    if (maxX < 0)
        return CGRectZero;
    return CGRectMake(minX, minY, maxX - minX + 1, maxY - minY + 1);
}

class HostDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(HostDelegate, NSObject)
public:
    explicit HostDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HostDelegate> init() { return make<HostDelegate>(); }
    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value&) override
    {
        m_window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
        m_window->setBackgroundColor(UIColor::redColor());
        m_window->setRootViewController(UIViewController::init());
        m_window->rootViewController()->view()->setBackgroundColor(UIColor::redColor());
        m_window->makeKeyAndVisible();
        return true;
    }
    Ref<UIWindow> window() const override { return m_window; }

private:
    Ref<UIWindow> m_window;
};

// The application launched with a delegate whose window is red.
struct HostScope {
    HostScope()
    {
        delegate = HostDelegate::init();
        application = UIApplicationHost::launchWithDelegate(delegate);
        drainAll();
    }
    HostedWindow host { HostedWindow::Window::None };
    VirtualClock& clock { host.clock() };
    Ref<HostDelegate> delegate;
    Ref<UIApplication> application;
};

TEST(KESTToggleButton, FlipsOnEachTapBeforeOtherTargetsAct)
{
    HostScope host;
    auto button = KESTToggleButton::initWithFrame(CGRectMake(100, 100, 44, 44));
    host.delegate->window()->addSubview(button);
    EXPECT_TRUE(button->isExclusiveTouch());
    EXPECT_EQ(button->contentMode(), UIViewContentModeCenter);
    EXPECT_EQ(button->imageForState(UIControlStateSelected), UIImage::imageNamed("toggleSelected"));
    EXPECT_EQ(button->imageForState(UIControlStateNormal), UIImage::imageNamed("toggleDeselected"));
    ASSERT_TRUE(button->currentImage());
    EXPECT_TRUE(button->isKindOfClass(UIButton::classObject()));
    EXPECT_EQ(button->buttonType(), UIButtonTypeCustom);

    // A screen's own action sees the state already flipped.
    std::vector<bool> seen;
    button->addTargetActionForControlEvents(
        nullptr, "screenAction",
        [&](const Ref<UIControl>& sender, const Ref<UIEvent>&) { seen.push_back(sender->isSelected()); },
        UIControlEventTouchUpInside);
    const struct {
        bool selected;
        const char* image;
    } steps[] = { { true, "toggleSelected" }, { false, "toggleDeselected" } };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.image);
        UIApplicationHost::tap(CGPointMake(122, 122));
        EXPECT_EQ(button->isSelected(), step.selected);
        EXPECT_EQ(button->currentImage(), UIImage::imageNamed(step.image));
        EXPECT_EQ(button->imageView()->image(), UIImage::imageNamed(step.image));
    }
    EXPECT_EQ(seen, (std::vector<bool> { true, false }));
}

TEST(UILabelDynamicSizing, FollowsTheTextSizeUntilReleased)
{
    const std::string style = "UICTFontTextStyleBody";
    struct CategoryReset {
        ~CategoryReset() { UIFont::setContentSizeCategory("UICTContentSizeCategoryL"); }
    } reset;
    Weak<UILabel> weak;
    {
        auto label = UILabel::initWithFrame(CGRectMake(0, 0, 100, 20));
        weak = label;
        UILabel_DynamicSizing::usePreferredFontForTextStyle(label, style);
        EXPECT_EQ(UILabel_DynamicSizing::textStyle(label), style);
        CGFloat before = label->font()->pointSize();
        EXPECT_EQ(before, UIFont::preferredFontForTextStyle(style)->pointSize());

        // The user picks a larger text size.
        UIApplication::sharedApplication()->setPreferredContentSizeCategory("UICTContentSizeCategoryXXXL");
        EXPECT_GT(label->font()->pointSize(), before);
        EXPECT_EQ(label->font()->pointSize(), UIFont::preferredFontForTextStyle(style)->pointSize());
    }
    // Released: nothing keeps it, and a later change reaches no one.
    EXPECT_TRUE(weak.expired());
    UIApplication::sharedApplication()->setPreferredContentSizeCategory("UICTContentSizeCategoryXS");

    // A label without a style has none attached.
    EXPECT_EQ(UILabel_DynamicSizing::textStyle(UILabel::initWithFrame(CGRectZero)), "");
}

TEST(UIImageProportionResize, ScalesByTheSmallerFactor)
{
    struct Case {
        CGSize source;
        CGSize target;
        CGRect painted;
    };
    const Case cases[] = {
        { { 200, 100 }, { 100, 100 }, { { 0, 25 }, { 100, 50 } } }, // limited by width: centred vertically
        { { 100, 200 }, { 100, 100 }, { { 0, 0 }, { 50, 100 } } }, // limited by height: at the left edge
        { { 40, 40 }, { 40, 40 }, { { 0, 0 }, { 40, 40 } } }, // same size
        { { 10, 10 }, { 60, 30 }, { { 0, 0 }, { 30, 30 } } }, // enlarged, limited by height
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.source.width << "x" << c.source.height);
        auto scaled = UIImage_ProportionResize::imageByScalingProportionallyToSize(redImage(c.source), c.target);
        ASSERT_TRUE(scaled);
        EXPECT_EQ(scaled->scale(), 1);
        EXPECT_TRUE(CGSizeEqualToSize(scaled->size(), c.target));
        CGRect painted = paintedRect(scaled);
        EXPECT_TRUE(CGRectEqualToRect(painted, c.painted))
            << painted.origin.x << "," << painted.origin.y << " " << painted.size.width << "x" << painted.size.height;
    }

    LogCapture logs;
    EXPECT_FALSE(UIImage_ProportionResize::imageByScalingProportionallyToSize(nullptr, CGSizeMake(10, 10)));
    EXPECT_FALSE(UIImage_ProportionResize::imageByScalingProportionallyToSize(redImage({ 10, 10 }), CGSizeMake(0, 0)));
    EXPECT_EQ(logs.messages(), (std::vector<std::string> { "could not scale image", "could not scale image" }));
}

TEST(KESTGradientView, IsBackedByAGradientLayer)
{
    auto view = KESTGradientView::initWithFrame(CGRectMake(0, 0, 10, 10));
    EXPECT_TRUE(view->layer()->isKindOfClass(CAGradientLayer::classObject()));
}

TEST(KESTCheckCellSubtitle, LayoutGivesLabelsAndAddsTheCheckBox)
{
    HostScope host;
    auto nib = UINib::nibWithNibNameBundle("KESTCheckCellSubtitle", nullptr);
    ASSERT_TRUE(nib);
    auto objects = nib->instantiateWithOwnerOptions(nullptr, Value());
    ASSERT_EQ(objects.size(), 1u);
    auto cell = objects[0].objectAs<KESTCheckCellSubtitle>();
    ASSERT_TRUE(cell);
    ASSERT_TRUE(cell->titleLabel());
    ASSERT_TRUE(cell->subtitleLabel());
    EXPECT_NE(cell->titleLabel(), cell->subtitleLabel());
    auto toggle = cell->toggleButton();
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->superview(), cell->contentView());
    EXPECT_TRUE(CGRectEqualToRect(toggle->frame(), CGRectMake(6, 11, 44, 44)));
    EXPECT_TRUE(toggle->backgroundColor()->isEqual(UIColor::clearColor().get()));

    // Selecting the row leaves the check box alone.
    cell->setSelectedAnimated(true, false);
    EXPECT_TRUE(cell->isSelected());
    EXPECT_FALSE(toggle->isSelected());
}

TEST(ScreenshotCapture, RendersTheWindowsInTheInterfaceOrientation)
{
    HostScope host;
    CGSize screen = UIScreen::mainScreen()->bounds().size;
    CGFloat scale = UIScreen::mainScreen()->scale();
    auto portrait = ScreenshotCapture::imageWithScreenshot();
    ASSERT_TRUE(portrait);
    EXPECT_TRUE(CGSizeEqualToSize(portrait->size(), screen));
    EXPECT_TRUE(
        CGRectEqualToRect(paintedRect(portrait), CGRectMake(0, 0, screen.width * scale, screen.height * scale)));

    UIApplicationHost::rotateInterface(UIInterfaceOrientationLandscapeLeft);
    host.clock.advance(1);
    drainAll();
    auto landscape = ScreenshotCapture::imageWithScreenshot();
    ASSERT_TRUE(landscape);
    EXPECT_EQ(landscape->size().width, screen.height);
    EXPECT_EQ(landscape->size().height, screen.width);
}

TEST(ScreenshotCapture, SavesToADirectoryAndShares)
{
    HostScope host;
    auto fileManager = NSFileManager::defaultManager();
    std::string directory
        = NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true).back() + "/shots";
    fileManager->removeItemAtPath(directory, nullptr);
    ASSERT_TRUE(fileManager->createDirectoryAtPath(directory, true, Value(), nullptr));
    auto files = [&] { return fileManager->contentsOfDirectoryAtPath(directory, nullptr).elements(); };
    // Within one millisecond both screenshots get one name: one file.
    ScreenshotCapture::takeScreenshotToDirectoryAtPath(directory);
    ScreenshotCapture::takeScreenshotToDirectoryAtPath(directory);
    EXPECT_EQ(files().size(), 1u);
    host.clock.advance(0.002);
    ScreenshotCapture::takeScreenshotToDirectoryAtPath(directory);
    auto names = files();
    ASSERT_EQ(names.size(), 2u);
    for (const auto& entry : names) {
        std::string name = entry.stringValue();
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::regex_match(name, std::regex(R"(\d{4}-\d{2}-\d{1,2} \d{2}-\d{2}-\d{2}-\d{3}\.png)")));
        auto data = fileManager->contentsAtPath(directory + "/" + name);
        EXPECT_TRUE(UIImage::imageWithData(data)) << "a PNG";
    }

    // The camera roll keeps each screenshot as a new photo in the sandbox.
    fileManager->removeItemAtPath(UISavedPhotosAlbum::directory(), nullptr);
    ScreenshotCapture::takeScreenshotToCameraRoll();
    ScreenshotCapture::takeScreenshotToCameraRoll();
    auto photos = UISavedPhotosAlbum::photoPaths();
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_EQ(photos[0], UISavedPhotosAlbum::directory() + "/IMG_0001.PNG");
    EXPECT_EQ(photos[1], UISavedPhotosAlbum::directory() + "/IMG_0002.PNG");
    auto photo = UIImage::imageWithData(fileManager->contentsAtPath(photos[1]));
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->size().width, ScreenshotCapture::imageWithScreenshot()->size().width);

    ScreenshotCapture::takeScreenshotToActivityViewController();
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(
        host.delegate->window()->rootViewController()->presentedViewController());
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->activityItems().size(), 1u);
    EXPECT_TRUE(sheet->activityItems()[0].objectAs<UIImage>());
    EXPECT_TRUE(sheet->applicationActivities().empty());
}

} // namespace
