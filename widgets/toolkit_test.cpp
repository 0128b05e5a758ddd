#include "widgets/toolkit.h"

#include <gtest/gtest.h>

#include "widgets/test_support.h"

namespace {

TEST(WinHandles, OwnersCloseOnceAndSelectRestores) {
  HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
  {
    TBrushHandle first(raw);
    TBrushHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    TBrushHandle third;
    third = std::move(second);
    EXPECT_NE(GetObjectType(raw), 0u) << "still alive while owned";
  }
  EXPECT_EQ(GetObjectType(raw), 0u) << "deleted when the last owner went";

  TDib image(4, 4);
  TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
  HGDIOBJ before = GetCurrentObject(image.Dc(), OBJ_PEN);
  {
    TSelectObject selected(image.Dc(), pen.Get());
    EXPECT_EQ(GetCurrentObject(image.Dc(), OBJ_PEN), pen.Get());
    TSelectObject moved(std::move(selected));
  }
  EXPECT_EQ(GetCurrentObject(image.Dc(), OBJ_PEN), before);
}

// A window-less control that paints its whole area in one colour.
class TSwatch : public TGraphicControl {
 public:
  bool opaque = true;
  bool Opaque() const override { return opaque; }

 protected:
  void Paint(HDC Dc) override { FillSolid(Dc, RECT{-50, -50, 500, 500}, RGB(200, 0, 0)); }
};

TEST(GraphicControl, PaintsInItsBoundsAndKeepsTheParentFillOff) {
  widgets_test::TTestWindow window(100, 60);
  TSwatch swatch;
  swatch.SetBounds(10, 20, 30, 5);
  swatch.SetParent(window.Handle());
  TDib image(100, 60);
  image.Fill(RGB(255, 255, 255));
  PaintGraphicControls(window.Handle(), image.Dc());
  FillSolid(image.Dc(), RECT{0, 0, 100, 60}, RGB(0, 0, 255));  // the parent's own background
  const RECT all{0, 0, 100, 60};
  EXPECT_EQ(widgets_test::InkBox(image, RGB(200, 0, 0), all).left, 10);
  const RECT box = widgets_test::InkBox(image, RGB(200, 0, 0), all);
  EXPECT_EQ(box.top, 20);
  EXPECT_EQ(box.right, 40);
  EXPECT_EQ(box.bottom, 25);
  EXPECT_EQ(widgets_test::CountPixels(image, RGB(200, 0, 0), all), 150);

  // A control that does not cover its area leaves it to the parent.
  swatch.opaque = false;
  SelectClipRgn(image.Dc(), nullptr);
  PaintGraphicControls(window.Handle(), image.Dc());
  FillSolid(image.Dc(), RECT{0, 0, 100, 60}, RGB(0, 0, 255));
  EXPECT_EQ(widgets_test::CountPixels(image, RGB(200, 0, 0), all), 0);
}

}  // namespace
