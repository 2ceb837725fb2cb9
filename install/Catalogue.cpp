#include "install/Catalogue.h"

#include "base/TextConv.h"
#include "net/ServerAddresses.h"

namespace twi {
namespace {

const std::vector<ProgramEntry>& Rows() {
  static const std::vector<ProgramEntry> rows = {
      {"ShelfCat2", "SHELFCAT2", "ShelfCat2", "Book catalogue software, Version 2",
       "SHC2_current.txt", {}},
      {"TickPlot", "TICKPLOT", "TickPlot", "Stock charting software.", "TKP_current.txt",
       {"MSFLXGRD"}},
      {"Callclock", "CALLCLOCK", "CallClock", "Ham Radio callsign timer.", "CALLCLK_current.txt",
       {}},
      {"Nudge Me Now", "NUDGE ME NOW", "Nudge Me Now", "Appointment keeper and scheduler.",
       "NMN2_current.txt", {}},
      {"Tracer2", "TRACER2", "Tracer2", "Submission tracking tool. Version 2.",
       "TRC2_current.txt", {"MSCOMCT2"}},
      {"qPage", "QPAGE", "qPage", "Ebook reader with pages that turn.", "QPG_current.txt",
       {"RICHTXT"}},
      {"qBorrow", "QBORROW", "qBorrow", "Track items you loan to people.", "QBRW_current.txt",
       {}},
      {"qSite", "QSITE", "qSite", "Website builder and text compiler.", "QSITE_current.txt",
       {"RICHTXT"}},
      {"qMirror", "QMIRROR", "qMirror", "File and Folder backup utility.", "QMIRROR_current.txt",
       {}},
      {"qPost", "QPOST", "qPost", "Email client with Spam filters.", "QPS_current.txt",
       {"MSWINSCK", "RICHTXT"}},
      {"qTune", "QTUNE", "qTune", "MP3/Ogg player", "QTUNE_current.txt", {}},
      {"qVoice", "QVOICE", "qVoice", "Reads text files aloud. Windows 95 version.",
       "QVC1_current.txt", {"RICHTXT", "SPEECH1"}},
      {"qVoice2", "QVOICE2", "qVoice2", "Reads text files aloud. Windows 98 or above.",
       "QVC2_current.txt", {"RICHTXT", "SPEECH2"}},
      {"qAirway", "QAIRWAY", "qAirway", "Traffic utility for Flight Sim 200x", "QAW_current.txt",
       {}},
      {"qAlarm", "QALARM", "qAlarm", "Ten countdown timers with alarms.", "QALM_current.txt",
       {}},
      {"qNovel4", "QNOVEL4", "qNovel4", "Word processor for novelists.", "QNV4_current.txt",
       {"MSCOMCT2", "RICHTXT"}},
  };
  return rows;
}

}  // namespace

std::span<const ProgramEntry> Catalogue() { return Rows(); }

const ProgramEntry* FindProgramByKey(std::string_view key) {
  for (const ProgramEntry& entry : Rows())
    if (entry.CatalogueKey == key) return &entry;
  return nullptr;
}

std::string CatalogueKeyOf(std::string_view listText) { return UpperAscii(listText); }

std::string VersionFileAddress(const ProgramEntry& entry) {
  return MainServerBase() + "versions/" + std::string(entry.VersionFile);
}

}  // namespace twi
