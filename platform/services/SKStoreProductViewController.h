#pragma once

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "uikit/UIViewController.h"

#include <functional>

class SKStoreProductViewController;

// The key of the product's store identifier in the load parameters.
inline constexpr const char* SKStoreProductParameterITunesItemIdentifier = "id";
inline constexpr const char* SKErrorDomain = "SKErrorDomain";

// What the product sheet tells its delegate when the user closes it. The delegate dismisses it.
class SKStoreProductViewControllerDelegate {
public:
    virtual ~SKStoreProductViewControllerDelegate() = default;
    virtual void productViewControllerDidFinish(const Ref<SKStoreProductViewController>&) { }
};

// The store's product sheet. It reaches no store: a load records its parameters and completes on
// the next main run-loop pass with the outcome a test chose (success by default), and the host's
// side (a test, standing in for the user) closes the sheet, which tells the delegate. Main
// thread only.
class SKStoreProductViewController : public UIViewController {
    VX_OBJECT(SKStoreProductViewController, UIViewController)
public:
    using LoadCompletion = std::function<void(bool result, const Ref<NSError>& error)>;

    explicit SKStoreProductViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<SKStoreProductViewController> init();

    void setDelegate(SKStoreProductViewControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    SKStoreProductViewControllerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    // Parameters without a product identifier fail the load (with an error in SKErrorDomain).
    void loadProductWithParametersCompletionBlock(const Value& parameters, LoadCompletion completion);
    // The parameters of every load asked for, oldest first.
    const std::vector<Value>& loadedParameters() const { return m_loads; }
    // Whether the last load has completed successfully.
    bool isLoaded() const { return m_loaded; }

    // The host's side: the user closes the sheet (Cancel or Done); the delegate is told.
    void finish();
    // Test-only: the outcome of later loads; nullptr succeeds.
    static void setLoadErrorForTesting(const Ref<NSError>& error);
    static void resetForTesting();

private:
    SKStoreProductViewControllerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    std::vector<Value> m_loads;
    uint64_t m_loadGeneration { 0 };
    bool m_loaded { false };
};
