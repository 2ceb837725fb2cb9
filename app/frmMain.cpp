#include "app/frmMain.h"

#include <windows.h>

#include "app/frmAbout.h"
#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/Catalogue.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDProxy.h"
#include "settings/cSHAREDSettings.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "ui/Forms.h"
#include "ui/MsgBox.h"
#include "update/VersionFile.h"
#include "update/fSHAREDUpdater.h"

namespace twi {
namespace {

constexpr int kClientWidth = 8955;
constexpr int kClientHeight = 5460;
constexpr int kResultRowsCleared = 9;  // rows 0 to 8

const ui::Colour kBlue = ui::Colour::Rgb(RGB(0, 0, 0xFF));
const ui::Colour kGreen = ui::Colour::Rgb(RGB(0, 0x80, 0));
const ui::Colour kRed = ui::Colour::Rgb(RGB(0xFF, 0, 0));

struct TipDesign {
  ui::TwipsRect frame;
  const char* text;
};

const TipDesign kTips[3] = {
    {{1620, 1485, 3885, 960},
     "Click this button to download and install the selected program. If you have already "
     "installed this program before, clicking this button will update the installed version to "
     "the latest."},
    {{1620, 765, 3435, 960},
     "This button will retrieve the version number of the latest release.  If it is more recent "
     "than the one you are using, click Download and Install to update."},
    {{1620, 180, 4515, 960},
     "This button will examine your system to see whether you have the necessary runtimes "
     "installed to use the selected program.  Any runtimes which are not present can be "
     "downloaded by clicking the \"Install\" button."},
};

}  // namespace

frmMain::frmMain() : ui::Form(AppTitle(), kClientWidth, kClientHeight) {
  EndProcess = [] { ExitProcess(0); };
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
  Frame2.Create(*this, "Select the program you'd like to install by clicking the drop-down list",
                {2160, 90, 6630, 1005});
  cmbPrograms.Create(Frame2, {270, 450, 1905, 315});
  cmbPrograms.SetToolTipText("Select the required program from the list.");
  lblAbout.Create(Frame2, "", {2295, 495, 4200, 330});
  lblAbout.SetForeColor(kBlue);
  lblAbout.SetToolTipText("Information about the selected program");
  Frame1.Create(*this, "", {2160, 1125, 6630, 3390});
  CreateResultRowTemplate();
  CreateButtons();
  lblVersion.Create(*this, "Version", {90, 4545, 1410, 240});
  lblStatus.Create(*this, "", {2340, 4635, 6270, 645});
  lblStatus.SetBackColor(ui::Colour::System(COLOR_WINDOW));
  lblStatus.SetForeColor(ui::Colour::System(COLOR_WINDOWTEXT));
  CreateTipFrames();
  ConnectEvents();
}

void frmMain::CreateResultRowTemplate() {
  lblControlName.Design().Create(Frame1, "", {180, 225, 3165, 330});
  ui::Label& ok = lblOK.Design();
  ok.Create(Frame1, "OK", {3510, 225, 690, 330}, {.visible = false});
  ok.SetFontBold(true);
  ok.SetForeColor(kGreen);
  ui::Label& fail = lblFail.Design();
  fail.Create(Frame1, "Fail", {4365, 225, 780, 330}, {.visible = false});
  fail.SetFontBold(true);
  fail.SetForeColor(kRed);
  cmdInstall.Design().Create(Frame1, "Install", {5400, 180, 1050, 375}, {.visible = false});
}

void frmMain::CreateButtons() {
  cmdScan.Create(*this, "Scan Runtimes", {90, 180, 1455, 555});
  cmdShowLatest.Create(*this, "Determine latest version", {90, 810, 1455, 555});
  cmdInstallProg.Create(*this, "Download and Install Program", {90, 1440, 1455, 555});
  // Shown only while a file is downloading.
  cmdStop.Create(*this, "Stop Current Download", {90, 2070, 1455, 555}, {.visible = false});
  cmdStop.SetFontBold(true);
  cmdUpdateInstallCenter.Create(*this, "Update Install Center", {90, 2745, 1455, 555});
  cmdHelp.Create(*this, "About", {90, 3375, 1455, 510});
  cmdProxy.Create(*this, "Proxy Settings", {90, 3960, 1455, 510});
  cmdExit.Create(*this, "Exit", {90, 4815, 1455, 510});
}

void frmMain::CreateTipFrames() {
  for (int i = 0; i < 3; ++i) {
    const TipDesign& tip = kTips[i];
    ui::Frame& frame = TipFrame.DesignElement(i);
    frame.Create(*this, "", tip.frame, {.visible = false});
    ui::Label& label = lblToolTip.DesignElement(i);
    label.Create(frame, tip.text, {90, 165, tip.frame.width - 180, tip.frame.height - 240});
    label.SetBackColor(ui::Colour::System(COLOR_INFOBK));
    label.SetForeColor(ui::Colour::System(COLOR_INFOTEXT));
    label.SetBorder(true);
  }
}

void frmMain::ConnectEvents() {
  lblStatus.OnChange = [this] { TheLog().LogEvent(lblStatus.Caption(), false); };
  cmbPrograms.OnClick = [this] { ShowProgramInfo(false); };
  cmdShowLatest.OnClick = [this] { ShowProgramInfo(true); };
  cmdScan.OnClick = [this] { Scan.Scan(); };
  // Each result row's button installs that row's component.
  auto wireInstall = [this](int index, ui::Button& button) {
    button.OnClick = [this, index] { cmdInstall_Click(index); };
  };
  wireInstall(0, cmdInstall.Design());
  cmdInstall.OnLoad = wireInstall;
  cmdStop.OnClick = [this] {
    if (cInternet) cInternet->Cancel();
  };
  cmdHelp.OnClick = [this] { ShowAbout(); };
  cmdUpdateInstallCenter.OnClick = [this] { ShowSelfUpdate(); };
  cmdProxy.OnClick = [this] { ShowProxySetup(); };
  cmdInstallProg.OnClick = [this] { ProgramInstall.InstallProgramClicked(); };
  cmdExit.OnClick = [this] { ExitProgram(); };
  cmdInstallProg.OnMouseMove = [this](const ui::MouseArgs&) { ShowTip(0); };
  cmdShowLatest.OnMouseMove = [this](const ui::MouseArgs&) { ShowTip(1); };
  cmdScan.OnMouseMove = [this](const ui::MouseArgs&) { ShowTip(2); };
  Frame1.OnMouseMove = [this](const ui::MouseArgs&) { HideAllTips(); };
  Frame2.OnMouseMove = [this](const ui::MouseArgs&) { HideAllTips(); };
}

void frmMain::Form_Load() { StartUp(); }

void frmMain::StartUp() {
  if (!CommandRun) {
    Ignoring([&] {
      splash_.Show();
      DoEvents();
    });
  }
  Ignoring([&] { ShowProgramInfo(false); });
  Ignoring([&] {
    for (const ProgramEntry& entry : Catalogue()) cmbPrograms.AddItem(entry.ListText);
  });
  Ignoring([&] { cmbPrograms.SetListIndex(0); });
  Ignoring([&] { TheLog().LogEvent("Program startup", true); });
  Ignoring([&] {
    SettingsFilePath = AppFolder() + "\\TWInstaller.ini";
    TheSettings().LoadSettings(SettingsFilePath);
  });
  if (!CommandRun) {
    Ignoring([&] { TheDelay().Delay(1.25); });
    Ignoring([&] {
      splash_.Hide();
      DoEvents();
      splash_.Unload();
    });
  }
  Ignoring([&] { lblVersion.SetCaption("V: " + TheSubs().AppVersion()); });
  Ignoring([&] { TheFileSubs().MkMissingDir(AppFolder() + "\\Runtimes"); });
}

void frmMain::ShowProgramInfo(bool showLatest) {
  for (int i = 0; i < kResultRowsCleared; ++i) {
    Ignoring([&] { lblOK[i].SetVisible(false); });
    Ignoring([&] { lblFail[i].SetVisible(false); });
    Ignoring([&] { cmdInstall[i].SetVisible(false); });
    Ignoring([&] { lblControlName[i].SetCaption(""); });
  }
  SetStatus(kInstructionText);
  if (showLatest && !cInternet) Ignoring([&] { CreateDownloadClient(); });
  std::string versionAddress, programName;
  if (const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(cmbPrograms.Text()))) {
    lblAbout.SetCaption(entry->Description);
    versionAddress = VersionFileAddress(*entry);
    programName = std::string(entry->MessageName);
  }
  if (showLatest) Ignoring([&] { ShowLatestVersion(versionAddress, programName); });
  DoEvents();
}

