#include "services/tests/ServicesTestFixture.h"

namespace {

class StoreScreen : public NSObject, public SKStoreProductViewControllerDelegate {
    VX_OBJECT(StoreScreen, NSObject)
public:
    explicit StoreScreen(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<StoreScreen> init() { return make<StoreScreen>(); }
    void productViewControllerDidFinish(const Ref<SKStoreProductViewController>& sheet) override
    {
        ++finishes;
        sheet->dismissViewControllerAnimatedCompletion(true, nullptr);
    }
    int finishes { 0 };
};

} // namespace

class SKStoreProductViewControllerTest : public ServicesTest { };

TEST_F(SKStoreProductViewControllerTest, SheetLoadsWithTheChosenOutcomeAndClosesThroughItsDelegate)
{
    struct Case {
        const char* name;
        Value parameters;
        Ref<NSError> chosenError;
        bool loaded;
    };
    const std::vector<Case> cases = {
        { "product", Value::dictionary({ { SKStoreProductParameterITunesItemIdentifier, Value(int32_t(12345)) } }),
            nullptr, true },
        { "store unreachable",
            Value::dictionary({ { SKStoreProductParameterITunesItemIdentifier, Value(int32_t(12345)) } }),
            NSError::errorWithDomain(SKErrorDomain, 0), false },
        { "no product named", Value::dictionary({}), nullptr, false },
    };
    auto screen = StoreScreen::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SKStoreProductViewController::setLoadErrorForTesting(c.chosenError);
        auto sheet = SKStoreProductViewController::init();
        sheet->setDelegate(screen.get(), screen);
        int completions = 0;
        bool result = !c.loaded;
        sheet->loadProductWithParametersCompletionBlock(c.parameters, [&](bool ok, const Ref<NSError>& error) {
            ++completions;
            result = ok;
            EXPECT_EQ(error == nullptr, ok);
        });
        // Presented at once, without waiting for the load.
        m_root->presentViewControllerAnimatedCompletion(sheet, true, nullptr);
        EXPECT_EQ(completions, 0);
        drainAll();
        EXPECT_EQ(completions, 1);
        EXPECT_EQ(result, c.loaded);
        EXPECT_EQ(sheet->isLoaded(), c.loaded);
        ASSERT_EQ(sheet->loadedParameters().size(), 1u);
        m_clock.advance(1);
        EXPECT_EQ(m_root->presentedViewController(), sheet);

        sheet->finish();
        m_clock.advance(1);
        EXPECT_EQ(m_root->presentedViewController(), nullptr);
    }
    EXPECT_EQ(screen->finishes, 3);
}
