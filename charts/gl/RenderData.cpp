#include "charts/gl/RenderData.h"

namespace LChartGL {

RenderData::RenderData(SeriesHandleRef series, std::shared_ptr<VboData> vertices, std::shared_ptr<VboData> indices,
    int32_t* idCounter, GLenum mode, const StencilSettings* stencil, const LChartGLTranslation* translation)
    : id(idCounter ? (*idCounter)++ : 0)
    , mode(mode)
    , stencil(stencil ? *stencil : StencilSettings {})
    , translation(translation ? *translation : LChartGLTranslation {})
    , series(std::move(series))
    , vertices(std::move(vertices))
    , indices(std::move(indices))
{
}

namespace {
void inherit(const std::shared_ptr<VboData>& old, const std::shared_ptr<VboData>& fresh)
{
    if (!old || !fresh || old == fresh)
        return;
    fresh->setSequence(old->sequence());
    fresh->setDeltaSize(static_cast<int32_t>(fresh->count()) - static_cast<int32_t>(old->count()));
}
} // namespace

void RenderData::replaceWith(const RenderData& other)
{
    inherit(vertices, other.vertices);
    inherit(indices, other.indices);
    *this = other;
}

} // namespace LChartGL