int frmMain::RowTop(int row) { return static_cast<int>(475.0f * row + 340.0f); }

// Each control of the row is loaded on its own: one that exists already stays.
void frmMain::LoadRow(int row) {
  Ignoring([&] { lblOK.Load(row); });
  Ignoring([&] { lblFail.Load(row); });
  Ignoring([&] { lblControlName.Load(row); });
  Ignoring([&] { cmdInstall.Load(row); });
}

void frmMain::PrepareRow(int row, const std::string& component) {
  LoadRow(row);
  const int top = RowTop(row);
  Ignoring([&] { lblControlName[row].SetTop(top); });
  Ignoring([&] { lblFail[row].SetTop(top); });
  Ignoring([&] { lblOK[row].SetTop(top); });
  Ignoring([&] { cmdInstall[row].SetTop(top - 100); });
  Ignoring([&] { cmdInstall[row].Tag = component; });
}

void frmMain::ShowRowName(int row, const std::string& name) {
  LoadRow(row);
  lblControlName[row].SetCaption(name);
  lblControlName[row].SetVisible(true);
}

void frmMain::ShowRowResult(int row, bool passed) {
  if (passed) {
    lblOK[row].SetVisible(true);
    return;
  }
  lblFail[row].SetVisible(true);
  cmdInstall[row].SetVisible(true);
}

