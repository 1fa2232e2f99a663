#include "charts/gl/VboSet.h"

#include "charts/gl/GLObject.h"
#include "charts/gl/VboData.h"
#include "charts/gl/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace LChartGL;

namespace {

std::shared_ptr<VboData> block(VboSet& set, uint32_t count)
{
    return std::make_shared<VboData>(std::calloc(count, set.stride()), count, true, &set);
}

} // namespace

TEST(VboSet, GrowsByTheFirstUploadsSizeAndRewritesOnGrowth)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    VertexBuffer buffer(throwingHandle());
    VboSet set(28, GL_ARRAY_BUFFER, &buffer);

    // Nothing to upload: no GL call at all.
    set.add(block(set, 0));
    recorder.clear();
    set.buffer();
    EXPECT_TRUE(recorder.calls().empty());

    set.add(block(set, 100));
    set.buffer();
    EXPECT_EQ(set.capacity(), 2800u);
    EXPECT_EQ(set.increment(), 2800u);
    EXPECT_EQ(recorder.callsTo({ "BufferData" }),
        std::vector<std::string> {
            GLCallRecorder::format("BufferData", GL_ARRAY_BUFFER, 2800, nullptr, GL_DYNAMIC_DRAW) });

    auto extra = block(set, 8);
    set.add(extra);
    recorder.clear();
    set.buffer();
    EXPECT_EQ(set.capacity(), 5600u);
    // A growth rewrites every block.
    EXPECT_EQ(recorder.count("BufferData"), 1u);
    EXPECT_EQ(recorder.count("BufferSubData"), 2u);
    EXPECT_EQ(extra->offset(), 100u);

    set.clear();
    EXPECT_EQ(set.capacity(), 0u);
    EXPECT_EQ(set.takeSequence(), 0u);
}

TEST(VboSet, AGrownBlockMovesTheBlocksAfterItAndNothingOverlaps)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    VertexBuffer buffer(throwingHandle());
    VboSet set(2, GL_ELEMENT_ARRAY_BUFFER, &buffer);
    auto a = block(set, 10);
    auto b = block(set, 10);
    auto c = block(set, 10);
    for (auto& entry : { a, b, c })
        set.add(entry);
    auto d = block(set, 50); // Room to grow into without a rewrite.
    set.add(d);
    set.buffer();
    d = block(set, 0);
    d->setSequence(3);
    set.add(d);
    set.buffer();

    // b grows from 10 to 20 items: it is written in place of the old one, c and d move after it,
    // a is left alone.
    auto grown = block(set, 20);
    grown->setSequence(b->sequence());
    grown->setDeltaSize(10);
    set.add(grown);
    recorder.clear();
    set.buffer();
    EXPECT_EQ(recorder.count("BufferData"), 0u);
    EXPECT_EQ(recorder.callsTo({ "BufferSubData" }),
        (std::vector<std::string> { GLCallRecorder::format("BufferSubData", GL_ELEMENT_ARRAY_BUFFER, 20, 40, "p"),
            GLCallRecorder::format("BufferSubData", GL_ELEMENT_ARRAY_BUFFER, 60, 20, "p") }));
    EXPECT_EQ(a->offset(), 0u);
    EXPECT_EQ(grown->offset(), 10u);
    EXPECT_EQ(c->offset(), 30u);
    EXPECT_FALSE(c->isDirty());
}
