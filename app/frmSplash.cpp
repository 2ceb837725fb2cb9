#include "app/frmSplash.h"

#include "sys/cSHAREDSubs.h"

namespace twi {
namespace {

constexpr int kPictureWidth = 5400;
constexpr int kPictureHeight = 2880;

}  // namespace

frmSplash::frmSplash() : ui::Form("", kPictureWidth, kPictureHeight, ui::BorderStyle::None) {}

void frmSplash::CreateControls() {
  Picture1.Create(*this, {0, 0, kPictureWidth, kPictureHeight}, {.border = false});
  lblVersion.Create(*this, "Version", {0, 2340, 2000, 285}, {.alignment = ui::Alignment::Center});
  lblVersion.SetBackColor(ui::Colour::Rgb(RGB(0x1F, 0x3F, 0x7F)));
  lblVersion.SetForeColor(ui::Colour::Rgb(RGB(0xFF, 0xFF, 0xFF)));
  lblVersion.ZOrder(0);
}

void frmSplash::Form_Load() {
  // The window takes the picture's size.
  SetClientSize(Picture1.Width(), Picture1.Height());
  CenterOnScreen();
  DrawPicture();
  lblVersion.SetCaption("Version " + TheSubs().AppVersion());
  lblVersion.Move(lblVersion.Left(), lblVersion.Top(), lblVersion.TextWidthTwips() + 240,
                  lblVersion.Height());
  lblVersion.SetLeft((ScaleWidth() - lblVersion.Width()) / 2);
}

void frmSplash::DrawPicture() {
  ui::PictureBox& p = Picture1;
  int w = p.ScaleWidth(), h = p.ScaleHeight();
  // A deep blue band that lightens towards the top, with the maker's name.
  for (int y = 0; y < h; ++y) {
    int shade = 0x7F - (0x60 * y) / (h ? h : 1);
    p.FillBox(0, y, w, y + 1, RGB(0x1F, 0x3F, shade + 0x20 > 0xFF ? 0xFF : shade + 0x20));
  }
  p.FillBox(0, h / 2 + 18, w, h / 2 + 20, RGB(0xE0, 0xB0, 0x40));
  p.SetForeColor(RGB(0xFF, 0xFF, 0xFF));
  const std::string title = "Tarnwick Software";
  const std::string subtitle = "Install Center";
  p.SetCurrentX((w - p.TextWidth(title)) / 2);
  p.SetCurrentY(h / 2 - 2 * p.TextHeight(title));
  p.Print(title);
  p.SetCurrentX((w - p.TextWidth(subtitle)) / 2);
  p.SetCurrentY(h / 2 - p.TextHeight(subtitle) + 6);
  p.Print(subtitle);
}

}  // namespace twi
