// The chart's drawing path against the floor of bare GL on the same context and framebuffer.
// Run by hand: build/bench/charts. Software rendering (llvmpipe) unless GALLIUM_DRIVER says
// otherwise, so the times are CPU times of the rasteriser as much as of the library.

#include "charts/LChartLineSeries.h"
#include "charts/gl/LChartGLView.h"
#include "gles/EAGLContext.h"
#include "gles/SoftwareRendering.h"
#include "graphics/UIColor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 400;

std::vector<float> wave(size_t count)
{
    std::vector<float> points;
    points.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        float x = static_cast<float>(i);
        points.push_back(x);
        points.push_back(50 + 40 * std::sin(x * 0.01f) + 5 * std::sin(x * 0.37f));
    }
    return points;
}

LChartGLTranslation translationFor(size_t count, float panned = 0)
{
    // The whole line in view: x 0...count, y 0...100.
    return { static_cast<float>(count) / 2, 50, panned, 0 };
}

Ref<LChartGLView> makeView()
{
    preferSoftwareRendering();
    auto view = LChartGLView::initWithFrame(CGRectMake(0, 0, kWidth, kHeight));
    view->setAreaColor(UIColor::colorWithWhiteAlpha(1, 1));
    return view;
}

void drawLine(LChartGLView& view, LChartSeries& series, const std::vector<float>& points, size_t count)
{
    int32_t lines = 0, segments = 0, joins = 0;
    view.drawLineStrip(points.data(), &series, &lines, &segments, &joins, static_cast<int32_t>(count * 2),
        UIColor::colorWithRedGreenBlueAlpha(0, 0.48, 1, 1).get(), nullptr, 2, 0, 1, translationFor(count));
}

// (a) Loading a 100,000-point line and drawing its first frame through the library.
void BM_LineFirstFrame(benchmark::State& state)
{
    auto view = makeView();
    auto line = LChartLineSeries::init();
    auto& series = *line;
    const size_t count = static_cast<size_t>(state.range(0));
    auto points = wave(count);
    // One frame first, so the programs are linked before the timing starts.
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    drawLine(*view, series, points, count);
    view->endRender();
    for (auto _ : state) {
        view->beginRenderWithReloadedDataIsRadialChart(true, false);
        drawLine(*view, series, points, count);
        view->endRender();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(count));
}

// (b) A frame after a pan: the pieces stay, only their translation moves.
void BM_LinePannedFrame(benchmark::State& state)
{
    auto view = makeView();
    auto line = LChartLineSeries::init();
    auto& series = *line;
    const size_t count = static_cast<size_t>(state.range(0));
    auto points = wave(count);
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    drawLine(*view, series, points, count);
    view->endRender();
    float pan = 0;
    for (auto _ : state) {
        pan += 1;
        view->beginRenderWithReloadedDataIsRadialChart(false, false);
        view->updateSeriesWithTranslation(&series, translationFor(count, pan));
        view->endRender();
    }
}

// The floor: the same vertices in an uploaded buffer, one program, a line strip, the same clear and
// the same read-back of the frame, with bare GL calls on the view's context and framebuffer.
void BM_LineBareGLFloor(benchmark::State& state)
{
    auto view = makeView();
    const size_t count = static_cast<size_t>(state.range(0));
    auto points = wave(count);
    // Render one frame so the view's framebuffer exists, then keep its context current.
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    view->endRender();
    view->beginRenderWithReloadedDataIsRadialChart(false, false);

    const char* vertexSource = "attribute vec2 p; uniform vec4 t; void main() {"
                               " gl_Position = vec4(-1.0 + (p.x - t.z) / t.x, -1.0 + (p.y - t.w) / t.y, 0.0, 1.0); }";
    const char* fragmentSource = "void main() { gl_FragColor = vec4(0.0, 0.48, 1.0, 1.0); }";
    GLuint program = glCreateProgram();
    for (auto [type, source] :
        { std::pair { GL_VERTEX_SHADER, vertexSource }, { GL_FRAGMENT_SHADER, fragmentSource } }) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
    }
    glBindAttribLocation(program, 0, "p");
    glLinkProgram(program);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(
        GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)), points.data(), GL_STATIC_DRAW);
    std::vector<uint8_t> pixels(static_cast<size_t>(view->backingWidth() * view->backingHeight()) * 4);
    auto t = translationFor(count);
    float pan = 0;
    for (auto _ : state) {
        pan += 1;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glUseProgram(program);
        glUniform4f(glGetUniformLocation(program, "t"), t.xScale, t.yScale, pan, t.yOffset);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(count));
        glReadPixels(0, 0, view->backingWidth(), view->backingHeight(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    glDeleteBuffers(1, &buffer);
    glDeleteProgram(program);
    view->endRender();
}

// The flight graph's size: a 200-point line, one frame after a pan, as frames per second.
void BM_FlightGraphFrame(benchmark::State& state)
{
    auto view = makeView();
    auto line = LChartLineSeries::init();
    auto& series = *line;
    auto points = wave(200);
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    drawLine(*view, series, points, 200);
    view->endRender();
    for (auto _ : state) {
        view->beginRenderWithReloadedDataIsRadialChart(false, false);
        drawLine(*view, series, points, 200);
        view->endRender();
    }
    state.counters["frames_per_second"]
        = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_LineFirstFrame)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinePannedFrame)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineBareGLFloor)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlightGraphFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
