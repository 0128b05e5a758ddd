// One row of the quantity list, as every form of the list (Shift-JIS or
// UTF-8 CSV, JSON, a difference of two drawings) is written from it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct TReportRow {
  std::string_view Drawing;  // the drawing's file name when the list covers several, else empty
  std::string_view Layer;    // code-page-932 bytes, as read
  std::string_view Color;
  std::string_view LineType;
  // lines 0, circles 1, arcs 2, polylines 3, ellipses 4, splines 5, areas
  // from kAreaKindOrder on (closed polylines, circles, ellipses, splines,
  // hatches), block references kBlockKindOrder
  int KindOrder = 0;
  const char* KindWord = nullptr;  // "線", "円", ..., "多角線面積", ..., "ハッチ面積", "ブロック"
  // The group's last (largest) measure, unrounded: a length, or an area in
  // an area row; 0 for block references.
  double Measure = 0.0;
  double Total = 0.0;  // the sum of the group's measures; 0 for block references
  std::int64_t Count = 0;
  std::int64_t Duplicates = 0;
  // Block references only: the block's name, and the values of the
  // attribute tags asked for, in their order.
  std::string_view Block;
  std::span<const std::string_view> Attributes;
  bool IsBlock() const { return KindOrder == kBlockKindOrder; }
  bool IsArea() const { return IsAreaKind(KindOrder); }

  static constexpr int kAreaKindOrder = 6;
  static constexpr int kBlockKindOrder = 20;
  static constexpr bool IsAreaKind(int KindOrder) { return KindOrder >= kAreaKindOrder && KindOrder < kBlockKindOrder; }
};

// Takes the rows of a list in order. The texts of a row are valid for the
// call only.
class TRowSink {
 public:
  virtual void Row(const TReportRow& Row) = 0;

 protected:
  ~TRowSink() = default;
};
