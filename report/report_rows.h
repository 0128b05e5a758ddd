// One row of the quantity list, as every form of the list (Shift-JIS or
// UTF-8 CSV, JSON, a difference of two drawings) is written from it.
#pragma once

#include <cstdint>
#include <string_view>

struct TReportRow {
  std::string_view Drawing;  // the drawing's file name when the list covers several, else empty
  std::string_view Layer;    // code-page-932 bytes, as read
  std::string_view Color;
  std::string_view LineType;
  int KindOrder = 0;               // lines 0, circles 1, arcs 2, polylines 3, ellipses 4, splines 5
  const char* KindWord = nullptr;  // "線", "円", "円弧", "多角線", "楕円", "スプライン"
  double Measure = 0.0;            // the group's last (largest) measure, unrounded
  double Total = 0.0;              // the sum of the group's measures
  std::int64_t Count = 0;
  std::int64_t Duplicates = 0;
};

// Takes the rows of a list in order. The texts of a row are valid for the
// call only.
class TRowSink {
 public:
  virtual void Row(const TReportRow& Row) = 0;

 protected:
  ~TRowSink() = default;
};
