#include "ui/Look.h"

#include "base/NoDestructor.h"

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
    plain_.Reset(CreateFontIndirectW(&font));
    font.lfWeight = FW_BOLD;
    bold_.Reset(CreateFontIndirectW(&font));
  }
  HFONT Get(bool bold) const { return bold ? bold_.Get() : plain_.Get(); }

 private:
  GdiObject<HFONT> plain_;
  GdiObject<HFONT> bold_;
};

}  // namespace

HFONT DialogFont(bool bold) { return twi::SharedInstance<FontPair>().Get(bold); }

HBRUSH BrushHolder::Get(const Colour& colour) {
  if (colour.IsSystem()) return GetSysColorBrush(colour.SystemIndex());
  COLORREF value = colour.Resolve();
  if (!brush_ || value != value_) {
    brush_.Reset(CreateSolidBrush(value));
    value_ = value;
  }
  return brush_.Get();
}

}  // namespace ui
