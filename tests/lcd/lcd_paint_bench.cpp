// Cost of one full repaint of the virtual LCD (target: under 2 ms), with the start-up picture,
// which lights every element.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "display/widget/lcd_painter.h"
#include "display/widget/lcd_widget.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char arg0[] = "lcd_paint_bench";
    static char* argv[] = {arg0, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// The whole widget: white glass, bevel and every element, as a repaint draws it.
void BM_WidgetRenderStartUp(benchmark::State& state) {
    App();
    const int dpr = static_cast<int>(state.range(0));
    qx::LcdWidget widget;
    widget.resize(qx::kPanel4Width, qx::kPanel4Height);
    QImage img(QSize(qx::kPanel4Width, qx::kPanel4Height) * dpr,
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    widget.render(&img);  // first paint fills the glyph caches
    for (auto _ : state) {
        widget.render(&img);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WidgetRenderStartUp)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The element painting alone.
void BM_PainterStartUp(benchmark::State& state) {
    App();
    const qx::LcdPainter painter;
    const qx::LcdState lcd = qx::LcdState::StartUp();
    QImage img(qx::kPanel4Width, qx::kPanel4Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        painter.paint(p, lcd);
        p.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PainterStartUp)->Unit(benchmark::kMicrosecond);

// Building the painter (all outlines and caption layouts), once per widget.
void BM_PainterConstruction(benchmark::State& state) {
    App();
    for (auto _ : state) {
        qx::LcdPainter painter;
        benchmark::DoNotOptimize(&painter);
    }
}
BENCHMARK(BM_PainterConstruction)->Unit(benchmark::kMicrosecond);

}  // namespace