cSHAREDInternet& frmMain::DownloadClient() {
  if (!cInternet) CreateDownloadClient();
  return *cInternet;
}

void frmMain::ReleaseDownloadClient() { cInternet.reset(); }

fSHAREDUpdater& frmMain::UpdaterObject() {
  if (!Updater) Updater = std::make_unique<fSHAREDUpdater>();
  return *Updater;
}

void frmMain::ShowStopButton(bool visible) {
  cmdStop.SetVisible(visible);
  cmdStop.ZOrder(0);
}

void frmMain::CreateDownloadClient() {
  cInternet = std::make_unique<cSHAREDInternet>();
  cInternet->Status = [this](const std::string& message) {
    SetStatus(message);
    DoEvents();
  };
}

void frmMain::ShowLatestVersion(const std::string& versionAddress, const std::string& programName) {
  // The window stays usable while the reply is awaited; a second click then
  // must not start another transfer on the same client.
  if (latestQueryRunning_ || !cInternet || cInternet->InTransfer()) return;
  latestQueryRunning_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{latestQueryRunning_};
  // The maker's sha256 line is for the install's check, not for people: not shown.
  std::string reply = WithoutHashLines(cInternet->OpenURL(versionAddress, false));
  if (cInternet->LastProxyTrouble() != ProxyTrouble::None) {
    // The proxy's refusal page or an empty reply says nothing of the version.
    ui::MsgBox(cInternet->LastProxyTroubleText());
  } else if (ContainsNoCase(reply, "<HTML>")) {
    ui::MsgBox("Unable to retrieve version number. Please try again.");
  } else if (reply.find("@@@") == std::string::npos) {
    ui::MsgBox("Latest version of " + programName + " is " + reply);
  } else {
    const std::string progUrl = ReadVersionFile(reply).address;
    size_t lineFeed = reply.find('\n');
    std::string firstLine = lineFeed == std::string::npos ? "" : reply.substr(0, lineFeed + 1);
    ui::MsgBox("Latest version of " + programName + " is " +
               ReplaceAll(firstLine + progUrl, "\n", "\r"));
  }
}

void frmMain::ForEachButton(const std::function<void(ui::Button&)>& action) {
  for (ui::Button* button : {&cmdScan, &cmdShowLatest, &cmdInstallProg, &cmdStop,
                             &cmdUpdateInstallCenter, &cmdHelp, &cmdProxy, &cmdExit})
    action(*button);
  cmdInstall.ForEach([&](int, ui::Button& button) { action(button); });
}

void frmMain::DisableControls() {
  cmbPrograms.SetEnabled(false);
  ForEachButton([](ui::Button& button) { button.SetEnabled(false); });
  cmdStop.SetEnabled(true);
  HideAllTips();
}

void frmMain::EnableControls() {
  cmbPrograms.SetEnabled(true);
  ForEachButton([](ui::Button& button) { button.SetEnabled(true); });
}

void frmMain::ShowTip(int index) {
  if (TipFrame[index].Visible()) return;
  HideAllTips();
  TipFrame[index].SetVisible(true);
  TipFrame[index].ZOrder(0);
  DoEvents();
}

void frmMain::HideTip(int index) {
  if (!TipFrame[index].Visible()) return;
  TipFrame[index].SetVisible(false);
  DoEvents();
}

void frmMain::HideAllTips() {
  for (int i = 0; i < 3; ++i) HideTip(i);
}

void frmMain::Form_MouseMove(const ui::MouseArgs& args) { HoverCheck(args.x, args.y); }

void frmMain::HoverCheck(int x, int y) {
  // Tip i explains this button; a pointer on the button's edge counts as inside.
  const ui::Button* buttons[3] = {&cmdInstallProg, &cmdShowLatest, &cmdScan};
  for (int i = 0; i < 3; ++i) {
    const ui::TwipsRect& r = buttons[i]->Rect();
    if (x < r.left || y < r.top || x > r.left + r.width || y > r.top + r.height) HideTip(i);
  }
}

void frmMain::ShowAbout() {
  frmAbout about;
  about.Show(true);
  about.Unload();
}

void frmMain::ShowProxySetup() { ShowProxyDialog(); }

void frmMain::Form_QueryUnload(bool& /*cancel*/, ui::CloseReason reason) {
  if (reason == ui::CloseReason::ControlMenu) {
    Ignoring([&] { ExitProgram(); });
  } else if (reason == ui::CloseReason::AppWindows) {
    // Windows is ending the session: keep the user's settings, nothing else.
    Ignoring([&] { TheSettings().SaveSettings(SettingsFilePath); });
  }
}

void frmMain::ExitProgram() {
  if (RebootNeeded) ui::MsgBox(kRebootReminder);
  Hide();
  DoEvents();
  if (cInternet) cInternet->Cancel();
  std::vector<ui::Form*> open = ui::Forms().All();
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    if (ui::Forms().Contains(*it)) Ignoring([&] { (*it)->Unload(); });
  cInternet.reset();
  TheSettings().SaveSettings(SettingsFilePath);
  Unload();
  EndProcess();
}

}  // namespace twi
