#include "services/SKStoreProductViewController.h"

#include "foundation/NSRunLoop.h"

VX_REGISTER_CLASS(SKStoreProductViewController);

namespace {
Ref<NSError> s_loadError;
// The code of a load whose parameters name no product.
constexpr int32_t kUnknownProductCode = 0;
} // namespace

Ref<SKStoreProductViewController> SKStoreProductViewController::init()
{
    return makeController<SKStoreProductViewController>({}, nullptr);
}

void SKStoreProductViewController::loadProductWithParametersCompletionBlock(
    const Value& parameters, LoadCompletion completion)
{
    m_loads.push_back(parameters);
    m_loaded = false;
    Ref<NSError> error = s_loadError;
    if (parameters.objectForKey(Value(SKStoreProductParameterITunesItemIdentifier)).isNilOrNull())
        error = NSError::errorWithDomain(SKErrorDomain, kUnknownProductCode);
    // Only the newest load marks the sheet loaded; every load's completion is called.
    uint64_t generation = ++m_loadGeneration;
    Weak<SKStoreProductViewController> weak = self<SKStoreProductViewController>();
    NSRunLoop::mainRunLoop()->performInModesBlock(
        { NSRunLoopCommonModes }, [weak, generation, error, completion = std::move(completion)] {
            if (auto sheet = weak.lock(); sheet && sheet->m_loadGeneration == generation)
                sheet->m_loaded = !error;
            if (completion)
                completion(!error, error);
        });
}

void SKStoreProductViewController::finish()
{
    if (auto* d = delegate())
        d->productViewControllerDidFinish(self<SKStoreProductViewController>());
}

void SKStoreProductViewController::setLoadErrorForTesting(const Ref<NSError>& error)
{
    s_loadError = error;
}

void SKStoreProductViewController::resetForTesting()
{
    s_loadError = nullptr;
}
