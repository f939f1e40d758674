#include <gtest/gtest.h>

#include <QList>

#include "CropGeometry.h"
#include "DeviceCatalogue.h"
#include "TextRules.h"
#include "WindowLayout.h"

// The crop view's geometry and the window's layout, as tables over the plain
// functions the widgets apply.
namespace trimora {
namespace {

TEST(CropGeometry, CanvasForEachZoomTheFitLoopAndTheSearch) {
  // clang-format off
  const struct { QSize picture; int zoom; QSize canvas; } canvases[] = {
      {{600, 400}, 100, {600, 400}}, {{600, 400}, 50, {300, 200}}, {{600, 400}, 25, {150, 100}},
      {{600, 400}, 15, {100, 100}},       // below the minimum: raised to a square
      {{3000, 1000}, 100, {2000, 667}},  // capped on the longer side, the shape kept
      {{1000, 3000}, 50, {334, 1000}}, {{3000, 1000}, 5, {100, 100}}, {{6000, 4000}, 100, {2000, 1333}},
      {{0, 0}, 100, {0, 0}},              // a picture that cannot be read
      {{333, 333}, 45, {150, 150}}};      // 149.85 rounds to 150
  for (const auto& c : canvases)
    EXPECT_EQ(canvasForZoom(c.picture, c.zoom), c.canvas) << c.picture.width() << "@" << c.zoom;
  EXPECT_EQ(canvasRequest({600, 400}, 100), QSize(-1, -1));
  EXPECT_EQ(canvasRequest({6000, 4000}, 100), QSize(2000, 1333));
  const struct { QSize picture, frame; int zoom; bool searching; std::vector<int> passes;
                 int drawn; QString lastStatus; } fits[] = {
      {{600, 400}, {160, 128}, 100, false, {100}, 100, ""},  // fits: nothing to say
      {{600, 400}, {160, 128}, 50, false, {50}, 50, "50%"},
      {{600, 400}, {320, 240}, 15, false, {15}, 15, "15% Too small to crop"},
      {{600, 400}, {160, 128}, 5, true, {5, 15, 25, 35}, 35, "35%"},  // 210 x 140 > 160 x 128
      {{100, 80}, {160, 128}, 5, true, {5, 15, 25, 35, 45, 55, 65, 75, 85, 95}, 100,
       "95% Too small to crop"},  // none fits: drawn at its own size
      {{160, 128}, {160, 128}, 100, false, {100}, 100, "Too small to crop"},  // equal: too small
      // The search compares the frame with the drawn picture, never with a band.
      {{6000, 4000}, {270, 480}, 5, true, {5, 15, 25, 35, 45}, 45, "45%"},
      {{6000, 4000}, {480, 800}, 5, true, {5, 15, 25, 35, 45, 55, 65}, 65, "65%"},
      {{4000, 6000}, {480, 800}, 5, true, {5, 15, 25, 35, 45}, 45, "45%"},
      {{300, 150}, {60, 60}, 5, true, {5, 15, 25, 35, 45, 55, 65, 75}, 75, "75%"}};  // bands below
  // clang-format on
  for (const auto& c : fits) {
    const FitPlan plan = planFit(c.picture, c.frame, c.zoom, c.searching);
    std::vector<int> zooms;
    for (const FitPass& pass : plan.passes) zooms.push_back(pass.zoom);
    EXPECT_EQ(zooms, c.passes) << c.zoom;
    EXPECT_EQ(plan.zoom, c.drawn) << c.zoom;
    EXPECT_EQ(fitStatus(plan.passes.back()), c.lastStatus) << c.zoom;
  }
  // The cap stays while the frame fits the capped picture, else zoom 100 is the picture's size.
  for (auto [frame, canvas, found] : {std::tuple<QSize, QSize, int>{{270, 480}, {2000, 1333}, 45},
                                      {{1080, 2400}, {6000, 4000}, 65},
                                      {{1999, 1332}, {2000, 1333}, 100},
                                      {{2000, 1332}, {6000, 4000}, 35}}) {
    EXPECT_EQ(canvasForZoom({6000, 4000}, 100, frame), canvas) << frame.width();
    EXPECT_EQ(planFit({6000, 4000}, frame, 5, true).zoom, found) << frame.width();
  }
  EXPECT_EQ(canvasForZoom({6000, 4000}, 1, {2000, 1332}), QSize(100, 100));
  EXPECT_EQ(startZoom(60, false, false), 100);
  EXPECT_EQ(startZoom(60, true, false), 60);
  EXPECT_EQ(startZoom(60, true, true), 5);
}

// The frame centres on the pointer and stays on the canvas, flush with any edge it reaches; only
// a frame that leaves the canvas is off it. The view centres what it can show and scrolls the
// rest; auto-pan steps towards a frame past an edge.
TEST(CropGeometry, FramePlacementScrollingCentringAndPanning) {
  const QSize frame(100, 80);
  const QRect canvas(0, 0, 600, 400), banded(0, 25, 600, 350);
  // clang-format off
  const struct { QPoint pointer, topLeft; } placements[] = {
      {{300, 200}, {250, 160}}, {{2, 3}, {0, 0}}, {{599, 399}, {500, 320}}, {{50, 40}, {0, 0}},
      {{-40, 500}, {0, 320}}, {{700, -5}, {500, 0}}};
  const struct { QRect frame; bool on; } edges[] = {
      {{0, 0, 100, 80}, true}, {{500, 320, 100, 80}, true}, {{-1, 0, 100, 80}, false},
      {{0, -1, 100, 80}, false}, {{501, 0, 100, 80}, false}, {{0, 321, 100, 80}, false}};
  const struct { int length, visible, range, offset; } scrolls[] = {
      {600, 604, 0, 2}, {603, 604, 0, 0}, {604, 604, 0, 0}, {605, 604, 1, 0}, {2000, 604, 1396, 0}};
  const struct { int frameStart, scroll, maxScroll, step; } pans[] = {
      {500, 0, 400, kPanStep},    // the frame reaches past the right edge
      {500, 398, 400, 0},         // a step short of the end: the bar does the rest
      {90, 100, 400, -kPanStep},  // past the left edge
      {90, 2, 400, 0}, {200, 100, 400, 0}};
  // clang-format on
  for (const auto& c : placements) {
    const QPoint topLeft = frameForPointer(c.pointer, frame, canvas);
    EXPECT_EQ(topLeft, c.topLeft) << c.pointer.x() << "," << c.pointer.y();
    EXPECT_TRUE(frameOnPicture(QRect(topLeft, frame), canvas));
    const QPoint inBands = frameForPointer(c.pointer, frame, banded);
    EXPECT_TRUE(frameOnPicture(QRect(inBands, frame), banded)) << c.pointer.x();
  }
  EXPECT_EQ(clampFrame({550, 390}, frame, {0, 0, 300, 200}), QPoint(200, 120));
  EXPECT_EQ(clampFrame({-5, 0}, frame, banded), QPoint(0, 25));
  for (const auto& e : edges) EXPECT_EQ(frameOnPicture(e.frame, canvas), e.on) << e.frame.x();
  EXPECT_EQ(pictureArea({300, 150}, {100, 100}), QRect(0, 25, 100, 50));
  EXPECT_EQ(pictureArea({6000, 4000}, {2000, 1333}), QRect(0, 0, 2000, 1333));
  EXPECT_EQ(pictureArea({}, {100, 100}), QRect());
  for (const auto& c : scrolls) {
    EXPECT_EQ(scrollRange(c.length, c.visible), c.range) << c.length;
    EXPECT_EQ(centredOffset(c.length, c.visible), c.offset) << c.length;
  }
  for (const auto& p : pans)
    EXPECT_EQ(autoPanStep(p.frameStart, 100, p.scroll, p.maxScroll, 500), p.step) << p.frameStart;
}

// The view's scale leaves 5 % of the view on each side of a frame that would not fit; the same
// frame and view counted in device pixels (scale factors 1.5 and 2) give the same scale.
TEST(CropGeometry, ViewScaleAndEveryCatalogueDeviceCanBeCropped) {
  for (auto [frame, view, scale] : {std::tuple<QSize, QSize, double>{{320, 240}, {835, 604}, 1},
                                    {{760, 560}, {835, 604}, 0.9 * 604 / 560},
                                    {{1440, 3120}, {1180, 730}, 0.9 * 730 / 3120},
                                    {{3840, 2160}, {1180, 730}, 0.9 * 1180 / 3840},
                                    {{1440, 3120}, {0, 0}, 1}}) {
    EXPECT_DOUBLE_EQ(viewScale(frame, view), scale) << frame.width() << " in " << view.width();
    for (double dpr : {1.5, 2.0}) EXPECT_DOUBLE_EQ(viewScale(frame * dpr, view * dpr), scale);
  }
  EXPECT_EQ(scaleStatus({1440, 3120}, 0.2105), "1440 x 3120 shown at 21 %");
  EXPECT_EQ(scaleStatus({1440, 3120}, 1), "");
  // A device whose sides both fit a 6000 x 4000 photo, either way up, is cropped at some zoom.
  const auto devices = readDeviceCatalogue(TRIMORA_CATALOGUE);
  ASSERT_TRUE(devices && devices->size() > 300);
  int checked = 0;
  for (const DeviceLine& device : *devices) {
    const QStringList parts = sizeParts(device.size);
    const QSize frame(nearestInt(numericValue(parts.value(0))),
                      nearestInt(numericValue(parts.value(1))));
    for (QSize photo : {QSize(6000, 4000), QSize(4000, 6000)}) {
      if (frame.isEmpty() || !frameFits(frame, photo)) continue;
      ++checked;
      const int zoom = planFit(photo, frame, kMinZoom, true).zoom;
      const QSize drawn = pictureArea(photo, canvasForZoom(photo, zoom, frame)).size();
      EXPECT_TRUE(frameFits(frame, drawn)) << device.name.toStdString() << " " << photo.width();
    }
  }
  EXPECT_GT(checked, 600);
}

TEST(WindowLayoutRules, PartsFillTheClientAreaAndTheBottomRowsFollowItsHeight) {
  const WindowLayout small = computeWindowLayout({100, 100});  // below the minimum
  EXPECT_EQ(small.cropView, QRect(0, 0, 510, 460));
  EXPECT_EQ(small.panel, QRect(511, 0, kPanelWidth, 460));
  EXPECT_EQ(QList<int>({small.linksTop, small.resizeLockTop, small.pictureListHeight}),
            QList<int>({434, 367, 192}));
  const WindowLayout design = computeWindowLayout(kDesignClientSize);
  EXPECT_EQ(design.panel.right(), kDesignClientSize.width() - 1);
  EXPECT_EQ(design.panel.height(), design.cropView.height());  // level with the view, top to bottom
  EXPECT_EQ(QList<int>({design.linksTop, design.pictureListHeight}),  // down by the extra height
            QList<int>({small.linksTop + 621 - 460, small.pictureListHeight + 621 - 460}));
}

}  // namespace
}  // namespace trimora
