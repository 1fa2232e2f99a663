#include "services/tests/ServicesTestFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// Dismisses the composer it is told about, as screens do, and remembers the result.
class MailScreen : public NSObject, public MFMailComposeViewControllerDelegate {
    VX_OBJECT(MailScreen, NSObject)
public:
    explicit MailScreen(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<MailScreen> init() { return make<MailScreen>(); }
    void mailComposeControllerDidFinishWithResultError(const Ref<MFMailComposeViewController>& composer,
        MFMailComposeResult result, const Ref<NSError>& error) override
    {
        results.push_back(result);
        errors.push_back(error);
        composer->dismissViewControllerAnimatedCompletion(true, nullptr);
    }
    std::vector<MFMailComposeResult> results;
    std::vector<Ref<NSError>> errors;
};

} // namespace

class MFMailComposeViewControllerTest : public ServicesTest { };

TEST_F(MFMailComposeViewControllerTest, ComposerKeepsTheMessageAndReportsTheChosenResult)
{
    struct Case {
        const char* name;
        MFMailComposeResult result;
        bool error; // the delegate hears an error
    };
    const Case cases[] = {
        { "sent", MFMailComposeResultSent, false },
        { "cancelled", MFMailComposeResultCancelled, false },
        { "saved", MFMailComposeResultSaved, false },
        { "failed", MFMailComposeResultFailed, true },
    };
    auto screen = MailScreen::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MFMailComposeViewController::canSendMail());
        auto composer = MFMailComposeViewController::init();
        composer->setMailComposeDelegate(screen.get(), screen);
        composer->setSubject("Support (7.0)");
        composer->setToRecipients({ "support@example.test" });
        composer->setMessageBodyIsHTML("Device: iPad", false);
        composer->setModalPresentationStyle(UIModalPresentationFormSheet);
        m_root->presentViewControllerAnimatedCompletion(composer, true, nullptr);
        m_clock.advance(1);
        ASSERT_THAT(MFMailComposeViewController::presentedComposers(), ElementsAre(composer));
        EXPECT_EQ(composer->subject(), "Support (7.0)");
        EXPECT_THAT(composer->toRecipients(), ElementsAre("support@example.test"));
        EXPECT_FALSE(composer->isBodyHTML());

        EXPECT_TRUE(composer->finishWithResult(c.result));
        EXPECT_FALSE(composer->finishWithResult(MFMailComposeResultSent)) << "finished once";
        m_clock.advance(1);
        EXPECT_TRUE(MFMailComposeViewController::presentedComposers().empty());
        EXPECT_EQ(screen->results.back(), c.result);
        EXPECT_EQ(screen->errors.back() != nullptr, c.error);
        EXPECT_EQ(MFMailComposeViewController::finishedMails().back().result, c.result);
        EXPECT_EQ(MFMailComposeViewController::finishedMails().back().body, "Device: iPad");
    }
    EXPECT_EQ(screen->results.size(), 4u);

    MFMailComposeViewController::setCanSendMailForTesting(false);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
}
