#include "ui/Look.h"

namespace ui {
namespace {

class FontPair {
 public:
  FontPair() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      font = metrics.lfMessageFont;
    } else {
      GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    font.lfWeight = FW_NORMAL;
    plain_ = CreateFontIndirectW(&font);
    font.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirectW(&font);
  }
  ~FontPair() {
    if (plain_) DeleteObject(plain_);
    if (bold_) DeleteObject(bold_);
  }
  HFONT Get(bool bold) const { return bold ? bold_ : plain_; }

 private:
  HFONT plain_ = nullptr;
  HFONT bold_ = nullptr;
};

}  // namespace

HFONT DialogFont(bool bold) {
  static FontPair fonts;
  return fonts.Get(bold);
}

BrushHolder::~BrushHolder() {
  if (brush_) DeleteObject(brush_);
}

HBRUSH BrushHolder::Get(const Colour& colour) {
  if (colour.IsSystem()) return GetSysColorBrush(colour.SystemIndex());
  COLORREF value = colour.Resolve();
  if (!brush_ || value != value_) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(value);
    value_ = value;
  }
  return brush_;
}

}  // namespace ui
