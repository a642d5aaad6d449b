// The 3D panel on its own: option setters and their notifications, what the canvas
// operations draw, drawing onto the last picture, and Copy.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include "canvas3d/draw3d.h"

using namespace quarvel::app;

namespace {
int pixelsOf(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
    return count;
}

// A panel in the plain top view: one model unit a pixel, no perspective.
std::unique_ptr<TDraw3D> topViewPanel() {
    auto panel = std::make_unique<TDraw3D>();
    panel->resize(200, 100);
    panel->setOrthogonal(false);
    panel->setPerspective(0);
    panel->setRotation(0);
    panel->setElevation(0);
    return panel;
}
}  // namespace

class Canvas3DTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsAndNotifications() {
        TDraw3D panel;
        QCOMPARE(panel.size(), QSize(400, 250));
        const auto& o = panel.View3DOptions();
        QCOMPARE(o.Rotation, 345);
        QCOMPARE(o.Elevation, 345);
        QCOMPARE(o.Perspective, 15);
        QCOMPARE(o.Zoom, 100);
        QVERIFY(o.Orthogonal && o.ZoomText);
        QVERIFY(panel.BufferedDisplay());
        int zoomSeen = 0;
        connect(&panel, &TDraw3D::zoomed, [&] { zoomSeen = panel.View3DOptions().Zoom; });
        QSignalSpy scrolls(&panel, &TDraw3D::scrolled);
        panel.setZoom(150);
        QCOMPARE(zoomSeen, 100);  // told before the value is stored
        panel.setZoom(150);
        panel.setHorizOffset(4);
        panel.setVertOffset(4);
        panel.setVertOffset(4);
        QCOMPARE(scrolls.count(), 2);
    }

    void linesQuadsAndPenColour() {
        auto panel = topViewPanel();
        panel->setOnPaint([](TCanvas3D& c) {
            c.setPenColor(Qt::red);
            c.MovePen3D(10, 10, 0);
            c.DrawLine3D(50, 10, 7);  // z does not move anything in the top view
            c.DrawLine3D(50, 40, 0);  // continues from the pen position
            c.setPenColor(Qt::green);
            c.FillQuadAtDepth({100, 20, 140, 60}, 5);
        });
        panel->paintPicture();
        const QImage& p = panel->picture();
        QCOMPARE(p.pixelColor(30, 10), QColor(Qt::red));
        QCOMPARE(p.pixelColor(50, 25), QColor(Qt::red));
        QCOMPARE(p.pixelColor(120, 40), QColor(Qt::black));  // the brush fills the inside
        QCOMPARE(p.pixelColor(100, 40), QColor(Qt::green));  // the pen draws the outline
        QCOMPARE(p.pixelColor(150, 40), QColor(Qt::white));
    }

    void drawingOntoTheLastPictureSkipsThePaintHandler() {
        auto panel = topViewPanel();
        int handlerRuns = 0;
        panel->setOnPaint([&](TCanvas3D&) { ++handlerRuns; });
        panel->paintPicture();
        panel->drawOnLastPicture([](TCanvas3D& c) {
            c.setPenColor(Qt::blue);
            c.MovePen3D(20, 50, 0);
            c.DrawLine3D(120, 50, 0);
        });
        QCOMPARE(handlerRuns, 1);
        QCOMPARE(pixelsOf(panel->picture(), Qt::blue), 101);
    }

    void copyPlacesThePanelPictureOnTheClipboard() {
        auto panel = topViewPanel();
        panel->setOnPaint([](TCanvas3D& c) {
            c.MovePen3D(0, 30, 0);
            c.DrawLine3D(199, 30, 0);
        });
        panel->CopyToClipboard();
        QVERIFY(panel->BufferedDisplay());
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(200, 100));
        QCOMPARE(copied.pixelColor(100, 30), QColor(Qt::black));
        QCOMPARE(copied.pixelColor(100, 60), QColor(Qt::white));
    }
};

QTEST_MAIN(Canvas3DTest)
#include "canvas3d_test.moc"
